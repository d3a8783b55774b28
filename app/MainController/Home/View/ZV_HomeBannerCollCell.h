#pragma once

#include "app/BaseController/BaseCollectionViewCell.h"
#include "app/Core/Models/ZV_HomeRecommendModelDataList.h"
#include "platform/ui/banner/FSPagerView.h"

#include <functional>
#include <memory>
#include <vector>

class Constraint;

// The feed cell of a carousel section: an endless pager of the section's items
// (ZV_HomeBannerSubCell) that slides by itself every 3 seconds, and under it a small track whose
// block follows the pages: one block width of track per item, the track no wider than the
// screen less 48. A tapped page hands its item to the feed.
class ZV_HomeBannerCollCell : public BaseCollectionViewCell,
                              public FSPagerViewDataSource,
                              public FSPagerViewDelegate {
public:
    using ItemBlock = std::function<void(std::shared_ptr<ZV_HomeRecommendModelDataList>)>;

    static constexpr CGFloat blockSliderViewWidth = 19;
    static constexpr double slidingInterval = 3.0;

    ZV_HomeBannerCollCell();
    explicit ZV_HomeBannerCollCell(const CGRect& frame);

    std::string className() const override { return "ZV_HomeBannerCollCell"; }

    ItemBlock zv_homeRecommendModelDataListBlock;

    const std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>>& list() const { return m_list; }
    // Resizes the track and reloads the pager.
    void setList(std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>> list);

    CGFloat sliderContentViewWidth() const { return m_sliderContentViewWidth; }
    // The block's left offset in the track, as last set.
    CGFloat blockSliderOffset() const { return m_blockOffset; }

    const std::shared_ptr<FSPagerView>& bannerView() const { return m_bannerView; }
    const std::shared_ptr<UIView>& sliderContentView() const { return m_sliderContentView; }
    const std::shared_ptr<UIView>& bgSliderView() const { return m_bgSliderView; }
    const std::shared_ptr<UIView>& blockSliderView() const { return m_blockSliderView; }
    const std::shared_ptr<UIView>& blockSliderPlaceholderView() const { return m_blockSliderPlaceholderView; }

    // The track for n items on a screen of that width.
    static CGFloat sliderWidth(int count, CGFloat screenWidth);
    // The block's offset in a track of that width at a pager position (in items). With fewer than
    // two items there is no step to take: the block stays at 0.
    static CGFloat blockOffset(CGFloat trackWidth, int count, CGFloat scrollOffset);

    // FSPagerViewDataSource
    int numberOfItemsInPagerView(FSPagerView&) override;
    std::shared_ptr<FSPagerViewCell> cellForItemAtIndex(FSPagerView&, int index) override;
    // FSPagerViewDelegate
    void didSelectItemAtIndex(FSPagerView&, int index) override;
    void pagerViewDidScroll(FSPagerView&) override;
    // An automatic slide that stopped between two pages is finished on the nearest one.
    void pagerViewDidEndScrollAnimation(FSPagerView&) override;

private:
    void connect();

    std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>> m_list;
    CGFloat m_sliderContentViewWidth = 72;
    CGFloat m_blockOffset = 0;
    std::shared_ptr<FSPagerView> m_bannerView;
    std::shared_ptr<UIView> m_sliderContentView;
    std::shared_ptr<UIView> m_bgSliderView;
    std::shared_ptr<UIView> m_blockSliderView;
    std::shared_ptr<UIView> m_blockSliderPlaceholderView;
    std::shared_ptr<Constraint> m_sliderWidthConstraint;
    std::shared_ptr<Constraint> m_blockLeftConstraint;
    bool m_connected = false;
};
