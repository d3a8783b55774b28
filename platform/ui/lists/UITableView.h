#pragma once

#include "platform/ui/lists/IndexPath.h"
#include "platform/ui/lists/TypeName.h"
#include "platform/ui/lists/UIScrollView.h"
#include "platform/ui/lists/UITableViewCell.h"
#include "platform/ui/lists/detail/CellTapTracker.h"
#include "platform/ui/lists/detail/ListDiagnostics.h"
#include "platform/ui/lists/detail/ReuseQueue.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

class UITableView;

namespace detail {
class SectionIndexView;
}

// Heights set to this are worked out: rows from their cell's content, headers and footers from
// their view or title.
inline constexpr CGFloat UITableViewAutomaticDimension = -1;

// What a table view shows. Held weakly.
class UITableViewDataSource {
public:
    virtual ~UITableViewDataSource() = default;

    virtual int numberOfSections(UITableView&) { return 1; }
    virtual int numberOfRows(UITableView&, int section) = 0;
    // Usually a cell from dequeueReusableCell for the same index path.
    virtual std::shared_ptr<UITableViewCell> cellForRow(UITableView&, const IndexPath&) = 0;
    virtual std::optional<std::string> titleForHeader(UITableView&, int /*section*/) { return std::nullopt; }
    virtual std::optional<std::string> titleForFooter(UITableView&, int /*section*/) { return std::nullopt; }
    // Titles of the section index at the table's right edge (none shows no index); the n-th
    // title leads to the n-th section. Asked after each reload.
    virtual std::vector<std::string> sectionIndexTitles(UITableView&) { return {}; }
};

// What a table view asks about its rows and tells about them (and, as a scroll view, about
// scrolling). Every method is optional; no answer (nullopt) means the table's property. Held
// weakly.
class UITableViewDelegate : public virtual UIScrollViewDelegate {
public:
    virtual std::optional<CGFloat> heightForRow(UITableView&, const IndexPath&) { return std::nullopt; }
    virtual std::optional<CGFloat> heightForHeader(UITableView&, int /*section*/) { return std::nullopt; }
    virtual std::optional<CGFloat> heightForFooter(UITableView&, int /*section*/) { return std::nullopt; }
    // Asked once per section after each reload; the table keeps the view until the next one.
    virtual std::shared_ptr<UIView> viewForHeader(UITableView&, int /*section*/) { return nullptr; }
    virtual std::shared_ptr<UIView> viewForFooter(UITableView&, int /*section*/) { return nullptr; }
    virtual void willDisplayCell(UITableView&, UITableViewCell&, const IndexPath&) { }
    virtual void didEndDisplayingCell(UITableView&, UITableViewCell&, const IndexPath&) { }
    virtual void didSelectRow(UITableView&, const IndexPath&) { }
    virtual void didDeselectRow(UITableView&, const IndexPath&) { }
};

enum class UITableViewStyle { plain, grouped };
enum class UITableViewCellSeparatorStyle { none, singleLine };
enum class UITableViewScrollPosition { none, top, middle, bottom };
// Recorded only: changes apply at once.
enum class UITableViewRowAnimation { fade, right, left, top, bottom, none, middle, automatic };

// A vertical list of rows in sections, each section with an optional header and footer, between
// an optional table header and footer view. Row heights come from the delegate, else rowHeight;
// with rowHeight automatic and a non-zero estimate, rows measure their cell when they show
// (constraints of the content view, else the cell's sizeThatFits) and use the estimate until
// then. As in the collection view, cells exist only for the rows in the bounds and are recycled
// through reuse queues; a tap on a row highlights and selects it and tells the delegate.
class UITableView : public UIScrollView {
public:
    using CellFactory = std::function<std::shared_ptr<UITableViewCell>()>;
    static constexpr CGFloat defaultRowHeight = 44;
    static constexpr CGFloat defaultTitleHeaderHeight = 28;
    static constexpr CGFloat defaultGroupedTitleHeaderHeight = 38;
    static constexpr CGFloat defaultGroupedSpacing = 18;
    static constexpr int maximumLayoutPasses = 8;

