#include "platform/ui/lists/UICollectionView.h"

#include "platform/ui/gestures/UITouch.h"
#include "platform/ui/lists/detail/ShownViews.h"

#include <algorithm>
#include <functional>
#include <utility>

UICollectionView::UICollectionView(const CGRect& frame, std::shared_ptr<UICollectionViewLayout> layout)
    : UIScrollView(frame)
    , m_layout(layout ? std::move(layout) : std::make_shared<UICollectionViewFlowLayout>())
{
    m_layout->m_collectionView = this;
    m_layout->m_valid = false;
}

UICollectionView::~UICollectionView()
{
    if (m_layout->m_collectionView == this)
        m_layout->m_collectionView = nullptr;
}

void UICollectionView::setCollectionViewLayout(std::shared_ptr<UICollectionViewLayout> layout)
{
    if (!layout || layout == m_layout)
        return;
    if (m_layout->m_collectionView == this)
        m_layout->m_collectionView = nullptr;
    m_layout = std::move(layout);
    m_layout->m_collectionView = this;
    m_layout->invalidateLayout();
}

void UICollectionView::setDataSource(std::weak_ptr<UICollectionViewDataSource> dataSource)
{
    m_dataSource = std::move(dataSource);
    reloadData();
}

std::shared_ptr<UICollectionViewDelegate> UICollectionView::delegate() const
{
    return std::dynamic_pointer_cast<UICollectionViewDelegate>(UIScrollView::delegate());
}

void UICollectionView::setDelegate(std::weak_ptr<UICollectionViewDelegate> delegate)
{
    UIScrollView::setDelegate(std::weak_ptr<UIScrollViewDelegate>(delegate.lock()));
    // A flow-layout delegate may answer differently from the properties.
    m_layout->invalidateLayout();
}

// ---- Registration and reuse ----

std::string UICollectionView::supplementaryQueueKey(const std::string& kind, const std::string& identifier)
{
    return kind + '\n' + identifier;
}

void UICollectionView::registerClass(CellFactory factory, const std::string& reuseIdentifier)
{
    m_cellQueue.registerFactory(reuseIdentifier, std::move(factory));
}

void UICollectionView::registerClass(
    SupplementaryFactory factory, const std::string& kind, const std::string& reuseIdentifier)
{
    m_supplementaryQueue.registerFactory(supplementaryQueueKey(kind, reuseIdentifier), std::move(factory));
}

std::shared_ptr<UICollectionViewCell> UICollectionView::dequeueReusableCell(
    const std::string& reuseIdentifier, const IndexPath& indexPath)
{
    if (m_reconfiguring && m_reconfiguringPath == indexPath
        && m_reconfiguring->reuseIdentifier() == reuseIdentifier) {
        // Once only: a second dequeue for the same path gets a cell of its own.
        return std::exchange(m_reconfiguring, nullptr);
    }
    auto dequeued = m_cellQueue.dequeue(reuseIdentifier);
    if (!dequeued.view) {
        detail::listWarning(
            "UICollectionView: no cell class is registered for the identifier \"" + reuseIdentifier + "\"");
        return nullptr;
    }
    auto& cell = dequeued.view;
    cell->m_reuseIdentifier = reuseIdentifier;
    if (dequeued.reused)
        cell->prepareForReuse();
    auto attributes = m_configuring && m_configuring->indexPath == indexPath
            && m_configuring->representedElementKind().empty()
        ? m_configuring
        : m_layout->layoutAttributesForItem(indexPath);
    if (attributes)
        applyAttributes(*cell, *attributes);
    return cell;
}

std::shared_ptr<UICollectionReusableView> UICollectionView::dequeueReusableSupplementaryView(
    const std::string& kind, const std::string& reuseIdentifier, const IndexPath& indexPath)
{
    auto dequeued = m_supplementaryQueue.dequeue(supplementaryQueueKey(kind, reuseIdentifier));
    if (!dequeued.view) {
        detail::listWarning("UICollectionView: no view class is registered for the kind \"" + kind
            + "\" and the identifier \"" + reuseIdentifier + "\"");
        return nullptr;
    }
    auto& view = dequeued.view;
    view->m_reuseIdentifier = reuseIdentifier;
    if (dequeued.reused)
        view->prepareForReuse();
    auto attributes = m_configuring && m_configuring->indexPath == indexPath
            && m_configuring->representedElementKind() == kind
        ? m_configuring
        : m_layout->layoutAttributesForSupplementaryView(kind, indexPath);
    if (attributes)
        applyAttributes(*view, *attributes);
    return view;
}

