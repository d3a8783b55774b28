#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/lists/UITableView.h"
#include "tests/platform/ui/GestureTestSupport.h"

#include <gtest/gtest.h>

namespace {

class RowCell : public UITableViewCell {
public:
    static inline int made = 0;
    RowCell(UITableViewCellStyle style, std::string identifier)
        : UITableViewCell(style, std::move(identifier))
    {
        ++made;
    }
    std::string className() const override { return "RowCell"; }
    IndexPath shown { -1, -1 };
};

// A row whose wrapping text decides its height through constraints.
class NoteCell : public UITableViewCell {
public:
    NoteCell()
        : UITableViewCell(UITableViewCellStyle::defaultStyle, "Note")
        , note(std::make_shared<UILabel>())
    {
        note->setNumberOfLines(0);
        contentView()->addSubview(note);
        snp(note).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview().inset(10); });
    }
    std::shared_ptr<UILabel> note;
};

// Sections of rows with optional titles, heights and header views; records what it is told.
class Rows : public UITableViewDataSource, public UITableViewDelegate {
public:
    std::vector<int> counts;
    std::map<int, std::string> headerTitles;
    std::map<int, std::string> footerTitles;
    std::map<int, std::shared_ptr<UIView>> headerViews;
    std::function<std::optional<CGFloat>(const IndexPath&)> height;
    std::vector<std::string> notes;
    std::vector<IndexPath> selected;
    bool deselectOnSelect = false;

    int numberOfSections(UITableView&) override { return static_cast<int>(counts.size()); }
    int numberOfRows(UITableView&, int section) override { return counts[static_cast<std::size_t>(section)]; }
    std::shared_ptr<UITableViewCell> cellForRow(UITableView& table, const IndexPath& p) override
    {
        if (!notes.empty()) {
            auto cell = table.dequeueReusableCell<NoteCell>("Note", p);
            cell->note->setText(notes[static_cast<std::size_t>(p.row())]);
            return cell;
        }
        auto cell = table.dequeueReusableCell<RowCell>("Row", p);
        cell->textLabel()->setText("row " + std::to_string(p.section) + "." + std::to_string(p.row()));
        cell->shown = p;
        return cell;
    }
    std::optional<std::string> titleForHeader(UITableView&, int s) override
    {
        auto it = headerTitles.find(s);
        return it == headerTitles.end() ? std::nullopt : std::optional(it->second);
    }
    std::optional<std::string> titleForFooter(UITableView&, int s) override
    {
        auto it = footerTitles.find(s);
        return it == footerTitles.end() ? std::nullopt : std::optional(it->second);
    }
    std::optional<CGFloat> heightForRow(UITableView&, const IndexPath& p) override
    {
        return height ? height(p) : std::nullopt;
    }
    std::shared_ptr<UIView> viewForHeader(UITableView&, int s) override
    {
        auto it = headerViews.find(s);
        return it == headerViews.end() ? nullptr : it->second;
    }
    void didSelectRow(UITableView& table, const IndexPath& p) override
    {
        selected.push_back(p);
        if (deselectOnSelect)
            table.deselectRow(p, true);
    }
};

class TableViews : public zvtest::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        RowCell::made = 0;
    }

    std::shared_ptr<UITableView> makeTable(CGRect frame, UITableViewStyle style = UITableViewStyle::plain)
    {
        auto table = std::make_shared<UITableView>(frame, style);
        table->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::never);
        table->registerClass<RowCell>("Row");
        table->registerClass<NoteCell>("Note");
        table->setDataSource(rows);
        table->setDelegate(rows);
        window->addSubview(table);
        window->layoutIfNeeded();
        return table;
    }

    std::shared_ptr<Rows> rows = std::make_shared<Rows>();
};

