#include "platform/ui/lists/UITableView.h"

#include "platform/ui/UILabel.h"
#include "platform/ui/gestures/UITouch.h"
#include "platform/ui/layout/UIViewLayout.h"
#include "platform/ui/lists/detail/SectionIndexView.h"
#include "platform/ui/lists/detail/ShownViews.h"

#include <algorithm>
#include <functional>

namespace {

const UIColor plainHeaderBackground { 0.97, 0.97, 0.97, 1 };
const UIColor groupedBackground { 0.95, 0.95, 0.97, 1 };
const UIColor titleGray { 0.43, 0.43, 0.45, 1 };

// The view of a section title: a grey band with the text (plain), or grey text over the
// table's background (grouped).
class SectionTitleView final : public UIView {
public:
    SectionTitleView(std::string title, bool grouped, bool header)
        : m_label(std::make_shared<UILabel>())
        , m_grouped(grouped)
        , m_header(header)
    {
        m_label->setText(std::move(title));
        m_label->setFont(grouped ? UIFont::systemFont(13) : UIFont::boldSystemFont(17));
        m_label->setTextColor(grouped ? titleGray : UIColor::label());
        if (!grouped)
            setBackgroundColor(plainHeaderBackground);
    }

    std::string className() const override { return "UITableViewHeaderFooterView"; }
    const std::shared_ptr<UILabel>& label() const { return m_label; }

    void layoutSubviews() override
    {
        if (m_label->superview().get() != this)
            addSubview(m_label);
        UIView::layoutSubviews();
        CGRect b = bounds();
        CGFloat inset = UITableViewCell::horizontalMargin;
        CGFloat height = m_label->sizeThatFits({ b.width() - 2 * inset, 0 }).height;
        // Grouped titles sit on the edge next to their rows.
        CGFloat y = !m_grouped ? (b.height() - height) / 2 : m_header ? b.height() - height - 6 : 6;
        m_label->setFrame({ inset, y, std::max<CGFloat>(0, b.width() - 2 * inset), height });
    }

private:
    std::shared_ptr<UILabel> m_label;
    bool m_grouped;
    bool m_header;
};

}

UITableView::UITableView(const CGRect& frame, UITableViewStyle style)
    : UIScrollView(frame)
    , m_style(style)
{
    setBackgroundColor(style == UITableViewStyle::grouped
            ? UIColor::dynamic(groupedBackground, UIColor::black())
            : UIColor::systemBackground());
    setAlwaysBounceVertical(true);
}

UITableView::~UITableView() = default;

void UITableView::setDataSource(std::weak_ptr<UITableViewDataSource> dataSource)
{
    m_dataSource = std::move(dataSource);
    reloadData();
}

std::shared_ptr<UITableViewDelegate> UITableView::delegate() const
{
    return std::dynamic_pointer_cast<UITableViewDelegate>(UIScrollView::delegate());
}

void UITableView::setDelegate(std::weak_ptr<UITableViewDelegate> delegate)
{
    UIScrollView::setDelegate(std::weak_ptr<UIScrollViewDelegate>(delegate.lock()));
    // Heights and section views come from the new delegate.
    reloadData();
}

// ---- Sizes and decoration ----

void UITableView::invalidateGeometry()
{
    m_heightsValid = false;
    m_positionsValid = false;
    setNeedsLayout();
}

void UITableView::setRowHeight(CGFloat height)
{
    m_rowHeight = height;
    invalidateGeometry();
}

void UITableView::setEstimatedRowHeight(CGFloat height)
{
    m_estimatedRowHeight = height;
    invalidateGeometry();
}

void UITableView::setSectionHeaderHeight(CGFloat height)
{
    m_sectionHeaderHeight = height;
    invalidateGeometry();
}

void UITableView::setSectionFooterHeight(CGFloat height)
{
    m_sectionFooterHeight = height;
    invalidateGeometry();
}

void UITableView::setSectionHeaderTopPadding(CGFloat padding)
{
    m_sectionHeaderTopPadding = padding;
    m_positionsValid = false;
    setNeedsLayout();
}

void UITableView::setSectionIndexColor(std::optional<UIColor> color)
{
    m_sectionIndexColor = std::move(color);
    updateSectionIndex();
}

void UITableView::setSectionIndexBackgroundColor(std::optional<UIColor> color)
{
    m_sectionIndexBackgroundColor = std::move(color);
    updateSectionIndex();
}

