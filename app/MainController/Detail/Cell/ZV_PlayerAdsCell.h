#pragma once

#include "app/BaseController/BaseTableViewCell.h"

#include <memory>
#include <string>

class ZV_AdvertView;

// A row holding one advert banner, 24 in from the sides and 10 below the row's top, at the
// banner's 342 × 122 proportions. The owner fills the banner and adds its tap.
class ZV_PlayerAdsCell : public BaseTableViewCell {
public:
    explicit ZV_PlayerAdsCell(
        UITableViewCellStyle style = UITableViewCellStyle::defaultStyle, std::string reuseIdentifier = {});

    std::string className() const override { return "ZV_PlayerAdsCell"; }

    const std::shared_ptr<ZV_AdvertView>& zv_advertView();

private:
    std::shared_ptr<ZV_AdvertView> m_advertView;
};
