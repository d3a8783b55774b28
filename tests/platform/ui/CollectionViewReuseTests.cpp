#include "platform/ui/Renderer.h"
#include "platform/ui/controls/UIButton.h"
#include "tests/platform/ui/CollectionViewTestSupport.h"
#include "tests/platform/ui/GestureTestSupport.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

using listtest::GridSource;
using listtest::makeGrid;
using listtest::NumberCell;

class CollectionViews : public zvtest::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        NumberCell::made = 0;
        NumberCell::reused = 0;
    }

    // A 200 x 300 grid at (0, 100) of the window: four 50-point squares a row, no gaps.
    std::shared_ptr<UICollectionView> makeSquares(int count)
    {
        source->counts = { count };
        auto layout = std::make_shared<UICollectionViewFlowLayout>();
        layout->setMinimumLineSpacing(0);
        layout->setMinimumInteritemSpacing(0);
        auto view = makeGrid(source, { 0, 100, 200, 300 }, layout);
        window->addSubview(view);
        window->layoutIfNeeded();
        return view;
    }

    // Every shown cell shows its own item and sits where the layout puts it.
    void expectConsistent(UICollectionView& view)
    {
        for (const auto& p : view.indexPathsForVisibleItems()) {
            auto cell = std::dynamic_pointer_cast<NumberCell>(view.cellForItem(p));
            ASSERT_TRUE(cell);
            EXPECT_EQ(cell->shown, p);
            EXPECT_EQ(cell->label->text(), std::to_string(p.item));
            EXPECT_EQ(cell->frame(), view.layoutAttributesForItem(p)->frame);
            EXPECT_EQ(cell->superview().get(), &view);
            EXPECT_TRUE(cell->frame().intersects(view.bounds()));
        }
    }

    std::shared_ptr<GridSource> source = std::make_shared<GridSource>();
};

TEST_F(CollectionViews, ScrollingALongGridKeepsTheLiveCellsBoundedAndReusesThem)
{
    auto view = makeSquares(1000);
    ASSERT_EQ(view->contentSize(), (CGSize { 200, 250 * 50 }));
    EXPECT_EQ(view->visibleCells().size(), 24u) << "six rows of four in 300 points";
    EXPECT_EQ(NumberCell::reused, 0);

    // Through the whole list in uneven steps: at most seven rows are ever on screen.
    for (CGFloat y = 0; y <= view->maximumContentOffset().y; y += 37) {
        view->setContentOffset({ 0, y });
        ASSERT_LE(view->visibleCells().size(), 28u);
        expectConsistent(*view);
    }
    EXPECT_LE(NumberCell::made, 32);
    EXPECT_GT(NumberCell::reused, 900)
        << "cells leaving the top come back at the bottom after prepareForReuse";
    EXPECT_LE(view->idleViewCount(), 8u);
    // Every will-display has its end-displaying, but for the cells still shown.
    int shown = 0;
    for (const auto& line : source->log)
        shown += line.rfind("display", 0) == 0 ? 1 : line.rfind("end", 0) == 0 ? -1 : 0;
    EXPECT_EQ(shown, static_cast<int>(view->visibleCells().size()));
    EXPECT_EQ(source->log.front(), "display [0, 0]");

    // Dragged by the finger back up, the same holds.
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(driver.drag({ 100, 150 }, { 100, 380 }, 0.3));
        advance(1);
        expectConsistent(*view);
    }
    EXPECT_LE(NumberCell::made, 32);
    EXPECT_LT(view->contentOffset().y, view->maximumContentOffset().y - 600);
}