// ---- Data ----

void UICollectionView::reloadData()
{
    ++m_generation;
    m_countsValid = false;
    m_selected.clear();
    m_tap.clear(m_cells);
    retireAll();
    m_layout->prepareForDataReload();
    m_layout->invalidateLayout();
    setNeedsLayout();
}

void UICollectionView::reloadItems(const std::vector<IndexPath>& indexPaths)
{
    for (const auto& indexPath : indexPaths)
        detail::retireShown(m_cells, indexPath, std::bind_front(&UICollectionView::retireCell, this));
    m_layout->invalidateLayout();
}

void UICollectionView::reconfigureItems(const std::vector<IndexPath>& indexPaths)
{
    auto source = dataSource();
    if (!source)
        return;
    auto keepDelegate = UIScrollView::delegate();
    const auto generation = m_generation;
    for (const auto& indexPath : indexPaths) {
        auto shown = detail::shownAt(m_cells, indexPath);
        if (!shown)
            continue;
        m_reconfiguring = shown;
        m_reconfiguringPath = indexPath;
        auto cell = source->cellForItem(*this, indexPath);
        m_reconfiguring.reset();
        // The data source reloaded the view meanwhile: its cells are gone already.
        if (generation != m_generation)
            return;
        if (!cell || cell == shown)
            continue;
        // Another cell (another kind, say) takes the place; it is laid out like a new one.
        detail::retireShownIf(
            m_cells, [&](const IndexPath& p) { return p == indexPath; },
            std::bind_front(&UICollectionView::retireCell, this));
        cell->setSelected(m_selected.count(indexPath) != 0);
        insertElementView(cell);
        m_cells[indexPath] = cell;
        if (auto d = delegate())
            d->willDisplayCell(*this, *cell, indexPath);
    }
    m_layout->invalidateLayout();
    setNeedsLayout();
}

void UICollectionView::reloadSections(const IndexSet& sections)
{
    ++m_generation;
    m_countsValid = false;
    detail::retireShownIf(
        m_cells, [&](const IndexPath& p) { return sections.count(p.section) != 0; },
        std::bind_front(&UICollectionView::retireCell, this));
    detail::retireShownIf(
        m_supplementary,
        [&](const SupplementaryKey& key) { return sections.count(key.indexPath.section) != 0; },
        std::bind_front(&UICollectionView::retireSupplementary, this));
    std::erase_if(m_selected, [&](const IndexPath& p) { return sections.count(p.section) != 0; });
    m_layout->invalidateLayout();
}

void UICollectionView::ensureCounts()
{
    if (m_countsValid)
        return;
    m_countsValid = true;
    // Emptied first: a data source that asks for counts while answering sees none.
    m_itemCounts.clear();
    m_itemCounts
        = detail::sectionCounts(dataSource().get(), *this, &UICollectionViewDataSource::numberOfItems);
}

int UICollectionView::numberOfSections()
{
    ensureCounts();
    return static_cast<int>(m_itemCounts.size());
}

int UICollectionView::numberOfItems(int section)
{
    ensureCounts();
    return detail::countOfSection(m_itemCounts, section);
}

// ---- Layout pass ----

void UICollectionView::layoutSubviews()
{
    UIScrollView::layoutSubviews();
    updateElements();
}

void UICollectionView::contentOffsetDidChange()
{
    updateElements();
}

void UICollectionView::boundsSizeDidChange()
{
    if (m_layout->shouldInvalidateLayoutForBoundsChange(bounds()))
        m_layout->invalidateLayout();
}

void UICollectionView::updateElements()
{
    if (m_updating) {
        m_updateAgain = true;
        return;
    }
    m_updating = true;
    // The data source and delegate stay alive for the whole pass.
    auto source = dataSource();
    auto keepDelegate = UIScrollView::delegate();
    auto keepLayout = m_layout;
    for (int pass = 0; pass < maximumLayoutPasses; ++pass) {
        m_updateAgain = false;
        ensureCounts();
        if (m_layout->isValid() && m_layout->shouldInvalidateLayoutForBoundsChange(bounds()))
            m_layout->m_valid = false;
        if (!m_layout->isValid()) {
            m_layout->m_valid = true;
            m_layout->prepare();
            setContentSize(m_layout->collectionViewContentSize());
            // Content that shrank below the offset pulls the offset back.
            if (!isDragging()) {
                CGPoint offset = contentOffset();
                CGPoint high = maximumContentOffset();
                CGPoint low = minimumContentOffset();
                offset.x = std::max(low.x, std::min(offset.x, high.x));
                offset.y = std::max(low.y, std::min(offset.y, high.y));
                setContentOffset(offset);
            }
        }
        placeElements();
        if (m_layout->isValid() && !m_updateAgain)
            break;
    }
    m_updating = false;
}

