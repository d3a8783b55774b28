#include "platform/media/SJEdgeControlButtonItemAdapter.h"

#include "platform/ui/controls/UIButton.h"

#include <algorithm>

SJEdgeControlButtonItemAdapter::SJEdgeControlButtonItemAdapter(const CGRect& frame, SJAdapterLayoutType layoutType)
    : UIView(frame)
    , m_layoutType(layoutType)
{ }

SJEdgeControlButtonItemAdapter::~SJEdgeControlButtonItemAdapter()
{
    for (const auto& item : m_items)
        item->setChangeHandler(nullptr);
}

void SJEdgeControlButtonItemAdapter::watch(const std::shared_ptr<SJEdgeControlButtonItem>& item)
{
    item->setChangeHandler([alive = std::weak_ptr<bool>(m_alive), this] {
        if (alive.lock())
            reload();
    });
}

void SJEdgeControlButtonItemAdapter::addItem(std::shared_ptr<SJEdgeControlButtonItem> item)
{
    insertItem(std::move(item), m_items.size());
}

void SJEdgeControlButtonItemAdapter::addItemsFromArray(const std::vector<std::shared_ptr<SJEdgeControlButtonItem>>& items)
{
    for (const auto& item : items)
        insertItem(item, m_items.size());
}

void SJEdgeControlButtonItemAdapter::insertItem(std::shared_ptr<SJEdgeControlButtonItem> item, std::size_t index)
{
    if (!item)
        return;
    watch(item);
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(std::min(index, m_items.size())), std::move(item));
    reload();
}

void SJEdgeControlButtonItemAdapter::removeItemForTag(int tag)
{
    std::optional<std::size_t> index = indexOfItemForTag(tag);
    if (!index)
        return;
    m_items[*index]->setChangeHandler(nullptr);
    m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(*index));
    reload();
}

void SJEdgeControlButtonItemAdapter::removeAllItems()
{
    for (const auto& item : m_items)
        item->setChangeHandler(nullptr);
    m_items.clear();
    reload();
}

std::shared_ptr<SJEdgeControlButtonItem> SJEdgeControlButtonItemAdapter::itemForTag(int tag) const
{
    std::optional<std::size_t> index = indexOfItemForTag(tag);
    return index ? m_items[*index] : nullptr;
}

std::optional<std::size_t> SJEdgeControlButtonItemAdapter::indexOfItemForTag(int tag) const
{
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i]->tag() == tag)
            return i;
    }
    return std::nullopt;
}

void SJEdgeControlButtonItemAdapter::exchangeItemForTag(int tag, int otherTag)
{
    std::optional<std::size_t> a = indexOfItemForTag(tag);
    std::optional<std::size_t> b = indexOfItemForTag(otherTag);
    if (!a || !b)
        return;
    std::swap(m_items[*a], m_items[*b]);
    reload();
}

std::shared_ptr<UIView> SJEdgeControlButtonItemAdapter::makeView(const std::shared_ptr<SJEdgeControlButtonItem>& item)
{
    if (item->customView())
        return item->customView();
    if (!item->image() && !item->title())
        return nullptr;
    auto button = std::make_shared<UIButton>();
    if (item->image())
        button->setImage(*item->image());
    if (item->title())
        button->setAttributedTitle(item->title()->styledText());
    std::weak_ptr<SJEdgeControlButtonItem> weakItem = item;
    button->addAction(UIControlEventTouchUpInside, [weakItem](UIControl&) {
        if (auto strong = weakItem.lock())
            strong->performActions();
    });
    return button;
}

void SJEdgeControlButtonItemAdapter::reload()
{
    for (const auto& [item, view] : m_views)
        view->removeFromSuperview();
    m_views.clear();
    for (const auto& item : m_items) {
        if (item->isHidden())
            continue;
        std::shared_ptr<UIView> view = makeView(item);
        if (!view)
            continue;
        view->setAlpha(item->alpha());
        addSubview(view);
        m_views[item.get()] = view;
    }
    setNeedsLayout();
    layoutIfNeeded();
}

std::shared_ptr<UIView> SJEdgeControlButtonItemAdapter::viewForItemForTag(int tag) const
{
    auto item = itemForTag(tag);
    if (!item)
        return nullptr;
    auto view = m_views.find(item.get());
    return view != m_views.end() ? view->second : nullptr;
}

CGFloat SJEdgeControlButtonItemAdapter::extentOf(const SJEdgeControlButtonItem& item, const UIView* view) const
{
    bool horizontal = m_layoutType == SJAdapterLayoutType::horizontal;
    if (item.customView()) {
        CGSize size = item.customView()->frame().size;
        CGFloat extent = horizontal ? size.width : size.height;
        if (extent > 0)
            return extent;
        CGSize natural = item.customView()->intrinsicContentSize();
        extent = horizontal ? natural.width : natural.height;
        return extent > 0 ? extent : itemExtent;
    }
    if (item.title() && view) {
        CGSize natural = view->sizeThatFits({ 10000, itemExtent });
        return horizontal ? natural.width : natural.height;
    }
    return itemExtent;
}

void SJEdgeControlButtonItemAdapter::layoutSubviews()
{
    UIView::layoutSubviews();
    bool horizontal = m_layoutType == SJAdapterLayoutType::horizontal;
    CGSize size = bounds().size;
    CGFloat length = horizontal ? size.width : size.height;
    CGFloat band = std::min(itemExtent, horizontal ? size.height : size.width);

    CGFloat fixed = 0;
    int fillers = 0;
    for (const auto& item : m_items) {
        if (item->isHidden())
            continue;
        auto view = m_views.find(item.get());
        fixed += item->insets().front + item->insets().rear;
        if (item->fill())
            ++fillers;
        else
            fixed += extentOf(*item, view != m_views.end() ? view->second.get() : nullptr);
    }
    CGFloat share = fillers ? std::max<CGFloat>(0, length - fixed) / fillers : 0;

    CGFloat offset = 0;
    for (const auto& item : m_items) {
        if (item->isHidden())
            continue;
        auto found = m_views.find(item.get());
        UIView* view = found != m_views.end() ? found->second.get() : nullptr;
        offset += item->insets().front;
        CGFloat extent = item->fill() ? share : extentOf(*item, view);
        if (view) {
            if (horizontal) {
                // Custom views keep their own height, centred in the band.
                CGFloat height = item->customView() && view->frame().size.height > 0
                    ? std::min(view->frame().size.height, band)
                    : band;
                view->setFrame({ { offset, (band - height) / 2 }, { extent, height } });
            } else {
                CGFloat width = item->customView() && view->frame().size.width > 0
                    ? std::min(view->frame().size.width, band)
                    : band;
                view->setFrame({ { (band - width) / 2, offset }, { width, extent } });
            }
        }
        offset += extent + item->insets().rear;
    }
}

std::shared_ptr<UIView> SJEdgeControlButtonItemAdapter::hitTest(CGPoint point, const UIEvent* event)
{
    // The row itself lets touches through to the picture; its items take theirs.
    std::shared_ptr<UIView> hit = UIView::hitTest(point, event);
    return hit.get() == this ? nullptr : hit;
}
