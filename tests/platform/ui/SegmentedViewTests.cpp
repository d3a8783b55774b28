#include "platform/ui/Renderer.h"
#include "platform/ui/TextLayout.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/gestures/UIEventDispatcher.h"
#include "platform/ui/segmented/JXSegmentedIndicatorGradientLineView.h"
#include "platform/ui/segmented/JXSegmentedView.h"
#include "tests/platform/ui/GoldenImage.h"
#include "tests/platform/ui/SegmentedTestSupport.h"

#include <gtest/gtest.h>

using Lines = std::vector<std::string>;
using segtest::TabsHost;

namespace {

class SegmentedTabs : public uitest::ControllerTest {
protected:
    void SetUp() override
    {
        uitest::ControllerTest::SetUp();
        UIEventDispatcher::shared().resetForTesting();
    }
    void TearDown() override
    {
        UIEventDispatcher::shared().resetForTesting();
        uitest::ControllerTest::TearDown();
    }

    // A tab screen as the window's root, on screen, with the journal cleared.
    std::shared_ptr<TabsHost> shownHost(
        std::vector<std::string> titles = { "推荐", "电影", "电视剧", "综艺" })
    {
        auto host = std::make_shared<TabsHost>(journal, std::move(titles));
        window->setRootViewController(host);
        drain();
        window->layoutIfNeeded();
        take();
        return host;
    }

    bool tapItem(TabsHost& host, int index)
    {
        window->layoutIfNeeded();
        auto cell = host.segmentedView->cellForItem(index);
        return cell && driver.tapView(*cell);
    }

    // A bar on its own in the window.
    std::shared_ptr<JXSegmentedView> bar(
        std::shared_ptr<JXSegmentedBaseDataSource> dataSource, CGRect frame = { 0, 100, 390, 44 })
    {
        auto view = std::make_shared<JXSegmentedView>(frame);
        window->addSubview(view);
        view->setDataSource(std::move(dataSource));
        view->reloadData();
        window->layoutIfNeeded();
        return view;
    }

    TouchDriver driver;
};

}

TEST_F(SegmentedTabs, TapMovesTheIndicatorAndSwitchesThePageWithAppearanceInOrder)
{
    auto host
        = std::make_shared<TabsHost>(journal, std::vector<std::string> { "推荐", "电影", "电视剧", "综艺" });
    window->setRootViewController(host);
    drain();
    EXPECT_EQ(take(), (Lines { "page0.didLoad", "page0.willAppear", "page0.didAppear" }));
    ASSERT_TRUE(tapItem(*host, 2));
    EXPECT_EQ(take(),
        (Lines { "page0.willDisappear", "page2.didLoad", "page2.willAppear", "page0.didDisappear",
            "page2.didAppear", "tabs.click 2", "tabs.selected 2" }));
    EXPECT_EQ(host->segmentedView->selectedIndex(), 2);

    // The indicator sits at the bottom of the item, as wide as its title.
    CGRect item = host->segmentedView->itemFrame(2);
    CGRect line = host->indicator->frame();
    EXPECT_DOUBLE_EQ(line.midX(), item.midX());
    EXPECT_DOUBLE_EQ(line.maxY(), 44);
    EXPECT_DOUBLE_EQ(line.size.height, 3);
    EXPECT_DOUBLE_EQ(line.size.width, TextLayout::measure("电视剧", UIFont::systemFont(15)).width);

    // Titles follow the selection.
    auto titleColor = [&](int i) {
        auto cell = std::dynamic_pointer_cast<JXSegmentedTitleCell>(host->segmentedView->cellForItem(i));
        return cell ? cell->titleLabel()->textColor() : UIColor::clear();
    };
    EXPECT_EQ(titleColor(2), UIColor::black());
    EXPECT_EQ(titleColor(0), UIColor::gray());

    // Only the pages shown were made; the container shows the third page.
    ASSERT_EQ(host->pages.size(), 3u);
    EXPECT_FALSE(host->pages[1]);
    EXPECT_DOUBLE_EQ(host->listContainer->scrollView()->contentOffset().x, 2 * 390);
    EXPECT_EQ(host->pages[2]->view()->frame(), (CGRect { { 780, 0 }, { 390, 600 } }));
    EXPECT_EQ(host->pages[2]->parent()->parent(), host);
}

