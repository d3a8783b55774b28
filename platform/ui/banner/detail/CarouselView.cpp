#include "platform/ui/banner/detail/CarouselView.h"

#include "platform/dispatch/Timer.h"

#include <algorithm>
#include <cmath>

namespace detail {

namespace {

// Items an infinite carousel shows in all, about: room for long drags either way.
constexpr int infiniteItems = 1000;
// Items beyond this are not shown, so that the copies' count stays well inside an int.
constexpr int maximumItems = 1 << 24;

bool isZero(CGSize size)
{
    return size.width == 0 && size.height == 0;
}

}

// Items in one row at the settings' size and spacing; the whole row is the content.
class CarouselView::Layout : public UICollectionViewLayout {
public:
    Settings settings;

    CGFloat step() const { return m_step; }
    CGFloat leading() const { return m_leading; }

    void prepare() override
    {
        auto* view = collectionView();
        if (!view)
            return;
        CGRect b = view->bounds();
        m_preparedSize = b.size;
        m_count = view->numberOfItems(0);
        const UIEdgeInsets& inset = settings.contentInset;
        CGSize inner { std::max<CGFloat>(0, b.width() - inset.left - inset.right),
            std::max<CGFloat>(0, b.height() - inset.top - inset.bottom) };
        m_itemSize = isZero(settings.itemSize) ? inner : settings.itemSize;
        m_itemSize.width = std::max<CGFloat>(0, m_itemSize.width);
        m_itemSize.height = std::max<CGFloat>(0, m_itemSize.height);
        m_step = m_itemSize.width + std::max<CGFloat>(0, settings.itemSpacing);
        CGFloat trailing = inset.right;
        if (settings.alignment == CarouselAlignment::center) {
            m_leading = (b.width() - m_itemSize.width) / 2;
            trailing = m_leading;
        } else {
            m_leading = inset.left;
        }
        m_top = inset.top + (inner.height - m_itemSize.height) / 2;
        CGFloat width = m_count > 0
            ? m_leading + m_count * m_step - std::max<CGFloat>(0, settings.itemSpacing) + trailing
            : 0;
        m_contentSize = { std::max<CGFloat>(0, width), b.height() };
    }

    CGSize collectionViewContentSize() override { return m_contentSize; }

    std::vector<UICollectionViewLayoutAttributesPtr> layoutAttributesForElements(const CGRect& rect) override
    {
        std::vector<UICollectionViewLayoutAttributesPtr> result;
        if (m_count == 0 || m_step <= 0)
            return result;
        int first = std::max(
            0, static_cast<int>(std::floor((rect.minX() - m_leading - m_itemSize.width) / m_step)));
        int last = std::min(m_count - 1, static_cast<int>(std::ceil((rect.maxX() - m_leading) / m_step)));
        for (int i = first; i <= last; ++i) {
            auto attributes = attributesFor(i);
            if (attributes->frame.intersects(rect))
                result.push_back(std::move(attributes));
        }
        return result;
    }

    UICollectionViewLayoutAttributesPtr layoutAttributesForItem(const IndexPath& indexPath) override
    {
        if (indexPath.section != 0 || indexPath.item < 0 || indexPath.item >= m_count)
            return nullptr;
        return attributesFor(indexPath.item);
    }

    bool shouldInvalidateLayoutForBoundsChange(const CGRect& newBounds) override
    {
        // Transformed items change with every move.
        return newBounds.size != m_preparedSize || settings.transform != nullptr;
    }

private:
    UICollectionViewLayoutAttributesPtr attributesFor(int item) const
    {
        auto attributes = makeLayoutAttributes();
        attributes->indexPath = IndexPath::forItem(item, 0);
        attributes->frame = { m_leading + item * m_step, m_top, m_itemSize.width, m_itemSize.height };
        if (settings.transform && m_step > 0 && collectionView()) {
            CGFloat rest = collectionView()->contentOffset().x + m_leading + m_itemSize.width / 2;
            settings.transform(*attributes, (attributes->frame.midX() - rest) / m_step);
        }
        return attributes;
    }