TEST_F(CollectionViews, TapSelectsTheCellUnderTheFingerButADragDoesNot)
{
    auto view = makeSquares(40);
    // Item 5 is the second of the second row: (50...100, 50...100) in the view.
    ASSERT_TRUE(driver.tap({ 75, 100 + 75 }));
    EXPECT_EQ(source->selected, (std::vector<IndexPath> { { 5, 0 } }));
    EXPECT_TRUE(view->cellForItem({ 5, 0 })->isSelected());
    EXPECT_FALSE(view->cellForItem({ 5, 0 })->isHighlighted());

    source->log.clear();
    ASSERT_TRUE(driver.tap({ 125, 100 + 75 }));
    EXPECT_EQ(source->log, (std::vector<std::string> { "deselect [0, 5]", "select [0, 6]" }));
    EXPECT_FALSE(view->cellForItem({ 5, 0 })->isSelected());
    EXPECT_EQ(view->indexPathsForSelectedItems(), (std::vector<IndexPath> { { 6, 0 } }));

    // A drag that starts on a cell scrolls and selects nothing.
    ASSERT_TRUE(driver.drag({ 25, 380 }, { 25, 200 }, 0.3));
    EXPECT_EQ(source->selected.size(), 2u);
    EXPECT_GT(view->contentOffset().y, 0);
    for (auto& cell : view->visibleCells())
        EXPECT_FALSE(cell->isHighlighted());
    advance(1);

    // A control inside a cell keeps its tap to itself.
    view->setContentOffset({ 0, 0 });
    int pressed = 0;
    auto button = std::make_shared<UIButton>();
    button->setFrame({ 0, 0, 50, 50 });
    button->addAction(UIControlEventTouchUpInside, [&](UIControl&) { ++pressed; });
    view->cellForItem({ 0, 0 })->contentView()->addSubview(button);
    ASSERT_TRUE(driver.tap({ 25, 125 }));
    EXPECT_EQ(pressed, 1);
    EXPECT_EQ(source->selected.size(), 2u);

    view->setAllowsSelection(false);
    ASSERT_TRUE(driver.tap({ 175, 125 }));
    EXPECT_EQ(source->selected.size(), 2u);
}

TEST_F(CollectionViews, ReloadsAskAgainAndPullTheOffsetBack)
{
    auto view = makeSquares(400);
    view->setContentOffset({ 0, 4000 });
    ASSERT_TRUE(driver.tap({ 25, 125 }));
    ASSERT_EQ(view->indexPathsForSelectedItems().size(), 1u);

    source->counts = { 20 };
    view->reloadData();
    view->layoutIfNeeded();
    EXPECT_EQ(view->contentOffset().y, 0) << "the shorter content cannot stay scrolled that far";
    EXPECT_EQ(view->visibleCells().size(), 20u);
    EXPECT_TRUE(view->indexPathsForSelectedItems().empty());
    expectConsistent(*view);

    int before = source->cellRequests;
    auto old = view->cellForItem({ 3, 0 });
    view->reloadItems({ { 3, 0 } });
    view->layoutIfNeeded();
    EXPECT_EQ(source->cellRequests, before + 1) << "only the reloaded item is asked for";
    EXPECT_EQ(view->cellForItem({ 3, 0 }), old) << "its old cell came back from the queue";

    source->counts = { 20, 8 };
    view->reloadSections({ 1 });
    view->layoutIfNeeded();
    EXPECT_EQ(view->numberOfSections(), 2);
    EXPECT_EQ(view->numberOfItems(1), 8);
}

class CollectionViewDeathTest : public CollectionViews { };

TEST_F(CollectionViewDeathTest, DequeueOfAnotherClassStopsNamingTheClass)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto view = makeSquares(4);
    EXPECT_DEATH(view->dequeueReusableCell<listtest::OtherCell>("NumberCell", { 0, 0 }),
        "Couldn't find UICollectionViewCell for OtherCell, make sure the cell is registered with collection "
        "view");
    EXPECT_DEATH(view->dequeueReusableCell<NumberCell>("Unregistered", { 0, 0 }),
        "Couldn't find UICollectionViewCell for NumberCell");
    EXPECT_DEATH(view->dequeueReusableSupplementaryView<listtest::NumberCell>(
                     UICollectionElementKindSectionFooter, "Header", { 0, 0 }),
        "Couldn't find UICollectionReusableView for NumberCell, make sure the view is registered with "
        "collection view");
    // The untyped form answers nothing instead.
    EXPECT_EQ(view->dequeueReusableCell("Unregistered", { 0, 0 }), nullptr);
}

}

namespace {

// Changes its data and reloads the first time a cell shows, as a screen that learns of new
// data while the list is being filled.
class ReloadingSource : public GridSource {
public:
    bool reloaded = false;
    void willDisplayCell(UICollectionView& view, UICollectionViewCell& cell, const IndexPath& p) override
    {
        GridSource::willDisplayCell(view, cell, p);
        if (reloaded)
            return;
        reloaded = true;
        counts = { 3 };
        view.reloadData();
    }
};

}
