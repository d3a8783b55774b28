#include "platform/ui/UINavigationController.h"
#include "platform/ui/UIViewController.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/detail/ControllerHierarchy.h"
#include "tests/platform/ui/ControllerTestSupport.h"

#include <gtest/gtest.h>

using uitest::recorder;
using Lines = std::vector<std::string>;

namespace {

class ControllerLifecycle : public uitest::ControllerTest {
protected:
    // A root controller that has appeared, with the journal cleared.
    std::shared_ptr<uitest::Recording<>> appearedRoot(const std::string& name = "A")
    {
        auto root = recorder(name, journal);
        window->setRootViewController(root);
        drain();
        take();
        return root;
    }
};

class CustomView : public UIViewController {
public:
    int loads = 0;
    int layouts = 0;
    std::vector<std::string> order;
    void loadView() override
    {
        ++loads;
        auto view = UIView::create(CGRect { 0, 0, 10, 10 });
        view->setTag(7);
        setView(view);
    }
    void viewWillLayoutSubviews() override { order.push_back("will"); }
    void viewDidLayoutSubviews() override { order.push_back("did"); }
};

class LayoutCounting : public UIViewController {
public:
    std::vector<std::string> order;
    void viewWillLayoutSubviews() override { order.push_back("will"); }
    void viewDidLayoutSubviews() override { order.push_back("did"); }
};

}

TEST_F(ControllerLifecycle, WindowRootAppearsAndReplacingItTakesTheOldOneAway)
{
    auto a = recorder("A", journal);
    window->setRootViewController(a);
    EXPECT_EQ(take(), Lines({ "A.didLoad", "A.willAppear" }));
    EXPECT_TRUE(inWindow(*a));
    EXPECT_EQ(a->view()->frame(), window->bounds());
    EXPECT_EQ(a->nextResponder(), window);
    drain();
    EXPECT_EQ(take(), Lines({ "A.didAppear" }));

    // The old root is presenting (the launch screen's in-app browser): both go.
    auto browser = recorder("S", journal);
    a->present(browser, false);
    drain();
    take();
    auto b = recorder("B", journal);
    window->setRootViewController(b);
    EXPECT_EQ(take(), Lines({ "B.didLoad", "S.willDisappear", "B.willAppear" }));
    EXPECT_FALSE(inWindow(*a));
    EXPECT_FALSE(inWindow(*browser));
    EXPECT_EQ(a->presentedViewController(), nullptr);
    EXPECT_EQ(browser->presentingViewController(), nullptr);
    drain();
    EXPECT_EQ(take(), Lines({ "S.didDisappear", "B.didAppear" }));
    ASSERT_EQ(window->subviews().size(), 1u);
    EXPECT_EQ(window->subviews().front(), b->view());
}

TEST_F(ControllerLifecycle, PresentAndDismissAnimatedFollowTheClock)
{
    auto a = appearedRoot();
    auto b = recorder("B", journal);
    int presented = 0;
    ASSERT_TRUE(a->present(b, true, [&] { ++presented; }));
    EXPECT_EQ(take(), Lines({ "B.didLoad", "A.willDisappear+", "B.willAppear+" }));
    EXPECT_EQ(a->presentedViewController(), b);
    EXPECT_EQ(b->presentingViewController(), a);
    // During the animation both views are on screen, the presented one above.
    EXPECT_TRUE(inWindow(*a));
    EXPECT_EQ(window->subviews().back(), b->view());
    EXPECT_EQ(b->view()->frame(), window->bounds());
    advance(0.25);
    EXPECT_TRUE(take().empty());
    EXPECT_EQ(presented, 0);
    advance(0.1);
    EXPECT_EQ(take(), Lines({ "A.didDisappear+", "B.didAppear+" }));
    EXPECT_EQ(presented, 1);
    EXPECT_FALSE(inWindow(*a));

    int dismissed = 0;
    b->dismiss(true, [&] { ++dismissed; });
    EXPECT_EQ(take(), Lines({ "B.willDisappear+", "A.willAppear+" }));
    EXPECT_EQ(a->presentedViewController(), nullptr);
    EXPECT_TRUE(inWindow(*a));
    EXPECT_TRUE(inWindow(*b));
    advance(0.25);
    EXPECT_EQ(dismissed, 0);
    advance(0.1);
    EXPECT_EQ(take(), Lines({ "B.didDisappear+", "A.didAppear+" }));
    EXPECT_EQ(dismissed, 1);
    EXPECT_FALSE(inWindow(*b));
    EXPECT_TRUE(inWindow(*a));
}