void UITableView::setSectionIndexTrackingBackgroundColor(std::optional<UIColor> color)
{
    m_sectionIndexTrackingBackgroundColor = std::move(color);
    updateSectionIndex();
}

std::shared_ptr<UIView> UITableView::sectionIndexView() const
{
    return m_sectionIndex && m_sectionIndex->superview().get() == this ? m_sectionIndex : nullptr;
}

void UITableView::updateSectionIndex()
{
    auto source = dataSource();
    auto titles = source ? source->sectionIndexTitles(*this) : std::vector<std::string> {};
    if (titles.empty()) {
        if (m_sectionIndex)
            m_sectionIndex->removeFromSuperview();
        return;
    }
    if (!m_sectionIndex) {
        std::weak_ptr<UIResponder> weakSelf = weak_from_this();
        m_sectionIndex = std::make_shared<detail::SectionIndexView>([weakSelf](int index) {
            auto self = std::static_pointer_cast<UITableView>(weakSelf.lock());
            if (!self || index >= self->numberOfSections())
                return;
            self->layoutIfNeeded();
            CGFloat top = self->rectForHeader(index).minY() - self->adjustedContentInset().top;
            self->setContentOffset({ self->contentOffset().x,
                std::max(self->minimumContentOffset().y, std::min(top, self->maximumContentOffset().y)) });
        });
    }
    m_sectionIndex->setTitles(std::move(titles));
    m_sectionIndex->setColors(
        m_sectionIndexColor, m_sectionIndexBackgroundColor, m_sectionIndexTrackingBackgroundColor);
    if (m_sectionIndex->superview().get() != this)
        addSubview(m_sectionIndex);
    setNeedsLayout();
}

void UITableView::placeSectionIndex()
{
    if (!sectionIndexView())
        return;
    CGRect visible = bounds();
    UIEdgeInsets inset = adjustedContentInset();
    m_sectionIndex->setFrame({ visible.maxX() - detail::SectionIndexView::width, visible.minY() + inset.top,
        detail::SectionIndexView::width, std::max<CGFloat>(0, visible.height() - inset.top - inset.bottom) });
    // Above the rows and section views, which come and go.
    if (subviews().back() != m_sectionIndex)
        bringSubviewToFront(m_sectionIndex.get());
}

void UITableView::setSeparatorStyle(UITableViewCellSeparatorStyle style)
{
    m_separatorStyle = style;
    for (auto& [indexPath, cell] : m_cells)
        cell->setSeparator(style != UITableViewCellSeparatorStyle::none, m_separatorColor, m_separatorInset);
}

void UITableView::setSeparatorColor(UIColor color)
{
    m_separatorColor = std::move(color);
    setSeparatorStyle(m_separatorStyle);
}

void UITableView::setSeparatorInset(UIEdgeInsets inset)
{
    m_separatorInset = inset;
    setSeparatorStyle(m_separatorStyle);
}

void UITableView::setTableHeaderView(std::shared_ptr<UIView> view)
{
    if (m_tableHeaderView)
        m_tableHeaderView->removeFromSuperview();
    m_tableHeaderView = std::move(view);
    if (m_tableHeaderView)
        addSubview(m_tableHeaderView);
    m_positionsValid = false;
    setNeedsLayout();
}

void UITableView::setTableFooterView(std::shared_ptr<UIView> view)
{
    if (m_tableFooterView)
        m_tableFooterView->removeFromSuperview();
    m_tableFooterView = std::move(view);
    if (m_tableFooterView)
        addSubview(m_tableFooterView);
    m_positionsValid = false;
    setNeedsLayout();
}

// ---- Registration and reuse ----

void UITableView::registerClass(CellFactory factory, const std::string& reuseIdentifier)
{
    m_cellQueue.registerFactory(reuseIdentifier, std::move(factory));
}

std::shared_ptr<UITableViewCell> UITableView::dequeueReusableCell(const std::string& reuseIdentifier)
{
    auto dequeued = m_cellQueue.dequeue(reuseIdentifier);
    if (!dequeued.view)
        return nullptr;
    dequeued.view->m_reuseIdentifier = reuseIdentifier;
    if (dequeued.reused)
        dequeued.view->prepareForReuse();
    return dequeued.view;
}

