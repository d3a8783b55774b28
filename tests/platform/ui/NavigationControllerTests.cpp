#include "platform/ui/UINavigationController.h"
#include "platform/ui/UITabBarController.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "tests/platform/ui/ControllerTestSupport.h"

#include <gtest/gtest.h>

using uitest::recorder;
using Lines = std::vector<std::string>;

namespace {

class NavigationController : public uitest::ControllerTest { };

// Counts pushes and marks every controller after the first to hide the bottom bar, as the
// app's own navigation controller does.
class CountingNavigation : public UINavigationController {
public:
    using UINavigationController::UINavigationController;
    int pushes = 0;
    void pushViewController(std::shared_ptr<UIViewController> controller, bool animated,
        std::function<void()> completion = {}) override
    {
        ++pushes;
        controller->setHidesBottomBarWhenPushed(!viewControllers().empty());
        UINavigationController::pushViewController(std::move(controller), animated, std::move(completion));
    }
};

class DelegateLog : public UINavigationControllerDelegate {
public:
    explicit DelegateLog(uitest::Journal journal)
        : m_journal(std::move(journal))
    { }
    void willShow(UINavigationController&, UIViewController& c, bool) override
    {
        m_journal->push_back("nav.willShow " + name(c));
    }
    void didShow(UINavigationController&, UIViewController& c, bool) override
    {
        m_journal->push_back("nav.didShow " + name(c));
    }

private:
    static std::string name(UIViewController& c)
    {
        auto* recording = dynamic_cast<uitest::Recording<>*>(&c);
        return recording ? recording->name() : c.className();
    }

    uitest::Journal m_journal;
};

}

TEST_F(NavigationController, PushAndPopAnimatedFollowTheClock)
{
    auto root = recorder("R", journal);
    auto nav = uitest::recorder<UINavigationController>("N", journal, root);
    auto delegate = std::make_shared<DelegateLog>(journal);
    nav->setDelegate(delegate);
    window->setRootViewController(nav);
    EXPECT_EQ(take(), Lines({ "N.didLoad", "nav.willShow R", "R.didLoad", "N.willAppear", "R.willAppear" }));
    drain();
    EXPECT_EQ(take(), Lines({ "N.didAppear", "R.didAppear", "nav.didShow R" }));

    auto b = recorder("B", journal);
    bool pushed = false;
    nav->pushViewController(b, true, [&] { pushed = true; });
    EXPECT_EQ(take(), Lines({ "nav.willShow B", "B.didLoad", "R.willDisappear+", "B.willAppear+" }));
    EXPECT_EQ(b->navigationController(), nav);
    EXPECT_EQ(nav->topViewController(), b);
    EXPECT_EQ(b->view()->superview(), nav->view());
    EXPECT_EQ(root->view()->superview(), nav->view());
    advance(0.25);
    EXPECT_FALSE(pushed);
    advance(0.1);
    EXPECT_EQ(take(), Lines({ "R.didDisappear+", "B.didAppear+", "nav.didShow B" }));
    EXPECT_TRUE(pushed);
    EXPECT_EQ(root->view()->superview(), nullptr);

    // The popped controller still finds its navigation controller while it leaves.
    std::shared_ptr<UINavigationController> seenWhileLeaving;
    struct Watcher : UIViewController {
        std::shared_ptr<UINavigationController>* seen;
        void viewWillDisappear(bool) override { *seen = navigationController(); }
    };
    auto c = std::make_shared<Watcher>();
    c->seen = &seenWhileLeaving;
    nav->pushViewController(c, false);
    drain();
    take();
    bool popped = false;
    EXPECT_EQ(nav->popViewController(true, [&] { popped = true; }), c);
    EXPECT_EQ(seenWhileLeaving, nav);
    EXPECT_EQ(nav->topViewController(), b);
    EXPECT_EQ(take(), Lines({ "nav.willShow B", "B.willAppear+" }));
    advance(0.35);
    EXPECT_EQ(take(), Lines({ "B.didAppear+", "nav.didShow B" }));
    EXPECT_TRUE(popped);
    EXPECT_EQ(c->parent(), nullptr);
    EXPECT_EQ(c->view()->superview(), nullptr);

    EXPECT_EQ(nav->popViewController(false), b);
    drain();
    EXPECT_EQ(nav->popViewController(false), nullptr);
    EXPECT_EQ(nav->viewControllers().size(), 1u);
}

