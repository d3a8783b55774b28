#pragma once

#include "app/BaseController/BaseCollectionViewCell.h"
#include "app/Core/Models/ZV_UserInfoModel.h"
#include "app/MainController/Mine/PersonalData/ZV_PersonalDataRowType.h"

#include <memory>

class UIImageView;
class UILabel;

// One rounded grey row of the personal data page: the title on the left and, by the row, the
// avatar (head) or the value with an arrow. Setting the model refreshes the row for its type, so
// set rowType first.
class ZV_PersonalDataCollCell : public BaseCollectionViewCell {
public:
    ZV_PersonalDataCollCell();
    explicit ZV_PersonalDataCollCell(const CGRect& frame);

    std::string className() const override { return "ZV_PersonalDataCollCell"; }

    ZV_PersonalDataRowType rowType = ZV_PersonalDataRowType::head;
    const std::shared_ptr<ZV_UserInfoModel>& model() const { return m_model; }
    void setModel(std::shared_ptr<ZV_UserInfoModel> model);

    const std::shared_ptr<UIImageView>& headImageView() const { return m_headImageView; }
    const std::shared_ptr<UIImageView>& iconView() const { return m_iconView; }
    const std::shared_ptr<UILabel>& desLb() const { return m_desLb; }
    const std::shared_ptr<UILabel>& titleLb() const { return m_titleLb; }

private:
    void refresh();
    // Phone and e-mail: the value in full colour, else "暂未绑定" faded.
    void showBinding(const std::string& value);

    std::shared_ptr<ZV_UserInfoModel> m_model;
    std::shared_ptr<UIImageView> m_headImageView;
    std::shared_ptr<UIImageView> m_iconView;
    std::shared_ptr<UILabel> m_desLb;
    std::shared_ptr<UILabel> m_titleLb;
};
