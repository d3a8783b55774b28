#include "platform/ui/segmented/JXSegmentedView.h"

#include <algorithm>

namespace detail {

// The collection view's data source and delegate: the items of the bar, their sizes and taps.
class JXSegmentedCollectionAdapter final : public UICollectionViewDataSource,
                                           public UICollectionViewDelegateFlowLayout {
public:
    explicit JXSegmentedCollectionAdapter(JXSegmentedView& owner)
        : m_owner(owner)
    { }

    int numberOfItems(UICollectionView&, int) override { return static_cast<int>(m_owner.m_items.size()); }

    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView&, const IndexPath& indexPath) override
    {
        int index = indexPath.item;
        std::shared_ptr<JXSegmentedBaseCell> cell;
        if (m_owner.m_dataSource && m_owner.isValidIndex(index))
            cell = m_owner.m_dataSource->cellForItemAt(m_owner, index);
        if (!cell)
            return std::make_shared<UICollectionViewCell>();
        cell->reloadData(m_owner.m_items[index], JXSegmentedViewItemSelectedType::unknown);
        return cell;
    }

    std::optional<CGSize> sizeForItem(
        UICollectionView& collectionView, UICollectionViewLayout&, const IndexPath& indexPath) override
    {
        if (!m_owner.isValidIndex(indexPath.item))
            return CGSize {};
        return CGSize { m_owner.m_items[indexPath.item]->itemWidth, collectionView.bounds().size.height };
    }
    std::optional<UIEdgeInsets> insetForSection(UICollectionView&, UICollectionViewLayout&, int) override
    {
        return UIEdgeInsets { 0, m_owner.m_leftInset, 0, m_owner.m_rightInset };
    }
    std::optional<CGFloat> minimumLineSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int) override
    {
        return m_owner.m_innerItemSpacing;
    }
    std::optional<CGFloat> minimumInteritemSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int) override
    {
        return CGFloat(0);
    }

    void didSelectItem(UICollectionView&, const IndexPath& indexPath) override
    {
        m_owner.itemTapped(indexPath.item);
    }

private:
    JXSegmentedView& m_owner;
};

}

JXSegmentedView::JXSegmentedView()
    : JXSegmentedView(CGRect {})
{ }

JXSegmentedView::JXSegmentedView(const CGRect& frame)
    : UIView(frame)
    , m_adapter(std::make_shared<detail::JXSegmentedCollectionAdapter>(*this))
{
    auto layout = std::make_shared<UICollectionViewFlowLayout>();
    layout->setScrollDirection(UICollectionViewScrollDirection::horizontal);
    m_collectionView = std::make_shared<UICollectionView>(CGRect { {}, frame.size }, layout);
    m_collectionView->setBackgroundColor(UIColor::clear());
    m_collectionView->setShowsHorizontalScrollIndicator(false);
    m_collectionView->setShowsVerticalScrollIndicator(false);
    m_collectionView->setScrollsToTop(false);
    m_collectionView->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::never);
    m_collectionView->setDataSource(m_adapter);
    m_collectionView->setDelegate(m_adapter);
}

JXSegmentedView::~JXSegmentedView() = default;

void JXSegmentedView::setDataSource(std::shared_ptr<JXSegmentedBaseDataSource> dataSource)
{
    m_dataSource = std::move(dataSource);
}

void JXSegmentedView::setListContainer(std::weak_ptr<JXSegmentedViewListContainer> listContainer)
{
    if (auto old = m_listContainer.lock())
        old->setPageSettledHandler({});
    m_listContainer = std::move(listContainer);
    auto container = m_listContainer.lock();
    if (!container)
        return;
    container->setDefaultSelectedIndex(m_defaultSelectedIndex);
    std::weak_ptr<UIView> weak = weakFromThis();
    container->setPageSettledHandler([weak](int index) {
        if (auto self = std::static_pointer_cast<JXSegmentedView>(weak.lock()))
            self->pageSettled(index);
    });
}

void JXSegmentedView::attachCollectionView()
{
    // A view can take subviews only once it is owned.
    if (weak_from_this().expired() || m_collectionView->superview().get() == this)
        return;
    m_collectionView->setFrame(bounds());
    insertSubview(m_collectionView, 0);
}

void JXSegmentedView::didMoveToSuperview()
{
    UIView::didMoveToSuperview();
    attachCollectionView();
}

void JXSegmentedView::setIndicators(std::vector<std::shared_ptr<JXSegmentedIndicatorBaseView>> indicators)
{
    attachCollectionView();
    for (auto& indicator : m_indicators)
        indicator->removeFromSuperview();
    m_indicators.clear();
    for (auto& indicator : indicators) {
        if (indicator)
            m_indicators.push_back(std::move(indicator));
    }
    for (auto& indicator : m_indicators)
        m_collectionView->addSubview(indicator);
    refreshIndicators();
}

void JXSegmentedView::setDefaultSelectedIndex(int index)
{
    m_defaultSelectedIndex = index;
    m_selectedIndex = index;
    if (auto container = m_listContainer.lock())
        container->setDefaultSelectedIndex(index);
}