TEST_F(TableViews, SectionsStackHeadersRowsAndFootersAtTheirHeights)
{
    rows->counts = { 2, 3, 1 };
    rows->headerTitles = { { 0, "First" }, { 2, "Third" } };
    rows->footerTitles = { { 2, "End" } };
    auto banner = std::make_shared<UIView>(CGRect { 0, 0, 10, 50 });
    rows->headerViews = { { 1, banner } };
    rows->height = [](const IndexPath& p) { return CGFloat(40 + 10 * p.row()); };
    auto table = std::make_shared<UITableView>(CGRect { 0, 100, 300, 400 });
    table->setTableHeaderView(std::make_shared<UIView>(CGRect { 0, 0, 0, 100 }));
    table->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::never);
    table->registerClass<RowCell>("Row");
    table->setDataSource(rows);
    table->setDelegate(rows);
    window->addSubview(table);
    window->layoutIfNeeded();

    EXPECT_EQ(table->rectForHeader(0), (CGRect { 0, 100, 300, 28 })) << "a title gets the plain title height";
    EXPECT_EQ(table->rectForRow({ 0, 0 }), (CGRect { 0, 128, 300, 40 }));
    EXPECT_EQ(table->rectForRow({ 1, 0 }), (CGRect { 0, 168, 300, 50 }));
    EXPECT_EQ(table->rectForFooter(0).height(), 0);
    EXPECT_EQ(table->rectForHeader(1), (CGRect { 0, 218, 300, 50 })) << "a view keeps its own height";
    EXPECT_EQ(table->rectForRow({ 2, 1 }), (CGRect { 0, 358, 300, 60 }));
    EXPECT_EQ(table->rectForHeader(2), (CGRect { 0, 418, 300, 28 }));
    EXPECT_EQ(table->rectForFooter(2), (CGRect { 0, 486, 300, 28 }));
    EXPECT_EQ(table->contentSize(), (CGSize { 300, 514 }));
    EXPECT_EQ(table->tableHeaderView()->frame(), (CGRect { 0, 0, 300, 100 }));

    EXPECT_EQ(table->indexPathsForVisibleRows(),
        (std::vector<IndexPath> { { 0, 0 }, { 1, 0 }, { 0, 1 }, { 1, 1 }, { 2, 1 } }));
    for (const auto& p : table->indexPathsForVisibleRows())
        EXPECT_EQ(table->cellForRow(p)->frame(), table->rectForRow(p));
    EXPECT_EQ(banner->frame(), table->rectForHeader(1));
    EXPECT_EQ(banner->superview(), table);
    ASSERT_TRUE(table->headerView(0));
    EXPECT_EQ(TouchDriver::findText("First"),
        std::dynamic_pointer_cast<UIView>(table->headerView(0)->subviews().front()));
    EXPECT_FALSE(table->headerView(2)) << "below the bounds";

    table->setContentOffset({ 0, 200 });
    EXPECT_EQ(table->indexPathsForVisibleRows().front(), (IndexPath { 1, 0 }));
    EXPECT_EQ(table->indexPathsForVisibleRows().back(), (IndexPath { 0, 2 }));
    ASSERT_TRUE(table->footerView(2));
    EXPECT_FALSE(table->headerView(0));
    EXPECT_EQ(table->indexPathForRow({ 10, 300 }), (IndexPath { 0, 1 }));
    EXPECT_EQ(table->indexPathForRow({ 10, 250 }), std::nullopt) << "a header is no row";
}

TEST_F(TableViews, GroupedSectionsAreSpacedAndFixedHeightsApply)
{
    rows->counts = { 1, 1 };
    auto table = makeTable({ 0, 100, 300, 400 }, UITableViewStyle::grouped);
    EXPECT_EQ(table->rectForHeader(0).height(), UITableView::defaultGroupedSpacing);
    EXPECT_EQ(table->rectForRow({ 0, 1 }).minY(), 18 + 44 + 18 + 18);
    table->setRowHeight(68);
    table->setSectionHeaderHeight(0);
    table->setSectionFooterHeight(0);
    table->layoutIfNeeded();
    EXPECT_EQ(table->rectForRow({ 0, 1 }), (CGRect { 0, 68, 300, 68 }));
    EXPECT_EQ(table->cellForRow({ 0, 1 })->frame(), (CGRect { 0, 68, 300, 68 }));
}