void UICollectionView::placeElements()
{
    std::map<IndexPath, UICollectionViewLayoutAttributesPtr> cells;
    std::map<SupplementaryKey, UICollectionViewLayoutAttributesPtr> supplementary;
    for (auto& attributes : m_layout->layoutAttributesForElements(bounds())) {
        if (!attributes)
            continue;
        const IndexPath& p = attributes->indexPath;
        if (attributes->representedElementCategory() == UICollectionElementCategory::cell) {
            if (p.item >= 0 && p.item < numberOfItems(p.section))
                cells[p] = attributes;
        } else if (p.section >= 0 && p.section < numberOfSections()) {
            supplementary[{ attributes->representedElementKind(), p }] = attributes;
        }
    }

    // Views whose elements left the bounds go back to their queues.
    detail::retireShownIf(
        m_cells, [&](const IndexPath& p) { return cells.count(p) == 0; },
        std::bind_front(&UICollectionView::retireCell, this));
    detail::retireShownIf(
        m_supplementary, [&](const SupplementaryKey& key) { return supplementary.count(key) == 0; },
        std::bind_front(&UICollectionView::retireSupplementary, this));

    auto source = dataSource();
    bool selfSizing = m_layout->wantsPreferredLayoutAttributes();
    // Calls out may reload the view: the rest of this pass is then stale and the next pass
    // starts from the new data.
    const auto generation = m_generation;
    auto reloaded = [&] {
        if (generation == m_generation)
            return false;
        m_updateAgain = true;
        return true;
    };
    for (auto& [key, attributes] : supplementary) {
        if (reloaded())
            return;
        if (auto it = m_supplementary.find(key); it != m_supplementary.end()) {
            applyAttributes(*it->second, *attributes);
            continue;
        }
        if (!source)
            break;
        m_configuring = attributes;
        auto view = source->viewForSupplementaryElement(*this, key.kind, key.indexPath);
        m_configuring.reset();
        if (reloaded())
            return;
        if (!view) {
            detail::listWarning("UICollectionView: the data source gave no view for a " + key.kind);
            continue;
        }
        applyAttributes(*view, *attributes);
        insertElementView(view);
        m_supplementary[key] = view;
    }
    for (auto& [indexPath, attributes] : cells) {
        if (reloaded())
            return;
        if (auto it = m_cells.find(indexPath); it != m_cells.end()) {
            applyAttributes(*it->second, *attributes);
            continue;
        }
        if (!source)
            break;
        m_configuring = attributes;
        auto cell = source->cellForItem(*this, indexPath);
        m_configuring.reset();
        if (!cell) {
            detail::listWarning("UICollectionView: the data source gave no cell");
            cell = std::make_shared<UICollectionViewCell>();
        }
        if (reloaded())
            return;
        applyAttributes(*cell, *attributes);
        cell->setSelected(m_selected.count(indexPath) != 0);
        insertElementView(cell);
        m_cells[indexPath] = cell;
        if (auto d = delegate())
            d->willDisplayCell(*this, *cell, indexPath);
        if (reloaded())
            return;
        if (selfSizing) {
            auto preferred = cell->preferredLayoutAttributesFitting(*attributes);
            if (preferred && m_layout->shouldInvalidateLayoutForPreferredAttributes(*preferred, *attributes))
                m_layout->invalidateLayoutForPreferredAttributes(*preferred);
        }
    }
    orderByZIndex();
}

void UICollectionView::applyAttributes(
    UICollectionReusableView& view, const UICollectionViewLayoutAttributes& attributes)
{
    if (attributes.transform.isIdentity()) {
        if (!view.transform().isIdentity())
            view.setTransform(CGAffineTransform::identity());
        view.setFrame(attributes.frame);
    } else {
        view.setTransform(CGAffineTransform::identity());
        view.setBounds({ {}, attributes.frame.size });
        view.setCenter(attributes.frame.center());
        view.setTransform(attributes.transform);
    }
    view.setAlpha(attributes.alpha);
    view.setHidden(attributes.isHidden);
    if (attributes.zIndex != 0 || m_zIndex.count(&view))
        m_zIndex[&view] = attributes.zIndex;
    view.apply(attributes);
}