std::shared_ptr<UITableViewCell> UITableView::dequeueReusableCell(
    const std::string& reuseIdentifier, const IndexPath& indexPath)
{
    if (!m_cellQueue.isRegistered(reuseIdentifier)) {
        detail::listWarning(
            "UITableView: no cell class is registered for the identifier \"" + reuseIdentifier + "\"");
        return nullptr;
    }
    auto cell = dequeueReusableCell(reuseIdentifier);
    if (!cell)
        return nullptr;
    ensureCounts();
    if (indexPath.section >= 0 && indexPath.section < static_cast<int>(m_geometry.size())) {
        const auto& section = m_geometry[static_cast<std::size_t>(indexPath.section)];
        if (indexPath.row() >= 0 && indexPath.row() < static_cast<int>(section.rowY.size()))
            cell->setFrame({ 0, section.rowY[static_cast<std::size_t>(indexPath.row())], bounds().width(),
                section.rowHeight[static_cast<std::size_t>(indexPath.row())] });
    }
    return cell;
}

// ---- Data ----

void UITableView::reloadData()
{
    ++m_generation;
    m_countsValid = false;
    m_selected.reset();
    m_tap.clear(m_cells);
    retireAllCells();
    for (auto* views : { &m_headerViews, &m_footerViews }) {
        for (auto& [section, view] : *views) {
            if (view->superview().get() == this)
                view->removeFromSuperview();
        }
        views->clear();
    }
    m_edgeViewsAsked.clear();
    m_measuredHeights.clear();
    invalidateGeometry();
    updateSectionIndex();
}

void UITableView::reloadRows(const std::vector<IndexPath>& indexPaths, UITableViewRowAnimation)
{
    for (const auto& indexPath : indexPaths) {
        m_measuredHeights.erase(indexPath);
        detail::retireShown(m_cells, indexPath, std::bind_front(&UITableView::retireCell, this));
    }
    invalidateGeometry();
}

void UITableView::reloadSections(const IndexSet& sections, UITableViewRowAnimation)
{
    ++m_generation;
    m_countsValid = false;
    detail::retireShownIf(
        m_cells, [&](const IndexPath& p) { return sections.count(p.section) != 0; },
        std::bind_front(&UITableView::retireCell, this));
    std::erase_if(
        m_measuredHeights, [&](const auto& entry) { return sections.count(entry.first.section) != 0; });
    for (int section : sections) {
        for (auto* views : { &m_headerViews, &m_footerViews }) {
            if (auto it = views->find(section); it != views->end()) {
                if (it->second->superview().get() == this)
                    it->second->removeFromSuperview();
                views->erase(it);
            }
        }
        m_edgeViewsAsked.erase(section * 2);
        m_edgeViewsAsked.erase(section * 2 + 1);
    }
    if (m_selected && sections.count(m_selected->section))
        m_selected.reset();
    invalidateGeometry();
}

void UITableView::ensureCounts()
{
    if (m_countsValid)
        return;
    m_countsValid = true;
    m_rowCounts.clear();
    m_heightsValid = false;
    m_positionsValid = false;
    m_rowCounts = detail::sectionCounts(dataSource().get(), *this, &UITableViewDataSource::numberOfRows);
}

int UITableView::numberOfSections()
{
    ensureCounts();
    return static_cast<int>(m_rowCounts.size());
}

int UITableView::numberOfRows(int section)
{
    ensureCounts();
    return detail::countOfSection(m_rowCounts, section);
}

// ---- Geometry ----

bool UITableView::rowSizesItself(const IndexPath& indexPath, UITableViewDelegate* delegate) const
{
    if (m_rowHeight != UITableViewAutomaticDimension || m_estimatedRowHeight == 0)
        return false;
    return !(delegate && delegate->heightForRow(const_cast<UITableView&>(*this), indexPath));
}

CGFloat UITableView::heightOfRow(const IndexPath& indexPath, UITableViewDelegate* delegate) const
{
    if (delegate) {
        if (auto height = delegate->heightForRow(const_cast<UITableView&>(*this), indexPath))
            return std::max<CGFloat>(0, *height);
    }
    if (m_rowHeight >= 0)
        return m_rowHeight;
    if (m_estimatedRowHeight == 0)
        return defaultRowHeight;
    if (auto it = m_measuredHeights.find(indexPath); it != m_measuredHeights.end())
        return it->second;
    return m_estimatedRowHeight > 0 ? m_estimatedRowHeight : defaultRowHeight;
}

