#pragma once

#include "app/BaseController/BaseCollectionViewCell.h"
#include "app/Core/Models/ZV_HomeRecommendModelDataList.h"
#include "platform/ui/banner/JXBanner.h"

#include <memory>
#include <vector>

// The feed cell of the titles being watched: a sideways strip of 164 by 120 items
// (ZV_HomeScrollSubCell) that moves only by hand. A tap opens the item's title (its `movie_id`)
// from the top screen.
class ZV_HomeScrollCollCell : public BaseCollectionViewCell,
                              public JXBannerDataSource,
                              public JXBannerDelegate {
public:
    ZV_HomeScrollCollCell();
    explicit ZV_HomeScrollCollCell(const CGRect& frame);

    std::string className() const override { return "ZV_HomeScrollCollCell"; }

    const std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>>& list() const { return m_list; }
    // The feed reloads bannerView() afterwards.
    void setList(std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>> list);

    const std::shared_ptr<JXBanner>& bannerView() const { return m_bannerView; }

    // How far the strip is scrolled sideways, in points from its start.
    CGFloat stripOffset() const;
    // Scrolls the strip there at once, within its ends, once the cell has its size: after the feed
    // reloaded bannerView().
    void setStripOffset(CGFloat offset);

    // Back at the start: the strip the feed shows next in this cell is not where another was left.
    void prepareForReuse() override;

    // JXBannerDataSource
    JXBannerCellRegister registerCell(JXBanner&) override;
    int numberOfItems(JXBanner&) override;
    std::shared_ptr<UICollectionViewCell> cellForItemAt(
        JXBanner&, int index, std::shared_ptr<UICollectionViewCell> cell) override;
    JXBannerParams params(JXBanner&, JXBannerParams params) override;
    JXBannerLayoutParams layoutParams(JXBanner&, JXBannerLayoutParams params) override;
    // JXBannerDelegate
    void didSelectItemAt(JXBanner&, int index) override;

private:
    void connect();

    std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>> m_list;
    std::shared_ptr<JXBanner> m_bannerView;
    bool m_connected = false;
};