TEST_F(ControllerLifecycle, UnanimatedTransitionsEndOnTheNextMainQueueTurn)
{
    auto a = appearedRoot();
    auto b = recorder("B", journal);
    bool done = false;
    a->present(b, false, [&] { done = true; });
    EXPECT_EQ(take(), Lines({ "B.didLoad", "A.willDisappear", "B.willAppear" }));
    EXPECT_FALSE(done);
    drain();
    EXPECT_TRUE(done);
    EXPECT_EQ(take(), Lines({ "A.didDisappear", "B.didAppear" }));

    done = false;
    a->dismiss(false, [&] { done = true; });
    EXPECT_EQ(take(), Lines({ "B.willDisappear", "A.willAppear" }));
    drain();
    EXPECT_TRUE(done);
    EXPECT_EQ(take(), Lines({ "B.didDisappear", "A.didAppear" }));

    // Nothing left to dismiss: no calls and no completion.
    done = false;
    a->dismiss(false, [&] { done = true; });
    drain();
    EXPECT_FALSE(done);
    EXPECT_TRUE(take().empty());
}

TEST_F(ControllerLifecycle, OverFullScreenLeavesThePresenterOnScreen)
{
    auto a = appearedRoot();
    auto b = recorder("B", journal);
    b->setModalPresentationStyle(UIModalPresentationStyle::overFullScreen);
    a->present(b, true);
    advance(0.35);
    EXPECT_EQ(take(), Lines({ "B.didLoad", "B.willAppear+", "B.didAppear+" }));
    EXPECT_TRUE(inWindow(*a));
    EXPECT_TRUE(a->isAppearing());

    // A full-screen controller on top of it covers both.
    auto c = recorder("C", journal);
    b->present(c, false);
    drain();
    EXPECT_EQ(take(),
        Lines({ "C.didLoad", "A.willDisappear", "B.willDisappear", "C.willAppear", "A.didDisappear",
            "B.didDisappear", "C.didAppear" }));
    EXPECT_FALSE(inWindow(*a));
    EXPECT_FALSE(inWindow(*b));

    c->dismiss(false);
    drain();
    EXPECT_EQ(take(),
        Lines({ "C.willDisappear", "A.willAppear", "B.willAppear", "C.didDisappear", "A.didAppear",
            "B.didAppear" }));
    // Back in their order: the presenter under what it presents.
    ASSERT_EQ(window->subviews().size(), 2u);
    EXPECT_EQ(window->subviews()[0], a->view());
    EXPECT_EQ(window->subviews()[1], b->view());
}

TEST_F(ControllerLifecycle, PresentingWhilePresentingOrOutsideAWindowIsRefusedButTheTopCanPresent)
{
    auto a = appearedRoot();
    auto b = recorder("B", journal);
    auto c = recorder("C", journal);
    a->present(b, false);
    drain();
    take();

    bool called = false;
    EXPECT_FALSE(a->present(c, false, [&] { called = true; }));
    drain();
    EXPECT_FALSE(called);
    EXPECT_FALSE(c->isViewLoaded());
    EXPECT_EQ(a->presentedViewController(), b);
    EXPECT_TRUE(take().empty());

    // A controller already on screen cannot be presented again.
    EXPECT_FALSE(b->present(a, false));
    EXPECT_FALSE(b->present(b, false));

    // The top of the chain presents.
    EXPECT_TRUE(b->present(c, false));
    drain();
    EXPECT_EQ(
        take(), Lines({ "C.didLoad", "B.willDisappear", "C.willAppear", "B.didDisappear", "C.didAppear" }));
    EXPECT_EQ(c->presentingViewController(), b);

    // Two presentations started in the same turn: the second host is already busy.
    auto d = recorder("D", journal);
    auto e = recorder("E", journal);
    EXPECT_TRUE(c->present(d, true));
    EXPECT_FALSE(c->present(e, true));
    advance(0.35);
    EXPECT_EQ(c->presentedViewController(), d);

    // A controller outside any window presents nothing.
    auto detached = recorder("X", journal);
    auto f = recorder("F", journal);
    EXPECT_FALSE(detached->present(f, true, [&] { called = true; }));
    advance(1);
    EXPECT_FALSE(called);
    EXPECT_EQ(detached->presentedViewController(), nullptr);
    EXPECT_FALSE(f->isViewLoaded());
}

TEST_F(ControllerLifecycle, DismissingFromTheMiddleOfAChainTakesEverythingAbove)
{
    auto a = appearedRoot();
    auto b = recorder("B", journal);
    auto c = recorder("C", journal);
    a->present(b, false);
    b->present(c, false);
    drain();
    take();

    // B presents C: B's dismiss takes C away and B comes back.
    b->dismiss(false);
    EXPECT_EQ(take(), Lines({ "C.willDisappear", "B.willAppear" }));
    drain();
    EXPECT_EQ(take(), Lines({ "C.didDisappear", "B.didAppear" }));
    EXPECT_EQ(a->presentedViewController(), b);
    EXPECT_EQ(b->presentedViewController(), nullptr);

    b->present(c, false);
    drain();
    take();
    // From the root: B and C go together; only C, on screen, gets calls.
    bool done = false;
    a->dismiss(true, [&] { done = true; });
    EXPECT_EQ(take(), Lines({ "C.willDisappear+", "A.willAppear+" }));
    EXPECT_EQ(a->presentedViewController(), nullptr);
    EXPECT_EQ(b->presentingViewController(), nullptr);
    EXPECT_EQ(c->presentingViewController(), nullptr);
    EXPECT_EQ(window->subviews().back(), c->view());
    advance(0.35);
    EXPECT_EQ(take(), Lines({ "C.didDisappear+", "A.didAppear+" }));
    EXPECT_TRUE(done);
    ASSERT_EQ(window->subviews().size(), 1u);
    EXPECT_EQ(window->subviews().front(), a->view());

    // A presented controller that presents nothing dismisses itself.
    a->present(b, false);
    drain();
    take();
    b->dismiss(false);
    drain();
    EXPECT_EQ(take(), Lines({ "B.willDisappear", "A.willAppear", "B.didDisappear", "A.didAppear" }));
}