std::shared_ptr<UIView> UITableView::edgeView(int section, Edge edge)
{
    int key = section * 2 + (edge == Edge::footer ? 1 : 0);
    auto& views = edge == Edge::header ? m_headerViews : m_footerViews;
    if (!m_edgeViewsAsked.count(key)) {
        m_edgeViewsAsked.insert(key);
        std::shared_ptr<UIView> view;
        if (auto d = delegate())
            view = edge == Edge::header ? d->viewForHeader(*this, section) : d->viewForFooter(*this, section);
        if (!view) {
            if (auto source = dataSource()) {
                auto title = edge == Edge::header ? source->titleForHeader(*this, section)
                                                  : source->titleForFooter(*this, section);
                if (title)
                    view = makeSectionTitleView(*title, edge == Edge::header);
            }
        }
        if (view)
            views[section] = view;
    }
    auto it = views.find(section);
    return it == views.end() ? nullptr : it->second;
}

std::shared_ptr<UIView> UITableView::makeSectionTitleView(const std::string& title, bool header)
{
    return std::make_shared<SectionTitleView>(title, m_style == UITableViewStyle::grouped, header);
}

CGFloat UITableView::edgeHeight(int section, Edge edge, UITableViewDelegate* delegate)
{
    if (delegate) {
        auto height = edge == Edge::header ? delegate->heightForHeader(*this, section)
                                           : delegate->heightForFooter(*this, section);
        if (height)
            return std::max<CGFloat>(0, *height);
    }
    CGFloat fixed = edge == Edge::header ? m_sectionHeaderHeight : m_sectionFooterHeight;
    if (fixed >= 0)
        return fixed;
    bool grouped = m_style == UITableViewStyle::grouped;
    auto view = edgeView(section, edge);
    if (!view)
        return grouped ? defaultGroupedSpacing : 0;
    if (dynamic_cast<SectionTitleView*>(view.get()))
        return grouped ? defaultGroupedTitleHeaderHeight : defaultTitleHeaderHeight;
    if (!constraints(*view).empty())
        return systemLayoutSizeFitting(
            *view, { bounds().width(), 0 }, UILayoutPriorityRequired, UILayoutPriorityFittingSizeLevel)
            .height;
    return view->frame().height();
}

void UITableView::computeHeights()
{
    auto d = delegate();
    m_geometry.assign(m_rowCounts.size(), {});
    for (std::size_t s = 0; s < m_rowCounts.size(); ++s) {
        auto& section = m_geometry[s];
        int index = static_cast<int>(s);
        section.headerHeight = edgeHeight(index, Edge::header, d.get());
        section.rowHeight.resize(static_cast<std::size_t>(m_rowCounts[s]));
        section.rowY.resize(section.rowHeight.size());
        for (int r = 0; r < m_rowCounts[s]; ++r)
            section.rowHeight[static_cast<std::size_t>(r)] = heightOfRow({ r, index }, d.get());
        section.footerHeight = edgeHeight(index, Edge::footer, d.get());
    }
    m_heightsValid = true;
    m_positionsValid = false;
}

void UITableView::computePositions()
{
    CGFloat y = m_tableHeaderView ? m_tableHeaderView->frame().height() : 0;
    const CGFloat topPadding = std::max<CGFloat>(0, m_sectionHeaderTopPadding);
    for (auto& section : m_geometry) {
        if (section.headerHeight > 0)
            y += topPadding;
        section.headerY = y;
        y += section.headerHeight;
        for (std::size_t r = 0; r < section.rowHeight.size(); ++r) {
            section.rowY[r] = y;
            y += section.rowHeight[r];
        }
        section.footerY = y;
        y += section.footerHeight;
        section.end = y;
    }
    if (m_tableFooterView)
        y += m_tableFooterView->frame().height();
    m_contentHeight = y;
    m_positionsValid = true;
}

void UITableView::ensureGeometry()
{
    ensureCounts();
    CGFloat width = bounds().width();
    if (width != m_geometryWidth) {
        // Rows that size themselves wrap differently at another width.
        m_geometryWidth = width;
        m_measuredHeights.clear();
        m_heightsValid = false;
    }
    if (!m_heightsValid)
        computeHeights();
    if (!m_positionsValid) {
        computePositions();
        setContentSize({ width, m_contentHeight });
        if (!isDragging() && contentOffset().y > maximumContentOffset().y)
            setContentOffset({ contentOffset().x, maximumContentOffset().y });
    }
}