TEST_F(TableViews, RowsSizeThemselvesWhenTheyShow)
{
    for (int i = 0; i < 30; ++i)
        rows->notes.push_back(std::string(static_cast<std::size_t>(5 + 5 * (i % 5)), 'w') + " end");
    rows->counts = { 30 };
    auto table = std::make_shared<UITableView>(CGRect { 0, 100, 200, 400 });
    table->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::never);
    table->setEstimatedRowHeight(100);
    table->registerClass<NoteCell>("Note");
    table->setDataSource(rows);
    table->setDelegate(rows);
    window->addSubview(table);
    window->layoutIfNeeded();

    auto shown = table->indexPathsForVisibleRows();
    ASSERT_FALSE(shown.empty());
    for (const auto& p : shown) {
        auto cell = std::dynamic_pointer_cast<NoteCell>(table->cellForRow(p));
        CGFloat text = cell->note->sizeThatFits({ 180, 0 }).height;
        EXPECT_NEAR(cell->frame().height(), text + 20, 0.5) << p.row();
        EXPECT_EQ(cell->frame(), table->rectForRow(p));
    }
    EXPECT_GT(table->rectForRow({ 2, 0 }).height(), table->rectForRow({ 0, 0 }).height())
        << "longer text, taller row";
    EXPECT_EQ(table->rectForRow({ 29, 0 }).height(), 100) << "not shown yet: the estimate";

    table->scrollToRow({ 29, 0 }, UITableViewScrollPosition::bottom, false);
    EXPECT_LT(table->rectForRow({ 29, 0 }).height(), 100);
    EXPECT_EQ(table->contentOffset().y, table->maximumContentOffset().y);
    EXPECT_EQ(table->cellForRow({ 29, 0 })->frame().maxY(), table->contentSize().height);

    // Without an estimate rows do not measure themselves.
    auto fixed = makeTable({ 200, 100, 100, 400 });
    fixed->setEstimatedRowHeight(0);
    fixed->layoutIfNeeded();
    EXPECT_EQ(fixed->rectForRow({ 3, 0 }).height(), UITableView::defaultRowHeight);
}

TEST_F(TableViews, TapSelectsARowAndTheDelegateMayDeselectIt)
{
    rows->counts = { 20 };
    rows->deselectOnSelect = true;
    auto table = makeTable({ 0, 100, 300, 400 });
    ASSERT_TRUE(driver.tap({ 150, 100 + 44 * 2 + 20 }));
    EXPECT_EQ(rows->selected, (std::vector<IndexPath> { { 2, 0 } }));
    EXPECT_FALSE(table->indexPathForSelectedRow());
    EXPECT_FALSE(table->cellForRow({ 2, 0 })->isSelected());
    EXPECT_FALSE(table->cellForRow({ 2, 0 })->isHighlighted());

    rows->deselectOnSelect = false;
    ASSERT_TRUE(driver.tap({ 150, 100 + 10 }));
    EXPECT_EQ(table->indexPathForSelectedRow(), (IndexPath { 0, 0 }));
    EXPECT_TRUE(table->cellForRow({ 0, 0 })->isSelected());

    // Dragging over the rows scrolls without selecting.
    ASSERT_TRUE(driver.drag({ 150, 450 }, { 150, 250 }, 0.3));
    EXPECT_EQ(rows->selected.size(), 2u);
    EXPECT_GT(table->contentOffset().y, 0);
}

TEST_F(TableViews, LongListsReuseAFewCells)
{
    rows->counts = { 500 };
    auto table = makeTable({ 0, 100, 300, 440 });
    EXPECT_EQ(table->visibleCells().size(), 10u);
    for (CGFloat y = 0; y < table->maximumContentOffset().y; y += 53) {
        table->setContentOffset({ 0, y });
        ASSERT_LE(table->visibleCells().size(), 11u);
        for (const auto& p : table->indexPathsForVisibleRows()) {
            auto cell = std::dynamic_pointer_cast<RowCell>(table->cellForRow(p));
            ASSERT_EQ(cell->shown, p);
            ASSERT_EQ(cell->textLabel()->text(), "row 0." + std::to_string(p.row()));
        }
    }
    EXPECT_LE(RowCell::made, 13);

    rows->counts = { 3 };
    table->reloadData();
    table->layoutIfNeeded();
    EXPECT_EQ(table->contentOffset().y, 0);
    EXPECT_EQ(table->visibleCells().size(), 3u);
    table->reloadRows({ { 1, 0 } }, UITableViewRowAnimation::none);
    table->layoutIfNeeded();
    EXPECT_EQ(table->visibleCells().size(), 3u);
}

