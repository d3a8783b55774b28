#pragma once

#include "app/BaseController/BaseCollectionViewCell.h"
#include "app/MainController/Mine/PersonalCenter/PersonalCenterRowType.h"

#include <memory>

class UIImageView;
class UILabel;

// A shortcut tile of the personal centre: a round picture over its name, for favourites,
// playback record and local downloads. Other row types leave the tile as it was.
class ZV_PersonalCenterItemCell : public BaseCollectionViewCell {
public:
    ZV_PersonalCenterItemCell();
    explicit ZV_PersonalCenterItemCell(const CGRect& frame);

    std::string className() const override { return "ZV_PersonalCenterItemCell"; }

    PersonalCenterRowType rowType() const { return m_rowType; }
    void setRowType(PersonalCenterRowType rowType);

    const std::shared_ptr<UIImageView>& imageView() const { return m_imageView; }
    const std::shared_ptr<UILabel>& titleLb() const { return m_titleLb; }

private:
    PersonalCenterRowType m_rowType = PersonalCenterRowType::collect;
    std::shared_ptr<UIImageView> m_imageView;
    std::shared_ptr<UILabel> m_titleLb;
};