    CGSize m_preparedSize { -1, -1 };
    int m_count = 0;
    CGSize m_itemSize;
    CGFloat m_step = 0;
    CGFloat m_leading = 0;
    CGFloat m_top = 0;
    CGSize m_contentSize;
};

CarouselView::CarouselView()
    : m_layout(std::make_shared<Layout>())
{
    m_collectionView = std::make_shared<UICollectionView>(CGRect {}, m_layout);
    m_collectionView->setBackgroundColor(UIColor::clear());
    m_collectionView->setShowsHorizontalScrollIndicator(false);
    m_collectionView->setShowsVerticalScrollIndicator(false);
    m_collectionView->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::never);
    m_collectionView->setAlwaysBounceVertical(false);
}

CarouselView::~CarouselView()
{
    if (m_timer)
        m_timer->invalidate();
}

bool CarouselView::attach()
{
    if (weak_from_this().expired())
        return false;
    if (m_collectionView->superview().get() != this) {
        auto self = std::static_pointer_cast<CarouselView>(sharedFromThis());
        m_collectionView->setDataSource(self);
        m_collectionView->setDelegate(self);
        insertSubview(m_collectionView, 0);
    }
    return true;
}

void CarouselView::registerCell(CellFactory factory, const std::string& identifier)
{
    m_collectionView->registerClass(std::move(factory), identifier);
}

std::shared_ptr<UICollectionViewCell> CarouselView::dequeueCell(const std::string& identifier)
{
    if (!m_configuring)
        return nullptr;
    return m_collectionView->dequeueReusableCell(identifier, *m_configuring);
}

int CarouselView::copies() const
{
    if (!m_settings.infinite || m_count < 2)
        return 1;
    return std::max(minimumCopies, (infiniteItems + m_count - 1) / m_count);
}

CGFloat CarouselView::step() const
{
    return m_layout->step();
}

CGFloat CarouselView::displayedPosition() const
{
    CGFloat s = step();
    return s > 0 ? m_collectionView->contentOffset().x / s : 0;
}

CGFloat CarouselView::position() const
{
    CGFloat displayed = displayedPosition();
    if (copies() == 1 || m_count == 0)
        return displayed;
    return std::fmod(std::fmod(displayed, m_count) + m_count, static_cast<CGFloat>(m_count));
}

int CarouselView::nearestItem() const
{
    if (m_count == 0)
        return 0;
    int nearest = static_cast<int>(std::lround(position()));
    return copies() > 1 ? nearest % m_count : std::clamp(nearest, 0, m_count - 1);
}

CGPoint CarouselView::offsetForDisplayed(int displayed) const
{
    CGPoint offset { displayed * step(), m_collectionView->contentOffset().y };
    // A finite strip stops at its ends.
    CGFloat maximum
        = std::max<CGFloat>(0, m_collectionView->contentSize().width - m_collectionView->bounds().width());
    if (copies() == 1)
        offset.x = std::clamp<CGFloat>(offset.x, 0, maximum);
    return offset;
}

void CarouselView::scrollToItem(int index, bool animated)
{
    if (m_count == 0 || !attach())
        return;
    layoutIfNeeded();
    index = std::clamp(index, 0, m_count - 1);
    int target = index;
    if (copies() > 1) {
        // The copy of the item nearest where the carousel is now.
        CGFloat now = displayedPosition();
        int base = static_cast<int>(std::floor(now / m_count)) * m_count + index;
        target = base;
        for (int candidate : { base - m_count, base + m_count }) {
            if (std::abs(candidate - now) < std::abs(target - now))
                target = candidate;
        }
    }
    m_collectionView->setContentOffset(offsetForDisplayed(target), animated);
}

void CarouselView::reload()
{
    int current = m_count > 0 ? nearestItem() : 0;
    m_settings = carouselSettings();
    m_layout->settings = m_settings;
    m_count = std::clamp(carouselNumberOfItems(), 0, maximumItems);
    m_loaded = true;
    if (!attach())
        return;
    m_collectionView->setFrame(bounds());
    m_collectionView->reloadData();
    m_collectionView->layoutIfNeeded();
    show(m_count > 0 ? std::min(current, m_count - 1) : 0);
    updateTimer();
}

void CarouselView::show(int item)
{
    m_collectionView->setContentOffset(offsetForDisplayed(copies() / 2 * m_count + item));
}