    explicit UITableView(const CGRect& frame = {}, UITableViewStyle style = UITableViewStyle::plain);
    ~UITableView() override;

    std::string className() const override { return "UITableView"; }

    UITableViewStyle style() const { return m_style; }

    std::shared_ptr<UITableViewDataSource> dataSource() const { return m_dataSource.lock(); }
    void setDataSource(std::weak_ptr<UITableViewDataSource> dataSource);
    std::shared_ptr<UITableViewDelegate> delegate() const;
    void setDelegate(std::weak_ptr<UITableViewDelegate> delegate);

    // ---- Sizes ----
    CGFloat rowHeight() const { return m_rowHeight; }
    void setRowHeight(CGFloat height);
    CGFloat estimatedRowHeight() const { return m_estimatedRowHeight; }
    void setEstimatedRowHeight(CGFloat height);
    CGFloat sectionHeaderHeight() const { return m_sectionHeaderHeight; }
    void setSectionHeaderHeight(CGFloat height);
    CGFloat sectionFooterHeight() const { return m_sectionFooterHeight; }
    void setSectionFooterHeight(CGFloat height);
    CGFloat estimatedSectionHeaderHeight() const { return m_estimatedSectionHeaderHeight; }
    void setEstimatedSectionHeaderHeight(CGFloat height) { m_estimatedSectionHeaderHeight = height; }
    CGFloat estimatedSectionFooterHeight() const { return m_estimatedSectionFooterHeight; }
    void setEstimatedSectionFooterHeight(CGFloat height) { m_estimatedSectionFooterHeight = height; }
    // Space above each section header that shows; automatic (the default) adds none.
    CGFloat sectionHeaderTopPadding() const { return m_sectionHeaderTopPadding; }
    void setSectionHeaderTopPadding(CGFloat padding);

    // ---- Decoration ----
    UITableViewCellSeparatorStyle separatorStyle() const { return m_separatorStyle; }
    void setSeparatorStyle(UITableViewCellSeparatorStyle style);
    const UIColor& separatorColor() const { return m_separatorColor; }
    void setSeparatorColor(UIColor color);
    UIEdgeInsets separatorInset() const { return m_separatorInset; }
    void setSeparatorInset(UIEdgeInsets inset);
    // The section index: its titles (none: the tint colour), its background and its background
    // while touched (none: nothing).
    const std::optional<UIColor>& sectionIndexColor() const { return m_sectionIndexColor; }
    void setSectionIndexColor(std::optional<UIColor> color);
    const std::optional<UIColor>& sectionIndexBackgroundColor() const
    {
        return m_sectionIndexBackgroundColor;
    }
    void setSectionIndexBackgroundColor(std::optional<UIColor> color);
    const std::optional<UIColor>& sectionIndexTrackingBackgroundColor() const
    {
        return m_sectionIndexTrackingBackgroundColor;
    }
    void setSectionIndexTrackingBackgroundColor(std::optional<UIColor> color);
    // The index view while the data source gives titles, else null.
    std::shared_ptr<UIView> sectionIndexView() const;
    // Above the first section and below the last, at their own height and the table's width.
    const std::shared_ptr<UIView>& tableHeaderView() const { return m_tableHeaderView; }
    void setTableHeaderView(std::shared_ptr<UIView> view);
    const std::shared_ptr<UIView>& tableFooterView() const { return m_tableFooterView; }
    void setTableFooterView(std::shared_ptr<UIView> view);