void UICollectionView::insertElementView(const std::shared_ptr<UIView>& view)
{
    // Element views stay below the other subviews (refresh controls and the like).
    std::size_t below = m_cells.size() + m_supplementary.size();
    if (view->superview().get() == this)
        return;
    insertSubview(view, below);
}

void UICollectionView::orderByZIndex()
{
    if (m_zIndex.empty())
        return;
    std::vector<std::pair<int, std::shared_ptr<UIView>>> raised;
    for (const auto& sub : subviews()) {
        auto it = m_zIndex.find(sub.get());
        if (it != m_zIndex.end() && it->second != 0)
            raised.emplace_back(it->second, sub);
    }
    std::stable_sort(
        raised.begin(), raised.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    // Lower values further back: negative ones go behind the other elements, positive ones in front.
    for (auto it = raised.rbegin(); it != raised.rend(); ++it) {
        if (it->first < 0)
            sendSubviewToBack(it->second.get());
    }
    for (const auto& [z, view] : raised) {
        if (z > 0)
            bringSubviewToFront(view.get());
    }
}

void UICollectionView::retireCell(
    const IndexPath& indexPath, const std::shared_ptr<UICollectionViewCell>& cell)
{
    cell->removeFromSuperview();
    cell->setHighlighted(false);
    m_zIndex.erase(cell.get());
    m_tap.forget(indexPath);
    if (auto d = delegate())
        d->didEndDisplayingCell(*this, *cell, indexPath);
    m_cellQueue.enqueue(cell->reuseIdentifier(), cell);
}

void UICollectionView::retireSupplementary(
    const SupplementaryKey& key, const std::shared_ptr<UICollectionReusableView>& view)
{
    view->removeFromSuperview();
    m_zIndex.erase(view.get());
    m_supplementaryQueue.enqueue(supplementaryQueueKey(key.kind, view->reuseIdentifier()), view);
}

void UICollectionView::retireAll()
{
    detail::retireAllShown(m_cells, std::bind_front(&UICollectionView::retireCell, this));
    detail::retireAllShown(m_supplementary, std::bind_front(&UICollectionView::retireSupplementary, this));
}

// ---- Shown elements ----

std::vector<std::shared_ptr<UICollectionViewCell>> UICollectionView::visibleCells() const
{
    return detail::shownViews(m_cells);
}

std::vector<IndexPath> UICollectionView::indexPathsForVisibleItems() const
{
    return detail::shownKeys(m_cells);
}

std::shared_ptr<UICollectionViewCell> UICollectionView::cellForItem(const IndexPath& indexPath) const
{
    return detail::shownAt(m_cells, indexPath);
}

std::optional<IndexPath> UICollectionView::indexPathForCell(const UICollectionViewCell& cell) const
{
    return detail::keyOfShown(m_cells, cell);
}

std::shared_ptr<UICollectionReusableView> UICollectionView::supplementaryView(
    const std::string& kind, const IndexPath& indexPath) const
{
    return detail::shownAt(m_supplementary, SupplementaryKey { kind, indexPath });
}

std::vector<std::shared_ptr<UICollectionReusableView>> UICollectionView::visibleSupplementaryViews(
    const std::string& kind) const
{
    std::vector<std::shared_ptr<UICollectionReusableView>> result;
    for (const auto& [key, view] : m_supplementary) {
        if (key.kind == kind)
            result.push_back(view);
    }
    return result;
}

std::optional<IndexPath> UICollectionView::indexPathForItem(CGPoint point)
{
    layoutIfNeeded();
    updateElements();
    for (auto& attributes : m_layout->layoutAttributesForElements({ point, { 1, 1 } })) {
        if (attributes && attributes->representedElementCategory() == UICollectionElementCategory::cell
            && attributes->frame.contains(point))
            return attributes->indexPath;
    }
    return std::nullopt;
}

UICollectionViewLayoutAttributesPtr UICollectionView::layoutAttributesForItem(const IndexPath& indexPath)
{
    updateElements();
    return m_layout->layoutAttributesForItem(indexPath);
}

UICollectionViewLayoutAttributesPtr UICollectionView::layoutAttributesForSupplementaryElement(
    const std::string& kind, const IndexPath& indexPath)
{
    updateElements();
    return m_layout->layoutAttributesForSupplementaryView(kind, indexPath);
}

// ---- Selection ----

void UICollectionView::selectItem(const IndexPath& indexPath, bool animated, unsigned scrollPosition)
{
    if (!m_allowsSelection)
        return;
    if (!m_allowsMultipleSelection) {
        for (const auto& p : std::set<IndexPath>(m_selected)) {
            if (p != indexPath)
                deselectItem(p, false);
        }
    }
    m_selected.insert(indexPath);
    if (auto cell = cellForItem(indexPath))
        cell->setSelected(true);
    if (scrollPosition != UICollectionViewScrollPositionNone)
        scrollToItem(indexPath, scrollPosition, animated);
}

void UICollectionView::deselectItem(const IndexPath& indexPath, bool)
{
    m_selected.erase(indexPath);
    if (auto cell = cellForItem(indexPath))
        cell->setSelected(false);
}

// ---- Scrolling ----

void UICollectionView::performBatchUpdates(
    const std::function<void()>& updates, const std::function<void(bool)>& completion)
{
    if (updates)
        updates();
    m_countsValid = false;
    if (m_layout)
        m_layout->invalidateLayout();
    setNeedsLayout();
    layoutIfNeeded();
    if (completion)
        completion(true);
}

void UICollectionView::scrollToItem(const IndexPath& indexPath, unsigned position, bool animated)
{
    layoutIfNeeded();
    updateElements();
    auto attributes = m_layout->layoutAttributesForItem(indexPath);
    if (!attributes)
        return;
    CGRect item = attributes->frame;
    CGSize size = bounds().size;
    UIEdgeInsets inset = adjustedContentInset();
    CGPoint offset = contentOffset();
    if (position & UICollectionViewScrollPositionTop)
        offset.y = item.minY() - inset.top;
    else if (position & UICollectionViewScrollPositionCenteredVertically)
        offset.y = item.midY() - inset.top - (size.height - inset.top - inset.bottom) / 2;
    else if (position & UICollectionViewScrollPositionBottom)
        offset.y = item.maxY() - size.height + inset.bottom;
    if (position & UICollectionViewScrollPositionLeft)
        offset.x = item.minX() - inset.left;
    else if (position & UICollectionViewScrollPositionCenteredHorizontally)
        offset.x = item.midX() - inset.left - (size.width - inset.left - inset.right) / 2;
    else if (position & UICollectionViewScrollPositionRight)
        offset.x = item.maxX() - size.width + inset.right;
    if (position == UICollectionViewScrollPositionNone) {
        scrollRectToVisible(item, animated);
        return;
    }
    CGPoint low = minimumContentOffset();
    CGPoint high = maximumContentOffset();
    offset.x = std::max(low.x, std::min(offset.x, high.x));
    offset.y = std::max(low.y, std::min(offset.y, high.y));
    setContentOffset(offset, animated);
}

// ---- Taps on cells ----

void UICollectionView::touchesBegan(const UITouchSet& touches, const UIEvent*)
{
    m_tap.begin(m_cells, touches, this, m_allowsSelection && !isDecelerating());
}

void UICollectionView::touchesMoved(const UITouchSet&, const UIEvent*)
{ }

void UICollectionView::touchesEnded(const UITouchSet& touches, const UIEvent*)
{
    if (auto tapped = m_tap.end(m_cells, touches, this))
        selectTappedItem(*tapped);
}

void UICollectionView::touchesCancelled(const UITouchSet&, const UIEvent*)
{
    m_tap.clear(m_cells);
}

void UICollectionView::selectTappedItem(const IndexPath& indexPath)
{
    auto d = delegate();
    if (m_allowsMultipleSelection && m_selected.count(indexPath)) {
        deselectItem(indexPath, false);
        if (d)
            d->didDeselectItem(*this, indexPath);
        return;
    }
    std::vector<IndexPath> previous;
    if (!m_allowsMultipleSelection) {
        for (const auto& p : m_selected) {
            if (p != indexPath)
                previous.push_back(p);
        }
    }
    for (const auto& p : previous) {
        deselectItem(p, false);
        if (d)
            d->didDeselectItem(*this, p);
    }
    m_selected.insert(indexPath);
    if (auto cell = cellForItem(indexPath))
        cell->setSelected(true);
    if (d)
        d->didSelectItem(*this, indexPath);
}
