#pragma once

#include "app/Core/Models/ZV_AdvertConfigModel.h"
#include "platform/ui/lists/UITableViewCell.h"

#include <functional>
#include <memory>
#include <string>

class ZV_AdvertView;

// An advert row of the title page (and of the offline player's list): the placement's picture,
// shown only when the placement has a link; a tap hands over to the owner.
class ZV_PlayerAdsCell : public UITableViewCell {
public:
    explicit ZV_PlayerAdsCell(
        UITableViewCellStyle style = UITableViewCellStyle::defaultStyle, std::string reuseIdentifier = {});

    std::string className() const override { return "ZV_PlayerAdsCell"; }

    const std::shared_ptr<ZV_AdvertView>& zv_advertView() const { return m_advertView; }

    // Shows the placement of the configuration when it has a link, else hides the content.
    void fill(const ZV_AdvertConfigModel* config, ZV_AdvertModel ZV_AdvertConfigModel::*placement,
        std::function<void()> tap);

private:
    std::shared_ptr<ZV_AdvertView> m_advertView;
};