    // ---- Registration and reuse ----
    void registerClass(CellFactory factory, const std::string& reuseIdentifier);
    // Cells are made with (this table's style, style default, identifier) when the class takes
    // them, else with (style default, identifier), else plainly.
    template<typename Cell> void registerClass(const std::string& reuseIdentifier)
    {
        static_assert(std::is_base_of_v<UITableViewCell, Cell>);
        if constexpr (std::is_constructible_v<Cell, UITableViewStyle, UITableViewCellStyle, std::string>)
            registerClass(
                CellFactory([reuseIdentifier, tableStyle = m_style]() -> std::shared_ptr<UITableViewCell> {
                    return std::make_shared<Cell>(
                        tableStyle, UITableViewCellStyle::defaultStyle, reuseIdentifier);
                }),
                reuseIdentifier);
        else if constexpr (std::is_constructible_v<Cell, UITableViewCellStyle, std::string>)
            registerClass(CellFactory([reuseIdentifier]() -> std::shared_ptr<UITableViewCell> {
                return std::make_shared<Cell>(UITableViewCellStyle::defaultStyle, reuseIdentifier);
            }),
                reuseIdentifier);
        else
            registerClass(
                CellFactory([]() -> std::shared_ptr<UITableViewCell> { return std::make_shared<Cell>(); }),
                reuseIdentifier);
    }
    // An idle cell of the identifier, else a new one of the registered class; null when neither.
    std::shared_ptr<UITableViewCell> dequeueReusableCell(const std::string& reuseIdentifier);
    // The same, sized for the row.
    std::shared_ptr<UITableViewCell> dequeueReusableCell(
        const std::string& reuseIdentifier, const IndexPath& indexPath);
    // Any other class than the one asked for stops the program with a message naming it.
    template<typename Cell>
    std::shared_ptr<Cell> dequeueReusableCell(const std::string& reuseIdentifier, const IndexPath& indexPath)
    {
        auto cell = std::dynamic_pointer_cast<Cell>(dequeueReusableCell(reuseIdentifier, indexPath));
        if (!cell)
            detail::listFatalError("Couldn't find UITableViewCell for " + unqualifiedTypeName<Cell>()
                + ", make sure the cell is registered with table view");
        return cell;
    }

    // ---- Data ----
    void reloadData();
    void reloadRows(const std::vector<IndexPath>& indexPaths, UITableViewRowAnimation animation);
    void reloadSections(const IndexSet& sections, UITableViewRowAnimation animation);
    int numberOfSections();
    int numberOfRows(int section);

    // ---- Geometry and shown rows ----
    CGRect rectForRow(const IndexPath& indexPath);
    CGRect rectForHeader(int section);
    CGRect rectForFooter(int section);
    std::optional<IndexPath> indexPathForRow(CGPoint point);
    // In index path order.
    std::vector<std::shared_ptr<UITableViewCell>> visibleCells() const;
    std::vector<IndexPath> indexPathsForVisibleRows() const;
    std::shared_ptr<UITableViewCell> cellForRow(const IndexPath& indexPath) const;
    std::optional<IndexPath> indexPathForCell(const UITableViewCell& cell) const;
    // The header or footer view shown for the section (the delegate's or a title view).
    std::shared_ptr<UIView> headerView(int section) const;
    std::shared_ptr<UIView> footerView(int section) const;

    // ---- Selection ----
    bool allowsSelection() const { return m_allowsSelection; }
    void setAllowsSelection(bool allows) { m_allowsSelection = allows; }
    std::optional<IndexPath> indexPathForSelectedRow() const { return m_selected; }
    // Without telling the delegate, as on the phone.
    void selectRow(const IndexPath& indexPath, bool animated, UITableViewScrollPosition position);
    void deselectRow(const IndexPath& indexPath, bool animated);

    // ---- Scrolling ----
    void scrollToRow(const IndexPath& indexPath, UITableViewScrollPosition position, bool animated);

    void layoutSubviews() override;

    void touchesBegan(const UITouchSet& touches, const UIEvent* event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent* event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent* event) override;
    void touchesCancelled(const UITouchSet& touches, const UIEvent* event) override;

    std::size_t idleCellCount() const { return m_cellQueue.idleCount(); }

protected:
    // The view of a section title that the data source gives; a subclass may give its own look
    // (its frame's height is the section's when the delegate and the table set none).
    virtual std::shared_ptr<UIView> makeSectionTitleView(const std::string& title, bool header);

