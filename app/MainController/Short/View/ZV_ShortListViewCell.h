#pragma once

#include "app/BaseController/BaseCollectionViewCell.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/qmui/QMUILabel.h"

#include <memory>
#include <string>

// A tile of the short-video grid: the clip's cover above two centred lines of its description,
// on a near-black rounded card.
class ZV_ShortListViewCell : public BaseCollectionViewCell {
public:
    ZV_ShortListViewCell();
    explicit ZV_ShortListViewCell(const CGRect& frame);

    std::string className() const override { return "ZV_ShortListViewCell"; }

    // Starts with the default placeholder picture.
    const std::shared_ptr<UIImageView>& zv_coverView();
    // Starts with "名字"; at most two lines.
    const std::shared_ptr<QMUILabel>& name();

    virtual void setupUI();

private:
    std::shared_ptr<UIImageView> m_coverView;
    std::shared_ptr<QMUILabel> m_name;
};