CGRect UITableView::rectForRow(const IndexPath& indexPath)
{
    ensureGeometry();
    if (indexPath.section < 0 || indexPath.section >= static_cast<int>(m_geometry.size()))
        return CGRect::zero();
    const auto& section = m_geometry[static_cast<std::size_t>(indexPath.section)];
    if (indexPath.row() < 0 || indexPath.row() >= static_cast<int>(section.rowY.size()))
        return CGRect::zero();
    auto r = static_cast<std::size_t>(indexPath.row());
    return { 0, section.rowY[r], bounds().width(), section.rowHeight[r] };
}

CGRect UITableView::rectForHeader(int section)
{
    ensureGeometry();
    if (section < 0 || section >= static_cast<int>(m_geometry.size()))
        return CGRect::zero();
    const auto& s = m_geometry[static_cast<std::size_t>(section)];
    return { 0, s.headerY, bounds().width(), s.headerHeight };
}

CGRect UITableView::rectForFooter(int section)
{
    ensureGeometry();
    if (section < 0 || section >= static_cast<int>(m_geometry.size()))
        return CGRect::zero();
    const auto& s = m_geometry[static_cast<std::size_t>(section)];
    return { 0, s.footerY, bounds().width(), s.footerHeight };
}

std::optional<IndexPath> UITableView::indexPathForRow(CGPoint point)
{
    ensureGeometry();
    for (std::size_t s = 0; s < m_geometry.size(); ++s) {
        const auto& section = m_geometry[s];
        if (point.y < section.headerY || point.y >= section.end)
            continue;
        for (std::size_t r = 0; r < section.rowY.size(); ++r) {
            if (point.y >= section.rowY[r] && point.y < section.rowY[r] + section.rowHeight[r])
                return IndexPath { static_cast<int>(r), static_cast<int>(s) };
        }
    }
    return std::nullopt;
}

CGFloat UITableView::measure(UITableViewCell& cell) const
{
    CGFloat width = bounds().width();
    CGRect frame = cell.frame();
    cell.setFrame({ frame.origin, { width, frame.height() } });
    cell.layoutIfNeeded();
    const auto& content = cell.contentView();
    if (!constraints(*content).empty()) {
        CGSize fitted = systemLayoutSizeFitting(*content, { content->bounds().width(), 0 },
            UILayoutPriorityRequired, UILayoutPriorityFittingSizeLevel);
        return std::max<CGFloat>(0, fitted.height);
    }
    return cell.sizeThatFits({ width, 0 }).height;
}

// ---- Layout pass ----

void UITableView::layoutSubviews()
{
    UIScrollView::layoutSubviews();
    updateRows();
}

void UITableView::contentOffsetDidChange()
{
    updateRows();
}

void UITableView::boundsSizeDidChange()
{
    if (bounds().width() != m_geometryWidth)
        setNeedsLayout();
}

void UITableView::updateRows()
{
    if (m_updating) {
        m_updateAgain = true;
        return;
    }
    m_updating = true;
    auto keepSource = dataSource();
    auto keepDelegate = UIScrollView::delegate();
    for (int pass = 0; pass < maximumLayoutPasses; ++pass) {
        m_updateAgain = false;
        ensureGeometry();
        placeRows();
        placeEdges();
        placeSectionIndex();
        if (m_positionsValid && m_heightsValid && !m_updateAgain)
            break;
    }
    m_updating = false;
}