void CarouselView::recenter()
{
    int n = m_count;
    if (copies() == 1)
        return;
    CGFloat now = displayedPosition();
    // Within a copy of either end: move by whole copies to the middle one.
    if (now >= n && now <= (copies() - 1) * n - 1)
        return;
    int shift = (copies() / 2 - static_cast<int>(std::floor(now / n))) * n;
    CGPoint offset = m_collectionView->contentOffset();
    offset.x += shift * step();
    m_collectionView->setContentOffset(offset);
}

void CarouselView::layoutSubviews()
{
    UIView::layoutSubviews();
    if (!attach())
        return;
    if (!m_loaded) {
        reload();
        return;
    }
    if (m_collectionView->frame() != bounds()) {
        int current = nearestItem();
        m_collectionView->setFrame(bounds());
        m_collectionView->layoutIfNeeded();
        show(current);
    }
}

void CarouselView::didMoveToWindow()
{
    UIView::didMoveToWindow();
    updateTimer();
}

void CarouselView::updateTimer()
{
    bool runs = window() && m_settings.slideInterval > 0 && m_count > 1 && !m_dragging;
    if (!runs) {
        if (m_timer)
            m_timer->invalidate();
        m_timer.reset();
        return;
    }
    if (m_timer && m_timer->isValid() && m_timer->timeInterval() == m_settings.slideInterval)
        return;
    if (m_timer)
        m_timer->invalidate();
    m_timer = Timer::scheduledTimer<CarouselView>(m_settings.slideInterval,
        std::static_pointer_cast<CarouselView>(sharedFromThis()), &CarouselView::slide, true);
}

void CarouselView::slide(Timer&)
{
    if (m_count < 2 || m_dragging)
        return;
    int next = static_cast<int>(std::lround(displayedPosition())) + 1;
    if (copies() == 1 && offsetForDisplayed(next) == m_collectionView->contentOffset())
        next = m_count; // at the end of the strip already
    if (copies() == 1 && next >= m_count) {
        m_collectionView->setContentOffset(offsetForDisplayed(0), m_settings.animatesBackToStart);
        return;
    }
    m_collectionView->setContentOffset(offsetForDisplayed(next), true);
}

// ---- The collection view's questions ----

int CarouselView::numberOfItems(UICollectionView&, int)
{
    return m_count * copies();
}

std::shared_ptr<UICollectionViewCell> CarouselView::cellForItem(UICollectionView&, const IndexPath& indexPath)
{
    m_configuring = indexPath;
    auto cell = m_count > 0 ? carouselCell(indexPath.item % m_count) : nullptr;
    m_configuring.reset();
    // The collection view needs a cell for every item it shows.
    return cell ? cell : std::make_shared<UICollectionViewCell>();
}

void CarouselView::didSelectItem(UICollectionView& view, const IndexPath& indexPath)
{
    view.deselectItem(indexPath, false);
    if (m_count > 0)
        carouselDidSelect(indexPath.item % m_count);
}

void CarouselView::scrollViewDidScroll(UIScrollView&)
{
    carouselDidScroll();
}

void CarouselView::scrollViewWillBeginDragging(UIScrollView&)
{
    m_dragging = true;
    updateTimer();
}

void CarouselView::scrollViewWillEndDragging(UIScrollView& view, CGPoint velocity, CGPoint& target)
{
    CGFloat s = step();
    if (!m_settings.paging || s <= 0)
        return;
    CGFloat now = displayedPosition();
    // A flick (velocity in points per millisecond) turns one item its way, as a paging scroll view
    // turns a page; a slow release goes to the nearest item.
    int item = std::abs(velocity.x) * 1000 > UIScrollView::pagingVelocityThreshold
        ? static_cast<int>(velocity.x > 0 ? std::floor(now) + 1 : std::ceil(now) - 1)
        : static_cast<int>(std::lround(now));
    item = std::clamp(item, 0, std::max(0, m_count * copies() - 1));
    target = offsetForDisplayed(item);
}

void CarouselView::scrollViewDidEndDragging(UIScrollView&, bool willDecelerate)
{
    m_dragging = false;
    if (!willDecelerate)
        recenter();
    updateTimer();
}

void CarouselView::scrollViewDidEndDecelerating(UIScrollView&)
{
    recenter();
}

void CarouselView::scrollViewDidEndScrollingAnimation(UIScrollView&)
{
    recenter();
    carouselDidEndScrollAnimation();
}

}
