#pragma once

#include "app/BaseController/BaseCollectionViewCell.h"
#include "app/MainController/Search/Model/ZV_SearchCompleteModel.h"
#include "platform/ui/UILabel.h"

#include <memory>
#include <optional>
#include <string>

// One suggestion row: the suggested name with the typed text coloured in it, over a hairline.
class ZV_SearchCompleteCell : public BaseCollectionViewCell {
public:
    ZV_SearchCompleteCell();
    explicit ZV_SearchCompleteCell(const CGRect& frame);

    std::string className() const override { return "ZV_SearchCompleteCell"; }

    // Set before the model.
    std::optional<std::string> keyword;
    const std::optional<ZV_SearchCompleteModel>& model() const { return m_model; }
    // Shows the name with the keyword highlighted; none shows nothing.
    void setModel(std::optional<ZV_SearchCompleteModel> model);

    const std::shared_ptr<UILabel>& zv_titleLb() const { return m_titleLb; }
    const std::shared_ptr<UIView>& zv_lineView() const { return m_lineView; }

private:
    std::optional<ZV_SearchCompleteModel> m_model;
    std::shared_ptr<UILabel> m_titleLb;
    std::shared_ptr<UIView> m_lineView;
};