TEST_F(SegmentedTabs, CodeSelectionReselectionRefusedTapsAndTheScreensAppearance)
{
    auto host = shownHost();
    host->segmentedView->selectItemAt(1);
    EXPECT_EQ(take(),
        (Lines { "page0.willDisappear", "page1.didLoad", "page1.willAppear", "page0.didDisappear",
            "page1.didAppear", "tabs.selected 1" }));

    // The selected item again: told, but the page stays.
    ASSERT_TRUE(tapItem(*host, 1));
    EXPECT_EQ(take(), (Lines { "tabs.click 1", "tabs.selected 1" }));

    host->refusedIndex = 3;
    ASSERT_TRUE(tapItem(*host, 3));
    EXPECT_TRUE(take().empty());
    EXPECT_EQ(host->segmentedView->selectedIndex(), 1);

    // Out of range: nothing.
    host->segmentedView->selectItemAt(9);
    EXPECT_TRUE(take().empty());

    // The screen's own appearance reaches only the page on show.
    auto cover = std::make_shared<UIViewController>();
    host->present(cover, false);
    drain();
    EXPECT_EQ(take(), (Lines { "page1.willDisappear", "page1.didDisappear" }));
    cover->dismiss(false);
    drain();
    EXPECT_EQ(take(), (Lines { "page1.willAppear", "page1.didAppear" }));
}

TEST_F(SegmentedTabs, SwipeSettlingOnTheNextPageSelectsItsItem)
{
    auto host = shownHost();
    window->layoutIfNeeded();
    ASSERT_TRUE(driver.drag({ 350, 500 }, { 40, 500 }, 0.3));
    advance(UIScrollView::decelerationDuration);
    EXPECT_EQ(take(),
        (Lines { "page1.didLoad", "page0.willDisappear", "page1.willAppear", "page0.didDisappear",
            "page1.didAppear", "tabs.scroll 1", "tabs.selected 1" }));
    EXPECT_EQ(host->segmentedView->selectedIndex(), 1);
    EXPECT_DOUBLE_EQ(host->indicator->frame().midX(), host->segmentedView->itemFrame(1).midX());

    // With scrolling off, only taps change the page.
    host->listContainer->scrollView()->setScrollEnabled(false);
    driver.drag({ 350, 500 }, { 40, 500 }, 0.3);
    advance(UIScrollView::decelerationDuration);
    EXPECT_TRUE(take().empty());
    EXPECT_EQ(host->segmentedView->selectedIndex(), 1);
}

TEST_F(SegmentedTabs, ReloadKeepsAPageThatComesBackAndClampsTheSelection)
{
    auto host = shownHost();
    host->segmentedView->selectItemAt(2);
    take();

    // Same titles: the page on show is the same object, so it neither leaves nor comes.
    host->segmentedView->reloadData();
    EXPECT_TRUE(take().empty());
    EXPECT_EQ(host->segmentedView->selectedIndex(), 2);

    // Fewer tabs: the selection falls back to the first, whose page shows again.
    host->dataSource->titles = { "推荐", "电影" };
    host->segmentedView->reloadData();
    EXPECT_EQ(take(),
        (Lines { "page2.willDisappear", "page2.didDisappear", "page0.willAppear", "page0.didAppear" }));
    EXPECT_EQ(host->segmentedView->selectedIndex(), 0);
    EXPECT_EQ(host->listContainer->currentIndex(), 0);
    EXPECT_EQ(host->segmentedView->itemDataSource().size(), 2u);
    EXPECT_FALSE(host->pages[2]->parent());
    EXPECT_FALSE(host->pages[2]->view()->superview());

    // Items only: the pages are not asked again.
    int asked = host->listsAsked;
    host->dataSource->titles = { "推荐", "电影 3" };
    host->segmentedView->reloadDataWithoutListContainer();
    EXPECT_EQ(host->listsAsked, asked);
    window->layoutIfNeeded();
    auto cell = std::dynamic_pointer_cast<JXSegmentedTitleCell>(host->segmentedView->cellForItem(1));
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->titleLabel()->text(), "电影 3");
}