void JXSegmentedView::setContentEdgeInsetLeft(CGFloat inset)
{
    m_contentEdgeInsetLeft = inset;
    updateMetrics();
    applyMetricsToLayout();
}

void JXSegmentedView::setContentEdgeInsetRight(CGFloat inset)
{
    m_contentEdgeInsetRight = inset;
    updateMetrics();
    applyMetricsToLayout();
}

CGRect JXSegmentedView::itemFrame(int index) const
{
    if (!isValidIndex(index) || index >= static_cast<int>(m_itemX.size()))
        return {};
    return { { m_itemX[index], 0 }, { m_items[index]->itemWidth, bounds().size.height } };
}

// ---- Reloading ----

void JXSegmentedView::reloadData()
{
    reloadDataWithoutListContainer();
    if (auto container = m_listContainer.lock())
        container->reloadData();
}

void JXSegmentedView::reloadDataWithoutListContainer()
{
    attachCollectionView();
    // Taken before the items are rebuilt: a reload that keeps the same tabs may keep the cells.
    bool sameTabs = m_loaded && m_dataSource && m_dataSource == m_loadedDataSource
        && m_dataSource->numberOfItems() == static_cast<int>(m_items.size());
    m_loaded = true;
    m_loadedDataSource = m_dataSource;
    m_items.clear();
    if (m_dataSource) {
        int count = m_dataSource->numberOfItems();
        if (m_selectedIndex < 0 || m_selectedIndex >= count) {
            m_defaultSelectedIndex = 0;
            m_selectedIndex = 0;
        }
        m_dataSource->reloadData(m_selectedIndex);
        m_dataSource->registerCellClass(*this);
        m_items = m_dataSource->dataSource();
        for (std::size_t i = 0; i < m_items.size(); ++i) {
            auto& model = *m_items[i];
            model.index = static_cast<int>(i);
            model.isSelected = model.index == m_selectedIndex;
            model.itemWidth = std::max<CGFloat>(0, m_dataSource->widthForItem(model));
            model.itemContentWidth = m_dataSource->itemContentWidth(model);
        }
    }
    updateMetrics();
    if (sameTabs) {
        // The same tabs with new badges, dots or titles: the shown cells are configured again in
        // place. Rebuilding them would drop a finger that is on a tab right now, and its tap with
        // it (a badge reply that lands during a tap).
        m_collectionView->reconfigureItems(m_collectionView->indexPathsForVisibleItems());
    } else {
        m_collectionView->reloadData();
    }
    applyMetricsToLayout();
    scrollSelectedItemIntoView();
    refreshIndicators();
    setNeedsLayout();
}

void JXSegmentedView::reloadItem(int index)
{
    if (!m_dataSource || !isValidIndex(index))
        return;
    auto& model = *m_items[index];
    m_dataSource->preferredRefreshItemModel(model, index, m_selectedIndex);
    model.index = index;
    model.isSelected = index == m_selectedIndex;
    model.itemWidth = std::max<CGFloat>(0, m_dataSource->widthForItem(model));
    model.itemContentWidth = m_dataSource->itemContentWidth(model);
    updateMetrics();
    applyMetricsToLayout();
    m_collectionView->reloadItems({ IndexPath(index, 0) });
    refreshIndicators();
}

// ---- Geometry ----

void JXSegmentedView::updateMetrics()
{
    CGSize size = bounds().size;
    m_metricsSize = size;
    CGFloat spacing = m_dataSource ? m_dataSource->itemSpacing : 0;
    bool leftAutomatic = m_contentEdgeInsetLeft == JXSegmentedViewAutomaticDimension;
    bool rightAutomatic = m_contentEdgeInsetRight == JXSegmentedViewAutomaticDimension;
    m_leftInset = leftAutomatic ? spacing : m_contentEdgeInsetLeft;
    m_rightInset = rightAutomatic ? spacing : m_contentEdgeInsetRight;

    CGFloat itemsWidth = 0;
    for (auto& model : m_items)
        itemsWidth += model->itemWidth;
    std::size_t count = m_items.size();
    CGFloat total = m_leftInset + itemsWidth + m_rightInset + spacing * (count > 0 ? count - 1 : 0);
    if (m_dataSource && m_dataSource->isItemSpacingAverageEnabled && count > 0 && total < size.width) {
        // Share the free width out between the items and, for automatic edges, beside them.
        std::size_t gaps = count - 1 + (leftAutomatic ? 1 : 0) + (rightAutomatic ? 1 : 0);
        CGFloat free = size.width - itemsWidth - (leftAutomatic ? 0 : m_leftInset)
            - (rightAutomatic ? 0 : m_rightInset);
        if (gaps > 0) {
            spacing = free / static_cast<CGFloat>(gaps);
            if (leftAutomatic)
                m_leftInset = spacing;
            if (rightAutomatic)
                m_rightInset = spacing;
        }
    }
    m_innerItemSpacing = spacing;

    m_itemX.assign(count, 0);
    CGFloat x = m_leftInset;
    for (std::size_t i = 0; i < count; ++i) {
        m_itemX[i] = x;
        x += m_items[i]->itemWidth + spacing;
    }
}