TEST_F(NavigationController, PopToRootReplacingTheStackAndRefusedPushes)
{
    auto root = recorder("R", journal);
    auto nav = std::make_shared<UINavigationController>(root);
    window->setRootViewController(nav);
    auto b = recorder("B", journal);
    auto c = recorder("C", journal);
    nav->pushViewController(b, false);
    nav->pushViewController(c, false);
    drain();
    take();
    // Only the top was on screen; the middle one gets no calls.
    auto popped = nav->popToRootViewController(false);
    ASSERT_EQ(popped.size(), 2u);
    EXPECT_EQ(popped[0], b);
    EXPECT_EQ(popped[1], c);
    drain();
    EXPECT_EQ(take(), Lines({ "C.willDisappear", "R.willAppear", "C.didDisappear", "R.didAppear" }));
    EXPECT_TRUE(nav->popToRootViewController(false).empty());

    auto d = recorder("D", journal);
    nav->setViewControllers({ d, b, d, nullptr }, false);
    drain();
    EXPECT_EQ(nav->viewControllers(), (std::vector<std::shared_ptr<UIViewController>> { d, b }));
    EXPECT_EQ(root->parent(), nullptr);
    EXPECT_EQ(take(), Lines({ "R.willDisappear", "B.willAppear", "R.didDisappear", "B.didAppear" }));
    EXPECT_EQ(nav->popToViewController(d, false).size(), 1u);

    // Pushes of controllers shown elsewhere are refused: already in the stack, presented, in
    // another stack, or the navigation controller itself.
    nav->pushViewController(d, false);
    auto presented = recorder("P", journal);
    nav->present(presented, false);
    drain();
    nav->pushViewController(presented, false);
    EXPECT_EQ(presented->parent(), nullptr);
    presented->dismiss(false);
    drain();
    auto other = std::make_shared<UINavigationController>(recorder("O", journal));
    nav->pushViewController(other->topViewController(), false);
    nav->pushViewController(nav, false);
    EXPECT_EQ(nav->viewControllers().size(), 1u);
}

TEST_F(NavigationController, BarShowsTitleBackButtonAndItems)
{
    auto root = recorder("R", journal);
    root->setTitle("首页");
    auto nav = std::make_shared<UINavigationController>(root);
    window->setRootViewController(nav);
    drain();
    auto& bar = nav->navigationBar();
    ASSERT_TRUE(bar.titleLabel());
    EXPECT_EQ(bar.titleLabel()->text(), "首页");
    EXPECT_EQ(bar.backButton(), nullptr);
    // Under the status bar, the background reaching up behind it.
    EXPECT_EQ(bar.frame(), CGRect(0, 47, 390, 44));

    int edits = 0;
    root->navigationItem().setRightBarButtonItem(
        UIBarButtonItem::withTitle("编辑", UIBarButtonItemStyle::plain, [&](UIBarButtonItem&) { ++edits; }));
    ASSERT_EQ(bar.rightItemViews().size(), 1u);
    auto editButton = std::dynamic_pointer_cast<UINavigationBarButton>(bar.rightItemViews()[0]);
    ASSERT_TRUE(editButton);
    EXPECT_EQ(editButton->title(), "编辑");
    editButton->touchesBegan({}, nullptr);
    editButton->touchesEnded({}, nullptr);
    EXPECT_EQ(edits, 1);
    root->navigationItem().rightBarButtonItem()->setEnabled(false);
    EXPECT_FALSE(std::dynamic_pointer_cast<UINavigationBarButton>(bar.rightItemViews()[0])->performTap());

    auto detail = recorder("D", journal);
    detail->setTitle("详情");
    nav->pushViewController(detail, false);
    drain();
    EXPECT_EQ(bar.titleLabel()->text(), "详情");
    ASSERT_TRUE(bar.backButton());
    EXPECT_EQ(bar.backButton()->title(), "首页");
    root->navigationItem().setBackButtonTitle("");
    EXPECT_EQ(bar.backButton()->title(), "");
    // The title follows changes while shown.
    detail->setTitle("详情页");
    EXPECT_EQ(bar.titleLabel()->text(), "详情页");

    // A custom view as the title and a custom left item that replaces the back button.
    auto titleView = UIView::create(CGRect { 0, 0, 200, 30 });
    detail->navigationItem().setTitleView(titleView);
    EXPECT_EQ(bar.titleLabel(), nullptr);
    EXPECT_EQ(titleView->superview().get(), &bar);
    auto close = UIView::create(CGRect { 0, 0, 24, 24 });
    detail->navigationItem().setLeftBarButtonItem(UIBarButtonItem::withCustomView(close));
    EXPECT_EQ(bar.backButton(), nullptr);
    bar.layoutIfNeeded();
    EXPECT_EQ(close->frame(), CGRect(16, 10, 24, 24));
    EXPECT_EQ(titleView->frame(), CGRect(95, 7, 200, 30));

    detail->navigationItem().setLeftBarButtonItem(nullptr);
    ASSERT_TRUE(bar.backButton());
    EXPECT_TRUE(bar.backButton()->performTap());
    EXPECT_EQ(nav->topViewController(), root);
}