// A reply that reloads the bar (a badge, a new title) while a finger is on a tab: the same tabs
// keep their cells, so the tap still selects; tabs that went away under the finger take none.
TEST_F(SegmentedTabs, AReloadDuringATapKeepsItWhenTheTabsStay)
{
    auto host = shownHost();
    auto& dispatcher = UIEventDispatcher::shared();
    auto fingerOn = [&](int index) {
        window->layoutIfNeeded();
        auto cell = host->segmentedView->cellForItem(index);
        return cell ? cell->convert(cell->bounds(), nullptr).center() : CGPoint { -1, -1 };
    };

    CGPoint point = fingerOn(2);
    auto touched = host->segmentedView->cellForItem(2);
    ASSERT_TRUE(dispatcher.touchDown(window, point));
    host->dataSource->titles[2] = "电视剧 新";
    host->segmentedView->reloadData();
    advance(TouchDriver::tapDuration);
    dispatcher.touchUp(point);
    drain();
    EXPECT_EQ(host->segmentedView->selectedIndex(), 2);
    EXPECT_EQ(host->listContainer->currentIndex(), 2);
    window->layoutIfNeeded();
    ASSERT_EQ(host->segmentedView->cellForItem(2).get(), touched.get());
    auto cell = std::dynamic_pointer_cast<JXSegmentedTitleCell>(touched);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->titleLabel()->text(), "电视剧 新");
    EXPECT_EQ(cell->titleLabel()->textColor(), UIColor::black());

    // Items rebuilt the way a selection does it: the same.
    point = fingerOn(1);
    ASSERT_TRUE(dispatcher.touchDown(window, point));
    host->segmentedView->reloadDataWithoutListContainer();
    dispatcher.touchUp(point);
    drain();
    EXPECT_EQ(host->segmentedView->selectedIndex(), 1);

    // Fewer tabs under the finger: the cells are new, the finger's tap is gone.
    point = fingerOn(3);
    ASSERT_TRUE(dispatcher.touchDown(window, point));
    host->dataSource->titles = { "推荐", "电影", "电视剧" };
    host->segmentedView->reloadData();
    dispatcher.touchUp(point);
    drain();
    EXPECT_EQ(host->segmentedView->selectedIndex(), 1);
}

TEST_F(SegmentedTabs, ItemsShareTheFreeWidthAndWideBarsFollowTheSelection)
{
    auto source = std::make_shared<JXSegmentedTitleDataSource>();
    source->titles = { "A", "B" };
    source->itemWidth = 50;
    auto view = bar(source);
    // 290 points left over, shared by the two edges and the gap between.
    CGFloat share = (390.0 - 100) / 3;
    EXPECT_NEAR(view->itemFrame(0).origin.x, share, 1e-9);
    EXPECT_NEAR(view->itemFrame(1).origin.x, 2 * share + 50, 1e-9);
    ASSERT_TRUE(view->cellForItem(1));
    EXPECT_NEAR(view->cellForItem(1)->frame().origin.x, 2 * share + 50, 1e-6);

    source->isItemSpacingAverageEnabled = false;
    view->reloadData();
    EXPECT_DOUBLE_EQ(view->itemFrame(0).origin.x, 20);
    EXPECT_DOUBLE_EQ(view->itemFrame(1).origin.x, 90);

    // Ten items of 80 do not fit: the bar scrolls to keep the selection in view.
    source->titles = std::vector<std::string>(10, "X");
    source->itemWidth = 80;
    view->reloadData();
    view->selectItemAt(9);
    CGFloat contentWidth = 20 + 10 * 80 + 9 * 20 + 20;
    EXPECT_DOUBLE_EQ(view->collectionView()->contentOffset().x, contentWidth - 390);
    view->selectItemAt(4);
    EXPECT_DOUBLE_EQ(view->collectionView()->contentOffset().x, view->itemFrame(4).midX() - 195);
}

