#pragma once

#include "app/Core/Models/ZV_AdvertModel.h"
#include "app/MainController/Other/View/ZV_AdvertView.h"
#include "platform/ui/lists/UICollectionViewCell.h"

#include <memory>
#include <optional>

// A list cell that shows one advert picture over its whole content.
class ZV_AdvertCollCell : public UICollectionViewCell {
public:
    ZV_AdvertCollCell();
    explicit ZV_AdvertCollCell(const CGRect& frame);

    std::string className() const override { return "ZV_AdvertCollCell"; }

    // Hands the advert to the advert view, which loads its picture.
    const std::optional<ZV_AdvertModel>& model() const { return m_advertView->model(); }
    void setModel(std::optional<ZV_AdvertModel> model);

    // True gives the advert a fixed size: the screen width less 48 points, at 342:122, which
    // then sizes a self-sizing cell. False goes back to following the cell's size.
    bool isAutomaticSize() const { return m_isAutomaticSize; }
    void setAutomaticSize(bool automaticSize);

    const std::shared_ptr<ZV_AdvertView>& zv_advertView() const { return m_advertView; }

private:
    bool m_isAutomaticSize = false;
    std::shared_ptr<ZV_AdvertView> m_advertView;
};