TEST_F(NavigationController, ContentRunsUnderATranslucentBarAndStartsBelowAnOpaqueOne)
{
    auto root = recorder("R", journal);
    auto nav = std::make_shared<UINavigationController>(root);
    window->setRootViewController(nav);
    drain();
    nav->view()->layoutIfNeeded();
    EXPECT_EQ(root->view()->frame(), CGRect(0, 0, 390, 844));
    EXPECT_EQ(root->view()->safeAreaInsets().top, 91);

    nav->navigationBar().setTranslucent(false);
    nav->view()->setNeedsLayout();
    nav->view()->layoutIfNeeded();
    EXPECT_EQ(root->view()->frame(), CGRect(0, 91, 390, 753));
    EXPECT_EQ(root->view()->safeAreaInsets().top, 0);

    root->setExtendedLayoutIncludesOpaqueBars(true);
    nav->view()->setNeedsLayout();
    nav->view()->layoutIfNeeded();
    EXPECT_EQ(root->view()->frame().minY(), 0);
    root->setEdgesForExtendedLayout(UIRectEdgeNone);
    nav->navigationBar().setTranslucent(true);
    nav->view()->setNeedsLayout();
    nav->view()->layoutIfNeeded();
    EXPECT_EQ(root->view()->frame().minY(), 91);

    nav->setNavigationBarHidden(true);
    EXPECT_TRUE(nav->navigationBar().isHidden());
    EXPECT_EQ(root->view()->frame(), CGRect(0, 0, 390, 844));
    EXPECT_EQ(root->view()->safeAreaInsets().top, 47);
}

TEST_F(NavigationController, InteractivePopGestureBeginsOnlyOverAStackOfTwo)
{
    auto root = recorder("R", journal);
    auto nav = std::make_shared<UINavigationController>(root);
    window->setRootViewController(nav);
    drain();
    auto& pop = *nav->interactivePopGestureRecognizer();
    EXPECT_EQ(pop.view(), nav->view());
    ASSERT_TRUE(pop.shouldBegin);
    EXPECT_FALSE(pop.shouldBegin(pop));

    auto b = recorder("B", journal);
    nav->pushViewController(b, true);
    // Not while a transition runs.
    EXPECT_FALSE(pop.shouldBegin(pop));
    advance(0.35);
    EXPECT_TRUE(pop.shouldBegin(pop));

    // Ending the swipe pops, animated.
    take();
    pop.setState(UIGestureRecognizerState::began);
    EXPECT_EQ(nav->topViewController(), b);
    pop.setState(UIGestureRecognizerState::ended);
    EXPECT_EQ(nav->topViewController(), root);
    EXPECT_EQ(take(), Lines({ "B.willDisappear+", "R.willAppear+" }));
}

TEST_F(NavigationController, TabBarShowsTheSelectedControllerAndHidesForPushedScreens)
{
    auto first = recorder("F", journal);
    auto home = std::make_shared<UINavigationController>(first);
    auto mine = recorder("M", journal);
    mine->setTitle("我的");
    auto tabs = uitest::recorder<UITabBarController>("T", journal);
    tabs->setViewControllers({ home, mine });
    window->setRootViewController(tabs);
    drain();
    EXPECT_EQ(take(),
        Lines({ "T.didLoad", "F.didLoad", "T.willAppear", "F.willAppear", "T.didAppear", "F.didAppear" }));
    EXPECT_EQ(tabs->selectedViewController(), home);
    EXPECT_EQ(first->tabBarController(), tabs);
    EXPECT_EQ(mine->tabBarController(), tabs);

    tabs->setSelectedIndex(1);
    drain();
    EXPECT_EQ(
        take(), Lines({ "M.didLoad", "F.willDisappear", "M.willAppear", "F.didDisappear", "M.didAppear" }));
    EXPECT_EQ(mine->view()->superview(), tabs->view());
    EXPECT_EQ(home->view()->superview(), nullptr);
    tabs->setSelectedIndex(5);
    EXPECT_EQ(tabs->selectedIndex(), 1u);

    // A tap on the first tab's button.
    ASSERT_EQ(tabs->tabBar().buttons().size(), 2u);
    EXPECT_EQ(tabs->tabBar().buttons()[1]->title(), "我的");
    tabs->tabBar().buttons()[0]->performTap();
    drain();
    EXPECT_EQ(tabs->selectedIndex(), 0u);
    EXPECT_FALSE(tabs->isTabBarHidden());
    auto pushed = recorder("P", journal);
    pushed->setHidesBottomBarWhenPushed(true);
    home->pushViewController(pushed, false);
    EXPECT_TRUE(tabs->isTabBarHidden());
    EXPECT_TRUE(tabs->tabBar().isHidden());
    home->popViewController(false);
    EXPECT_FALSE(tabs->tabBar().isHidden());
}
