#pragma once

#include "app/BaseController/BaseCollectionViewCell.h"
#include "app/MainController/Mine/PersonalCenter/PersonalCenterRowType.h"

#include <memory>

class QMUILabel;
class UIImageView;
class UILabel;

// A menu row of the personal centre: icon, title and arrow on a rounded grey card. The notices
// row also carries a red badge with the server's notice count while there are notices the
// viewer has not seen (hasNewNotice()).
class ZV_PersonalCenterCollCell : public BaseCollectionViewCell {
public:
    ZV_PersonalCenterCollCell();
    explicit ZV_PersonalCenterCollCell(const CGRect& frame);

    std::string className() const override { return "ZV_PersonalCenterCollCell"; }

    PersonalCenterRowType rowType() const { return m_rowType; }
    // Refreshes the row: the badge first, then icon and title.
    void setRowType(PersonalCenterRowType rowType);

    const std::shared_ptr<UIImageView>& imageView() const { return m_imageView; }
    const std::shared_ptr<UIImageView>& iconView() const { return m_iconView; }
    const std::shared_ptr<UILabel>& titleLb() const { return m_titleLb; }
    const std::shared_ptr<QMUILabel>& numLb() const { return m_numLb; }

    // The row's card: the design's grey, a raised dark grey in the dark style.
    static UIColor cardColor();

private:
    PersonalCenterRowType m_rowType = PersonalCenterRowType::collect;
    std::shared_ptr<UIImageView> m_imageView;
    std::shared_ptr<UIImageView> m_iconView;
    std::shared_ptr<UILabel> m_titleLb;
    std::shared_ptr<QMUILabel> m_numLb;
};