TEST(TableViewCells, StylesPlaceTheStandardParts)
{
    auto cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::value1, "c");
    cell->setFrame({ 0, 0, 300, 44 });
    cell->textLabel()->setText("Cache");
    cell->detailTextLabel()->setText("12.3M");
    cell->layoutIfNeeded();
    EXPECT_EQ(cell->textLabel()->frame().minX(), 15);
    EXPECT_EQ(cell->detailTextLabel()->frame().maxX(), 285);
    EXPECT_LT(cell->textLabel()->frame().maxX(), cell->detailTextLabel()->frame().minX());

    cell->setAccessoryType(UITableViewCellAccessoryType::disclosureIndicator);
    cell->layoutIfNeeded();
    EXPECT_LT(cell->contentView()->frame().width(), 300 - 30) << "the accessory takes its room";

    auto subtitle = std::make_shared<UITableViewCell>(UITableViewCellStyle::subtitle);
    subtitle->setFrame({ 0, 0, 300, 60 });
    subtitle->textLabel()->setText("Title");
    subtitle->detailTextLabel()->setText("Detail");
    subtitle->layoutIfNeeded();
    EXPECT_EQ(subtitle->detailTextLabel()->frame().minY(), subtitle->textLabel()->frame().maxY());
    EXPECT_FALSE(std::make_shared<UITableViewCell>()->detailTextLabel()) << "the default style has no detail";

    // A cell without selection style still selects, but shows nothing for it.
    cell->setSelectionStyle(UITableViewCellSelectionStyle::none);
    cell->setSelected(true);
    EXPECT_TRUE(cell->isSelected());
    cell->prepareForReuse();
    EXPECT_FALSE(cell->isSelected());
}

class TableViewDeathTest : public TableViews { };

TEST_F(TableViewDeathTest, DequeueOfAnotherClassStopsNamingTheClass)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    rows->counts = { 1 };
    auto table = makeTable({ 0, 100, 300, 400 });
    EXPECT_DEATH(table->dequeueReusableCell<NoteCell>("Row", { 0, 0 }),
        "Couldn't find UITableViewCell for NoteCell, make sure the cell is registered with table view");
    EXPECT_EQ(table->dequeueReusableCell("Nothing"), nullptr);
}

}

namespace {

TEST_F(TableViews, AReloadFromACallOutRestartsTheLayoutPass)
{
    rows->counts = { 50 };
    struct Reloader : UITableViewDelegate {
        std::shared_ptr<Rows> rows;
        bool done = false;
        void willDisplayCell(UITableView& table, UITableViewCell&, const IndexPath&) override
        {
            if (done)
                return;
            done = true;
            rows->counts = { 2 };
            table.reloadData();
        }
    };
    auto reloader = std::make_shared<Reloader>();
    reloader->rows = rows;
    auto table = std::make_shared<UITableView>(CGRect { 0, 100, 300, 400 });
    table->registerClass<RowCell>("Row");
    table->setDataSource(rows);
    table->setDelegate(reloader);
    window->addSubview(table);
    window->layoutIfNeeded();
    EXPECT_TRUE(reloader->done);
    ASSERT_EQ(table->indexPathsForVisibleRows(), (std::vector<IndexPath> { { 0, 0 }, { 1, 0 } }));
    for (const auto& p : table->indexPathsForVisibleRows())
        EXPECT_EQ(std::dynamic_pointer_cast<RowCell>(table->cellForRow(p))->shown, p);
    EXPECT_EQ(table->contentSize().height, 88);
}

}