TEST_F(ControllerLifecycle, ChildrenFollowTheAppearanceOfTheirParent)
{
    auto parent = appearedRoot("P");
    auto child = recorder("C", journal);
    parent->addChild(child);
    parent->view()->addSubview(child->view());
    child->didMove(parent.get());
    EXPECT_EQ(take(), Lines({ "C.didLoad", "C.willAppear" }));
    drain();
    EXPECT_EQ(take(), Lines({ "C.didAppear" }));
    EXPECT_EQ(child->parent(), parent);

    // Covered by a presentation: parent first, then child.
    auto cover = recorder("X", journal);
    parent->present(cover, false);
    drain();
    EXPECT_EQ(take(),
        Lines({ "X.didLoad", "P.willDisappear", "C.willDisappear", "X.willAppear", "P.didDisappear",
            "C.didDisappear", "X.didAppear" }));
    // Presenting from the child is hosted by the parent.
    EXPECT_EQ(child->presentedViewController(), cover);
    EXPECT_EQ(cover->presentingViewController(), parent);
    cover->dismiss(false);
    drain();
    take();

    child->willMove(nullptr);
    child->view()->removeFromSuperview();
    child->removeFromParent();
    EXPECT_EQ(take(), Lines({ "C.willDisappear" }));
    drain();
    EXPECT_EQ(take(), Lines({ "C.didDisappear" }));
    EXPECT_EQ(child->parent(), nullptr);
    EXPECT_TRUE(parent->children().empty());
}

TEST_F(ControllerLifecycle, OverlappingTransitionsSettleTogetherAndALostEndBlocksNothing)
{
    auto root = recorder("R", journal);
    auto nav = std::make_shared<UINavigationController>(root);
    window->setRootViewController(nav);
    drain();
    take();

    // A push and, during it, a presentation: the "did" calls wait for the later one, then the
    // completions run in the order the transitions ended.
    auto b = recorder("B", journal);
    auto c = recorder("C", journal);
    nav->pushViewController(b, true, [&] { journal->push_back("pushed"); });
    advance(0.1);
    nav->present(c, true, [&] { journal->push_back("presented"); });
    EXPECT_EQ(take(),
        Lines({ "B.didLoad", "R.willDisappear+", "B.willAppear+", "C.didLoad", "B.willDisappear+",
            "C.willAppear+" }));
    advance(0.25);
    EXPECT_TRUE(take().empty());
    advance(0.1);
    EXPECT_EQ(take(), Lines({ "R.didDisappear+", "B.didDisappear+", "C.didAppear+", "pushed", "presented" }));

    // The end of a dismissal is lost (the run loop drops its work): later transitions still
    // end, and the pending calls go out with them.
    bool lostCompletion = false;
    c->dismiss(true, [&] { lostCompletion = true; });
    loop().reset();
    take();
    auto d = recorder("D", journal);
    bool presented = false;
    nav->present(d, false, [&] { presented = true; });
    EXPECT_EQ(take(), Lines({ "D.didLoad", "B.willDisappear", "D.willAppear" }));
    drain();
    EXPECT_EQ(take(), Lines({ "C.didDisappear+", "B.didDisappear", "D.didAppear" }));
    EXPECT_TRUE(presented);
    EXPECT_FALSE(lostCompletion);
    EXPECT_FALSE(inWindow(*c));
    EXPECT_TRUE(inWindow(*d));
}

TEST_F(ControllerLifecycle, WhatWaitsForALostEndKeepsNothingAlive)
{
    // The root is replaced while its presentation still slides in: the old controllers wait for
    // that end. When the run loop drops it, they go.
    std::weak_ptr<UIViewController> oldRoot;
    std::weak_ptr<UIViewController> presented;
    {
        auto root = recorder("R", journal);
        window->setRootViewController(root);
        drain();
        auto shown = recorder("P", journal);
        root->present(shown, true);
        window->setRootViewController(recorder("N", journal));
        oldRoot = root;
        presented = shown;
    }
    drain();
    EXPECT_FALSE(oldRoot.expired());
    loop().reset();
    EXPECT_TRUE(oldRoot.expired());
    EXPECT_TRUE(presented.expired());
}
