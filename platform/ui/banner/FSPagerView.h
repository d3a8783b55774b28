#pragma once

#include "platform/ui/banner/FSPagerViewCell.h"
#include "platform/ui/banner/FSPagerViewTransformer.h"
#include "platform/ui/banner/detail/CarouselView.h"

#include <memory>
#include <optional>
#include <string>
#include <type_traits>

class FSPagerView;

// The pages a pager shows. Held weakly.
class FSPagerViewDataSource {
public:
    virtual ~FSPagerViewDataSource() = default;
    virtual int numberOfItemsInPagerView(FSPagerView&) = 0;
    // Usually a cell from dequeueReusableCell for the same index.
    virtual std::shared_ptr<FSPagerViewCell> cellForItemAtIndex(FSPagerView&, int index) = 0;
};

// What a pager tells about its pages. Every method is optional. Held weakly.
class FSPagerViewDelegate {
public:
    virtual ~FSPagerViewDelegate() = default;
    virtual void didSelectItemAtIndex(FSPagerView&, int) { }
    virtual void pagerViewDidScroll(FSPagerView&) { }
    // After scrollToItem (animated) or an automatic slide has come to rest.
    virtual void pagerViewDidEndScrollAnimation(FSPagerView&) { }
};

// A pager of pages centred one at a time (see detail::CarouselView for the mechanics): pages of
// `itemSize` (automaticSize: the pager's own size), `interitemSpacing` apart, turned one page per
// drag, optionally endless and sliding by themselves every `automaticSlidingInterval` seconds on
// the run loop's clock. Settings apply at the next reloadData.
class FSPagerView : public detail::CarouselView {
public:
    static constexpr CGSize automaticSize {};

    FSPagerView();

    std::string className() const override { return "FSPagerView"; }

    std::shared_ptr<FSPagerViewDataSource> dataSource() const { return m_dataSource.lock(); }
    void setDataSource(std::weak_ptr<FSPagerViewDataSource> dataSource)
    {
        m_dataSource = std::move(dataSource);
    }
    std::shared_ptr<FSPagerViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<FSPagerViewDelegate> delegate) { m_delegate = std::move(delegate); }

    CGSize itemSize = automaticSize;
    CGFloat interitemSpacing = 0;
    bool isInfinite = false;
    // 0: no sliding.
    double automaticSlidingInterval = 0;
    std::shared_ptr<FSPagerViewTransformer> transformer;

    void registerClass(CellFactory factory, const std::string& reuseIdentifier);
    template<typename Cell> void registerClass(const std::string& reuseIdentifier)
    {
        static_assert(std::is_base_of_v<FSPagerViewCell, Cell>);
        registerClass(CellFactory([] { return std::make_shared<Cell>(); }), reuseIdentifier);
    }
    // While the pager asks for the page at `index`: a cell registered under the identifier (null
    // when none is, or when asked at another time).
    std::shared_ptr<FSPagerViewCell> dequeueReusableCell(const std::string& reuseIdentifier, int index);
    template<typename Cell>
    std::shared_ptr<Cell> dequeueReusableCell(const std::string& reuseIdentifier, int index)
    {
        return std::dynamic_pointer_cast<Cell>(dequeueReusableCell(reuseIdentifier, index));
    }

    void reloadData() { reload(); }
    // Position in pages: k on page k; between n - 1 and n while an endless pager goes round.
    CGFloat scrollOffset() const { return position(); }
    // The page nearest the position.
    int currentIndex() const { return nearestItem(); }
    // scrollToItem(index, animated) and itemCount() come from the carousel.

protected:
    Settings carouselSettings() override;
    int carouselNumberOfItems() override;
    std::shared_ptr<UICollectionViewCell> carouselCell(int index) override;
    void carouselDidSelect(int index) override;
    void carouselDidScroll() override;
    void carouselDidEndScrollAnimation() override;

private:
    std::weak_ptr<FSPagerViewDataSource> m_dataSource;
    std::weak_ptr<FSPagerViewDelegate> m_delegate;
    std::optional<int> m_asking;
};
