#pragma once

#include "platform/ui/banner/detail/CarouselView.h"
#include "platform/ui/controls/UIPageControl.h"

#include <memory>
#include <string>
#include <type_traits>

class JXBanner;

enum class JXBannerCycleWay {
    // Endless: the items come round again and again.
    forward = 0,
    // A strip with ends; auto-play jumps from the last item back to the first.
    skipEnd = 1,
    // A strip with ends; auto-play scrolls from the last item back to the first.
    rollingBack = 2,
};

struct JXBannerParams {
    bool isAutoPlay = true;
    // Seconds between automatic moves.
    double timeInterval = 5;
    bool isShowPageControl = true;
    bool isPagingEnabled = true;
    JXBannerCycleWay cycleWay = JXBannerCycleWay::forward;
    UIEdgeInsets contentInset;
};

struct JXBannerLayoutParams {
    // Zero: the banner's size inside the content insets.
    CGSize itemSize;
    CGFloat itemSpacing = 0;
};

// The cell class the banner shows, with its reuse identifier.
struct JXBannerCellRegister {
    UICollectionView::CellFactory type;
    std::string reuseIdentifier;

    template<typename Cell> static JXBannerCellRegister make(std::string reuseIdentifier)
    {
        static_assert(std::is_base_of_v<UICollectionViewCell, Cell>);
        return { [] { return std::make_shared<Cell>(); }, std::move(reuseIdentifier) };
    }
};

// What a banner shows and how. Held weakly. The banner asks for the registration, the parameters
// and the layout parameters at each reloadView, each time passing the current values to change.
class JXBannerDataSource {
public:
    virtual ~JXBannerDataSource() = default;
    virtual JXBannerCellRegister registerCell(JXBanner&) = 0;
    virtual int numberOfItems(JXBanner&) = 0;
    // `cell` is a cell of the registered class, dequeued for the item; usually returned filled.
    virtual std::shared_ptr<UICollectionViewCell> cellForItemAt(
        JXBanner&, int index, std::shared_ptr<UICollectionViewCell> cell)
        = 0;
    virtual JXBannerParams params(JXBanner&, JXBannerParams params) { return params; }
    virtual JXBannerLayoutParams layoutParams(JXBanner&, JXBannerLayoutParams params) { return params; }
};

// Held weakly.
class JXBannerDelegate {
public:
    virtual ~JXBannerDelegate() = default;
    virtual void didSelectItemAt(JXBanner&, int) { }
};

// A row of items that starts at the left inset (see detail::CarouselView for the mechanics),
// endless or with ends by its cycle way, paging by item when asked, playing by itself every
// `timeInterval` seconds on the run loop's clock, with a page control under the items.
class JXBanner : public detail::CarouselView {
public:
    JXBanner();

    std::string className() const override { return "JXBanner"; }

    std::shared_ptr<JXBannerDataSource> dataSource() const { return m_dataSource.lock(); }
    void setDataSource(std::weak_ptr<JXBannerDataSource> dataSource) { m_dataSource = std::move(dataSource); }
    std::shared_ptr<JXBannerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<JXBannerDelegate> delegate) { m_delegate = std::move(delegate); }

    // Asks the data source again and shows the items.
    void reloadView();

    const JXBannerParams& params() const { return m_params; }
    const JXBannerLayoutParams& layoutParams() const { return m_layoutParams; }
    // The item nearest the left inset.
    int currentIndex() const { return nearestItem(); }
    const std::shared_ptr<UIPageControl>& pageControl() const { return m_pageControl; }

    void layoutSubviews() override;

protected:
    Settings carouselSettings() override;
    int carouselNumberOfItems() override;
    std::shared_ptr<UICollectionViewCell> carouselCell(int index) override;
    void carouselDidSelect(int index) override;
    void carouselDidScroll() override;

private:
    void updatePageControl();

    std::weak_ptr<JXBannerDataSource> m_dataSource;
    std::weak_ptr<JXBannerDelegate> m_delegate;
    JXBannerParams m_params;
    JXBannerLayoutParams m_layoutParams;
    std::string m_reuseIdentifier;
    std::shared_ptr<UIPageControl> m_pageControl;
};