void UITableView::placeRows()
{
    CGRect visible = bounds();
    CGFloat width = visible.width();
    std::vector<IndexPath> wanted;
    for (std::size_t s = 0; s < m_geometry.size(); ++s) {
        const auto& section = m_geometry[s];
        if (section.end < visible.minY() || section.headerY > visible.maxY())
            continue;
        auto first = std::partition_point(
            section.rowY.begin(), section.rowY.end(), [&](CGFloat y) { return y < visible.minY(); });
        // The row that straddles the top edge starts before it.
        if (first != section.rowY.begin())
            --first;
        for (auto it = first; it != section.rowY.end() && *it < visible.maxY(); ++it) {
            auto r = static_cast<std::size_t>(it - section.rowY.begin());
            CGFloat top = *it;
            CGFloat bottom = top + section.rowHeight[r];
            bool shows = section.rowHeight[r] > 0 ? (bottom > visible.minY()) : (top >= visible.minY());
            if (shows)
                wanted.push_back({ static_cast<int>(r), static_cast<int>(s) });
        }
    }

    detail::retireShownIf(
        m_cells, [&](const IndexPath& p) { return !std::binary_search(wanted.begin(), wanted.end(), p); },
        std::bind_front(&UITableView::retireCell, this));

    auto source = dataSource();
    auto d = delegate();
    bool separators = m_separatorStyle != UITableViewCellSeparatorStyle::none;
    const auto generation = m_generation;
    for (const auto& indexPath : wanted) {
        // Calls out (cell for row, will display) may reload the table: then this pass is stale
        // and the next one starts from the new data.
        if (generation != m_generation || !m_heightsValid) {
            m_updateAgain = true;
            return;
        }
        auto r = static_cast<std::size_t>(indexPath.row());
        auto rowFrame = [&] {
            const auto& section = m_geometry[static_cast<std::size_t>(indexPath.section)];
            return CGRect { 0, section.rowY[r], width, section.rowHeight[r] };
        };
        if (auto it = m_cells.find(indexPath); it != m_cells.end()) {
            it->second->setFrame(rowFrame());
            continue;
        }
        if (!source)
            break;
        auto cell = source->cellForRow(*this, indexPath);
        if (!cell) {
            detail::listWarning("UITableView: the data source gave no cell");
            cell = std::make_shared<UITableViewCell>();
        }
        if (generation != m_generation || !m_heightsValid) {
            m_updateAgain = true;
            return;
        }
        cell->setFrame(rowFrame());
        cell->setSeparator(separators, m_separatorColor, m_separatorInset);
        cell->setSelected(m_selected == indexPath);
        insertRowView(cell);
        m_cells[indexPath] = cell;
        if (d)
            d->willDisplayCell(*this, *cell, indexPath);
        if (generation != m_generation || !m_heightsValid) {
            m_updateAgain = true;
            return;
        }
        if (rowSizesItself(indexPath, d.get()) && !m_measuredHeights.count(indexPath)) {
            CGFloat height = measure(*cell);
            m_measuredHeights[indexPath] = height;
            auto& section = m_geometry[static_cast<std::size_t>(indexPath.section)];
            if (height != section.rowHeight[r]) {
                section.rowHeight[r] = height;
                m_positionsValid = false;
            }
            CGRect frame = rowFrame();
            cell->setFrame({ frame.origin, { width, height } });
        }
    }
}

void UITableView::placeEdges()
{
    CGRect visible = bounds();
    CGFloat width = visible.width();
    for (std::size_t s = 0; s < m_geometry.size(); ++s) {
        const auto& section = m_geometry[s];
        int index = static_cast<int>(s);
        for (Edge edge : { Edge::header, Edge::footer }) {
            CGRect frame = edge == Edge::header ? CGRect { 0, section.headerY, width, section.headerHeight }
                                                : CGRect { 0, section.footerY, width, section.footerHeight };
            auto& views = edge == Edge::header ? m_headerViews : m_footerViews;
            bool shows = frame.height() > 0 && frame.intersects(visible);
            auto view = shows ? edgeView(index, edge) : nullptr;
            if (!view) {
                if (auto it = views.find(index); it != views.end() && it->second->superview().get() == this)
                    it->second->removeFromSuperview();
                continue;
            }
            view->setFrame(frame);
            if (view->superview().get() != this)
                insertSubview(view, m_cells.size());
        }
    }
    if (m_tableHeaderView)
        m_tableHeaderView->setFrame({ 0, 0, width, m_tableHeaderView->frame().height() });
    if (m_tableFooterView) {
        CGFloat top = m_geometry.empty() ? (m_tableHeaderView ? m_tableHeaderView->frame().height() : 0)
                                         : m_geometry.back().end;
        m_tableFooterView->setFrame({ 0, top, width, m_tableFooterView->frame().height() });
    }
}

void UITableView::insertRowView(const std::shared_ptr<UIView>& view)
{
    // Rows stay below the section views, the table's own header and footer and anything else.
    insertSubview(view, 0);
}