TEST_F(SegmentedTabs, ZoomedTitlesAndIndicatorSettings)
{
    auto source = std::make_shared<JXSegmentedTitleDataSource>();
    source->titles = { "推荐", "动漫" };
    source->titleNormalFont = UIFont::systemFont(16, UIFont::Weight::medium);
    source->titleSelectedFont = UIFont::systemFont(24, UIFont::Weight::medium);
    source->isTitleZoomEnabled = true;
    source->titleSelectedZoomScale = 1.5;
    auto view = bar(source, { 0, 100, 390, 54 });
    auto line = std::make_shared<JXSegmentedIndicatorLineView>();
    line->indicatorWidth = 10;
    line->indicatorHeight = 4;
    line->verticalOffset = 2;
    view->setIndicators({ line });

    auto cell = std::dynamic_pointer_cast<JXSegmentedTitleCell>(view->cellForItem(0));
    ASSERT_TRUE(cell);
    EXPECT_DOUBLE_EQ(cell->titleLabel()->font().pointSize(), 24);
    CGFloat zoomed = TextLayout::measure("推荐", UIFont::systemFont(24, UIFont::Weight::medium)).width;
    EXPECT_GE(view->itemFrame(0).size.width, zoomed);
    EXPECT_LE(cell->titleLabel()->frame().size.width, cell->bounds().size.width);

    EXPECT_EQ(line->frame(), (CGRect { { view->itemFrame(0).midX() - 5, 54 - 4 - 2 }, { 10, 4 } }));
    EXPECT_DOUBLE_EQ(line->layer()->cornerRadius(), 2);
    line->indicatorPosition = JXSegmentedIndicatorPosition::top;
    line->indicatorWidth = JXSegmentedViewAutomaticDimension;
    line->indicatorWidthIncrement = 20;
    view->selectItemAt(1);
    EXPECT_DOUBLE_EQ(line->frame().origin.y, 2);
    EXPECT_DOUBLE_EQ(line->frame().size.width, zoomed + 20);
    auto normal = std::dynamic_pointer_cast<JXSegmentedTitleCell>(view->cellForItem(0));
    EXPECT_DOUBLE_EQ(normal->titleLabel()->font().pointSize(), 16);
}

TEST_F(SegmentedTabs, GradientLineFollowsTheContentWidthWithItsIncrement)
{
    auto source = std::make_shared<JXSegmentedTitleDataSource>();
    source->titles = { "热播榜", "好评榜" };
    source->titleNormalFont = UIFont::systemFont(16);
    source->titleSelectedFont = UIFont::systemFont(24, UIFont::Weight::medium);
    source->isItemSpacingAverageEnabled = false;
    source->itemSpacing = 26;
    auto view = bar(source, { 0, 100, 390, 54 });
    auto line = std::make_shared<JXSegmentedIndicatorGradientLineView>();
    UIColor cyan(1 / 255.0, 1, 247 / 255.0, 1);
    line->colors = { cyan, cyan.withAlphaComponent(0) };
    line->indicatorWidthIncrement = 20;
    line->indicatorHeight = 8;
    line->indicatorCornerRadius = 0;
    line->verticalOffset = 10;
    view->setIndicators({ line });

    CGFloat selectedWidth
        = TextLayout::measure("热播榜", UIFont::systemFont(24, UIFont::Weight::medium)).width;
    EXPECT_DOUBLE_EQ(view->itemFrame(0).origin.x, 26);
    EXPECT_DOUBLE_EQ(view->itemFrame(0).size.width, selectedWidth);
    EXPECT_EQ(line->frame(),
        (CGRect { { view->itemFrame(0).midX() - (selectedWidth + 20) / 2, 54 - 8 - 10 },
            { selectedWidth + 20, 8 } }));
    ASSERT_TRUE(line->gradientLayer());
    EXPECT_EQ(line->gradientLayer()->colors().size(), 2u);
    EXPECT_EQ(line->gradientLayer()->startPoint(), (CGPoint { 0, 0.5 }));
    EXPECT_DOUBLE_EQ(line->gradientLayer()->cornerRadius(), 0);
}

namespace {

// A page that is a plain view, recording what the container tells it.
class ViewPage : public JXSegmentedListContainerViewListDelegate {
public:
    ViewPage(std::string name, uitest::Journal journal)
        : m_name(std::move(name))
        , m_journal(std::move(journal))
    { }
    std::shared_ptr<UIView> listView() override { return m_view; }
    void listWillAppear() override { m_journal->push_back(m_name + ".willAppear"); }
    void listDidAppear() override { m_journal->push_back(m_name + ".didAppear"); }
    void listWillDisappear() override { m_journal->push_back(m_name + ".willDisappear"); }
    void listDidDisappear() override { m_journal->push_back(m_name + ".didDisappear"); }

private:
    std::string m_name;
    uitest::Journal m_journal;
    std::shared_ptr<UIView> m_view = std::make_shared<UIView>();
};

class ViewPages : public JXSegmentedListContainerViewDataSource {
public:
    explicit ViewPages(uitest::Journal journal)
        : m_journal(std::move(journal))
    { }
    int numberOfLists(JXSegmentedListContainerView&) override { return 3; }
    std::shared_ptr<JXSegmentedListContainerViewListDelegate> initListAt(
        JXSegmentedListContainerView&, int index) override
    {
        return std::make_shared<ViewPage>("view" + std::to_string(index), m_journal);
    }

private:
    uitest::Journal m_journal;
};

}