void JXSegmentedView::applyMetricsToLayout()
{
    m_collectionView->collectionViewLayout()->invalidateLayout();
    m_collectionView->setNeedsLayout();
}

void JXSegmentedView::layoutSubviews()
{
    UIView::layoutSubviews();
    attachCollectionView();
    m_collectionView->setFrame(bounds());
    if (!m_loaded)
        reloadDataWithoutListContainer();
    if (bounds().size != m_metricsSize) {
        updateMetrics();
        applyMetricsToLayout();
        scrollSelectedItemIntoView();
    }
    refreshIndicators();
}

void JXSegmentedView::scrollSelectedItemIntoView()
{
    CGFloat width = bounds().size.width;
    CGFloat contentWidth = m_leftInset + m_rightInset;
    for (std::size_t i = 0; i < m_items.size(); ++i)
        contentWidth += m_items[i]->itemWidth + (i + 1 < m_items.size() ? m_innerItemSpacing : 0);
    CGFloat x = 0;
    if (contentWidth > width && isValidIndex(m_selectedIndex)) {
        CGRect item = itemFrame(m_selectedIndex);
        x = std::clamp<CGFloat>(item.midX() - width / 2, 0, contentWidth - width);
    }
    m_collectionView->setContentOffset({ x, 0 });
}

JXSegmentedIndicatorSelectedParams JXSegmentedView::selectedParams(JXSegmentedViewItemSelectedType type) const
{
    JXSegmentedIndicatorSelectedParams params;
    params.currentSelectedIndex = m_selectedIndex;
    params.currentSelectedItemFrame = itemFrame(m_selectedIndex);
    if (isValidIndex(m_selectedIndex))
        params.currentItemContentWidth = m_items[m_selectedIndex]->itemContentWidth;
    params.selectedType = type;
    return params;
}

void JXSegmentedView::refreshIndicators()
{
    bool hasItems = isValidIndex(m_selectedIndex);
    auto params = selectedParams(JXSegmentedViewItemSelectedType::unknown);
    for (auto& indicator : m_indicators) {
        indicator->setHidden(!hasItems);
        if (hasItems)
            indicator->refreshIndicatorState(params);
    }
}

// ---- Cells ----

std::shared_ptr<JXSegmentedBaseCell> JXSegmentedView::dequeueReusableCell(
    const std::string& reuseIdentifier, int index)
{
    return std::dynamic_pointer_cast<JXSegmentedBaseCell>(
        m_collectionView->dequeueReusableCell(reuseIdentifier, IndexPath(index, 0)));
}

std::shared_ptr<JXSegmentedBaseCell> JXSegmentedView::cellForItem(int index) const
{
    return std::dynamic_pointer_cast<JXSegmentedBaseCell>(m_collectionView->cellForItem(IndexPath(index, 0)));
}

// ---- Selection ----

void JXSegmentedView::itemTapped(int index)
{
    if (auto d = delegate(); d && !d->canClickItemAt(*this, index))
        return;
    selectItemAt(index, JXSegmentedViewItemSelectedType::click);
}

void JXSegmentedView::pageSettled(int index)
{
    selectItemAt(index, JXSegmentedViewItemSelectedType::scroll);
}

void JXSegmentedView::selectItemAt(int index, JXSegmentedViewItemSelectedType selectedType)
{
    if (!isValidIndex(index))
        return;
    // Keep the bar alive through the callbacks, which may rebuild it.
    auto keep = weak_from_this().lock();
    bool byUser = selectedType == JXSegmentedViewItemSelectedType::click
        || selectedType == JXSegmentedViewItemSelectedType::code;

    if (index != m_selectedIndex) {
        int previous = isValidIndex(m_selectedIndex) ? m_selectedIndex : index;
        auto& current = *m_items[previous];
        auto& next = *m_items[index];
        if (m_dataSource) {
            m_dataSource->refreshItemModel(*this, current, next, selectedType);
            current.itemContentWidth = m_dataSource->itemContentWidth(current);
            next.itemContentWidth = m_dataSource->itemContentWidth(next);
        }
        m_selectedIndex = index;
        for (int i : { previous, index }) {
            if (auto cell = cellForItem(i))
                cell->reloadData(m_items[i], selectedType);
        }
        scrollSelectedItemIntoView();
        auto params = selectedParams(selectedType);
        for (auto& indicator : m_indicators)
            indicator->selectItem(params);
    }

    if (byUser) {
        if (auto container = m_listContainer.lock())
            container->didClickSelectedItem(index);
    }
    auto d = delegate();
    if (!d)
        return;
    if (selectedType == JXSegmentedViewItemSelectedType::click)
        d->didClickSelectedItemAt(*this, index);
    else if (selectedType == JXSegmentedViewItemSelectedType::scroll)
        d->didScrollSelectedItemAt(*this, index);
    d->didSelectedItemAt(*this, index);
}