void UITableView::retireCell(const IndexPath& indexPath, const std::shared_ptr<UITableViewCell>& cell)
{
    cell->removeFromSuperview();
    cell->setHighlighted(false);
    m_tap.forget(indexPath);
    if (auto d = delegate())
        d->didEndDisplayingCell(*this, *cell, indexPath);
    m_cellQueue.enqueue(cell->reuseIdentifier(), cell);
}

void UITableView::retireAllCells()
{
    detail::retireAllShown(m_cells, std::bind_front(&UITableView::retireCell, this));
}

// ---- Shown rows ----

std::vector<std::shared_ptr<UITableViewCell>> UITableView::visibleCells() const
{
    return detail::shownViews(m_cells);
}

std::vector<IndexPath> UITableView::indexPathsForVisibleRows() const
{
    return detail::shownKeys(m_cells);
}

std::shared_ptr<UITableViewCell> UITableView::cellForRow(const IndexPath& indexPath) const
{
    return detail::shownAt(m_cells, indexPath);
}

std::optional<IndexPath> UITableView::indexPathForCell(const UITableViewCell& cell) const
{
    return detail::keyOfShown(m_cells, cell);
}

std::shared_ptr<UIView> UITableView::headerView(int section) const
{
    auto it = m_headerViews.find(section);
    return it == m_headerViews.end() || it->second->superview().get() != this ? nullptr : it->second;
}

std::shared_ptr<UIView> UITableView::footerView(int section) const
{
    auto it = m_footerViews.find(section);
    return it == m_footerViews.end() || it->second->superview().get() != this ? nullptr : it->second;
}

// ---- Selection and scrolling ----

void UITableView::selectRow(const IndexPath& indexPath, bool animated, UITableViewScrollPosition position)
{
    if (!m_allowsSelection)
        return;
    if (m_selected && *m_selected != indexPath)
        deselectRow(*m_selected, false);
    m_selected = indexPath;
    if (auto cell = cellForRow(indexPath))
        cell->setSelected(true, animated);
    if (position != UITableViewScrollPosition::none)
        scrollToRow(indexPath, position, animated);
}

void UITableView::deselectRow(const IndexPath& indexPath, bool animated)
{
    if (m_selected == indexPath)
        m_selected.reset();
    if (auto cell = cellForRow(indexPath))
        cell->setSelected(false, animated);
}

void UITableView::scrollToRow(const IndexPath& indexPath, UITableViewScrollPosition position, bool animated)
{
    layoutIfNeeded();
    updateRows();
    CGRect row = rectForRow(indexPath);
    if (indexPath.section < 0 || indexPath.section >= numberOfSections() || indexPath.row() < 0
        || indexPath.row() >= numberOfRows(indexPath.section))
        return;
    if (position == UITableViewScrollPosition::none) {
        scrollRectToVisible(row, animated);
        return;
    }
    UIEdgeInsets inset = adjustedContentInset();
    CGFloat height = bounds().height();
    CGFloat y = 0;
    switch (position) {
    case UITableViewScrollPosition::top:
        y = row.minY() - inset.top;
        break;
    case UITableViewScrollPosition::middle:
        y = row.midY() - inset.top - (height - inset.top - inset.bottom) / 2;
        break;
    case UITableViewScrollPosition::bottom:
        y = row.maxY() - height + inset.bottom;
        break;
    case UITableViewScrollPosition::none:
        break;
    }
    y = std::max(minimumContentOffset().y, std::min(y, maximumContentOffset().y));
    setContentOffset({ contentOffset().x, y }, animated);
}

// ---- Taps on rows ----

void UITableView::touchesBegan(const UITouchSet& touches, const UIEvent*)
{
    m_tap.begin(m_cells, touches, this, m_allowsSelection && !isDecelerating());
}

void UITableView::touchesMoved(const UITouchSet&, const UIEvent*)
{ }

void UITableView::touchesEnded(const UITouchSet& touches, const UIEvent*)
{
    auto touched = m_tap.end(m_cells, touches, this);
    if (!touched)
        return;
    auto d = delegate();
    if (m_selected && *m_selected != *touched) {
        IndexPath previous = *m_selected;
        deselectRow(previous, false);
        if (d)
            d->didDeselectRow(*this, previous);
    }
    m_selected = touched;
    if (auto cell = cellForRow(*touched))
        cell->setSelected(true);
    if (d)
        d->didSelectRow(*this, *touched);
}

void UITableView::touchesCancelled(const UITouchSet&, const UIEvent*)
{
    m_tap.clear(m_cells);
}