    void contentOffsetDidChange() override;
    void boundsSizeDidChange() override;

private:
    struct SectionGeometry {
        CGFloat headerY = 0;
        CGFloat headerHeight = 0;
        std::vector<CGFloat> rowY;
        std::vector<CGFloat> rowHeight;
        CGFloat footerY = 0;
        CGFloat footerHeight = 0;
        CGFloat end = 0;
    };
    enum class Edge { header, footer };

    void ensureCounts();
    void ensureGeometry();
    void computeHeights();
    void computePositions();
    CGFloat heightOfRow(const IndexPath& indexPath, UITableViewDelegate* delegate) const;
    bool rowSizesItself(const IndexPath& indexPath, UITableViewDelegate* delegate) const;
    CGFloat edgeHeight(int section, Edge edge, UITableViewDelegate* delegate);
    std::shared_ptr<UIView> edgeView(int section, Edge edge);
    CGFloat measure(UITableViewCell& cell) const;
    void updateRows();
    void placeRows();
    void placeEdges();
    void insertRowView(const std::shared_ptr<UIView>& view);
    void updateSectionIndex();
    void placeSectionIndex();
    void retireCell(const IndexPath& indexPath, const std::shared_ptr<UITableViewCell>& cell);
    void retireAllCells();
    void invalidateGeometry();

    UITableViewStyle m_style;
    std::weak_ptr<UITableViewDataSource> m_dataSource;
    detail::ReuseQueue<UITableViewCell> m_cellQueue;
    std::map<IndexPath, std::shared_ptr<UITableViewCell>> m_cells;
    // Header and footer views by section: asked once per reload, shown while in the bounds.
    std::map<int, std::shared_ptr<UIView>> m_headerViews;
    std::map<int, std::shared_ptr<UIView>> m_footerViews;
    std::set<int> m_edgeViewsAsked;
    std::vector<int> m_rowCounts;
    std::vector<SectionGeometry> m_geometry;
    std::map<IndexPath, CGFloat> m_measuredHeights;
    std::shared_ptr<UIView> m_tableHeaderView;
    std::shared_ptr<UIView> m_tableFooterView;
    std::shared_ptr<detail::SectionIndexView> m_sectionIndex;
    std::optional<UIColor> m_sectionIndexColor;
    std::optional<UIColor> m_sectionIndexBackgroundColor;
    std::optional<UIColor> m_sectionIndexTrackingBackgroundColor;
    std::optional<IndexPath> m_selected;
    detail::CellTapTracker<UITableViewCell> m_tap;
    UIColor m_separatorColor { 0.78, 0.78, 0.8, 1 };
    UIEdgeInsets m_separatorInset { 0, UITableViewCell::horizontalMargin, 0, 0 };
    UITableViewCellSeparatorStyle m_separatorStyle = UITableViewCellSeparatorStyle::singleLine;
    CGFloat m_rowHeight = UITableViewAutomaticDimension;
    CGFloat m_estimatedRowHeight = UITableViewAutomaticDimension;
    CGFloat m_sectionHeaderHeight = UITableViewAutomaticDimension;
    CGFloat m_sectionFooterHeight = UITableViewAutomaticDimension;
    CGFloat m_estimatedSectionHeaderHeight = UITableViewAutomaticDimension;
    CGFloat m_estimatedSectionFooterHeight = UITableViewAutomaticDimension;
    CGFloat m_sectionHeaderTopPadding = UITableViewAutomaticDimension;
    CGFloat m_contentHeight = 0;
    CGFloat m_geometryWidth = -1;
    // Counts reloads, so that a layout pass notices one made by a call out.
    unsigned m_generation = 0;
    bool m_countsValid = false;
    bool m_heightsValid = false;
    bool m_positionsValid = false;
    bool m_updating = false;
    bool m_updateAgain = false;
    bool m_allowsSelection = true;
};
