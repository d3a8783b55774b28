#pragma once

#include "app/BaseController/BaseTableViewCell.h"
#include "app/Core/Models/ZV_AdvertConfigModel.h"

#include <functional>
#include <memory>
#include <string>

class ZV_AdvertView;

// A row holding one advert banner, 24 in from the sides and 10 below the row's top, at the
// banner's 342 × 122 proportions, shown only when its placement has a link; a tap goes to the
// owner.
class ZV_PlayerAdsCell : public BaseTableViewCell {
public:
    explicit ZV_PlayerAdsCell(
        UITableViewCellStyle style = UITableViewCellStyle::defaultStyle, std::string reuseIdentifier = {});

    std::string className() const override { return "ZV_PlayerAdsCell"; }

    const std::shared_ptr<ZV_AdvertView>& zv_advertView();

    // Shows the placement of the configuration when it has a link, else hides the content.
    void fill(const ZV_AdvertConfigModel* config, ZV_AdvertModel ZV_AdvertConfigModel::*placement,
        std::function<void()> tap);

private:
    std::shared_ptr<ZV_AdvertView> m_advertView;
};
