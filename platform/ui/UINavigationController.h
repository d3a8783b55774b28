#pragma once

#include "platform/ui/UIGestureRecognizer.h"
#include "platform/ui/UINavigationBar.h"
#include "platform/ui/UIViewController.h"
#include "platform/ui/detail/ControllerHierarchy.h"

#include <functional>
#include <memory>
#include <vector>

class UINavigationController;

// Hears when a controller comes to the top of a navigation stack: willShow when the transition
// starts, didShow when it is over (after the controller's viewDidAppear).
class UINavigationControllerDelegate {
public:
    virtual ~UINavigationControllerDelegate() = default;
    virtual void willShow(UINavigationController&, UIViewController&, bool /*animated*/) { }
    virtual void didShow(UINavigationController&, UIViewController&, bool /*animated*/) { }
};

// A stack of controllers of which the top one is shown, under a navigation bar. Pushing,
// popping and replacing the stack change it at once; the appearance calls, the removal of the
// covered or popped views and the completion follow the rules of UIViewController (animated:
// transitionDuration later). A popped controller keeps its navigation controller until the end
// of the transition, so its viewWillDisappear still finds it.
//
// The root given to the constructor joins the stack (through pushViewController) on first use
// of the stack or of the view.
class UINavigationController : public UIViewController {
public:
    UINavigationController();
    explicit UINavigationController(std::shared_ptr<UIViewController> root);
    ~UINavigationController() override;

    std::string className() const override { return "UINavigationController"; }

    // ---- Stack ----
    std::vector<std::shared_ptr<UIViewController>> viewControllers() const;
    std::shared_ptr<UIViewController> topViewController() const;
    // What the user sees: a controller presented over the navigation controller, else the top.
    std::shared_ptr<UIViewController> visibleViewController() const;

    // Refused with a console line for a controller already in the stack or shown elsewhere.
    virtual void pushViewController(
        std::shared_ptr<UIViewController> controller, bool animated, std::function<void()> completion = {});
    // Nothing (nullptr) when only the root is left.
    virtual std::shared_ptr<UIViewController> popViewController(
        bool animated, std::function<void()> completion = {});
    // The controllers taken off, bottom first.
    std::vector<std::shared_ptr<UIViewController>> popToRootViewController(
        bool animated, std::function<void()> completion = {});
    std::vector<std::shared_ptr<UIViewController>> popToViewController(
        const std::shared_ptr<UIViewController>& controller, bool animated,
        std::function<void()> completion = {});
    // Replaces the stack; controllers already in it stay, unusable ones are left out.
    virtual void setViewControllers(std::vector<std::shared_ptr<UIViewController>> controllers, bool animated,
        std::function<void()> completion = {});
    // Pushes, animated.
    void show(std::shared_ptr<UIViewController> controller) override;

    // ---- Bar ----
    UINavigationBar& navigationBar() { return *m_bar; }
    const std::shared_ptr<UINavigationBar>& navigationBarPointer() const { return m_bar; }
    bool isNavigationBarHidden() const { return m_barHidden; }
    void setNavigationBarHidden(bool hidden, bool animated = false);

    // The swipe from the left edge (a pan starting within 20 points of it, moving right) that
    // pops the top controller, animated, when the finger lifts. Its shouldBegin closure plays the
    // delegate: the default one lets it begin only over a stack of two or more, outside
    // transitions; unset lets it always begin.
    const std::shared_ptr<UIGestureRecognizer>& interactivePopGestureRecognizer() const
    {
        return m_popGesture;
    }

    std::shared_ptr<UINavigationControllerDelegate> delegate() const { return m_delegate.lock(); }
    // Held weakly; a navigation controller may be its own delegate.
    void setDelegate(std::weak_ptr<UINavigationControllerDelegate> delegate)
    {
        m_delegate = std::move(delegate);
    }

    void loadView() override;

protected:
    // For subclasses, next to the delegate's calls (before them).
    virtual void willShowViewController(UIViewController&, bool /*animated*/) { }
    virtual void didShowViewController(UIViewController&, bool /*animated*/) { }

    bool isChildShown(const UIViewController& child) const override;
    void layoutChildren() override;
    void containerViewDidLoad() override;

private:
    void ensureRoot() const;
    void changeStack(std::vector<std::shared_ptr<UIViewController>> stack, bool animated,
        std::function<void()> completion);
    bool canJoin(const std::shared_ptr<UIViewController>& controller) const;
    void transitionEnded(const std::shared_ptr<void>& token);
    CGRect contentFrame(const UIViewController& child) const;

    mutable std::shared_ptr<UIViewController> m_pendingRoot;
    std::vector<std::shared_ptr<UIViewController>> m_stack;
    std::shared_ptr<UINavigationBar> m_bar;
    bool m_barHidden = false;
    std::shared_ptr<UIGestureRecognizer> m_popGesture;
    std::weak_ptr<UINavigationControllerDelegate> m_delegate;
    detail::TransitionTracker m_transitions;
    // Joined the stack; didMove(this) follows at the end of the transition.
    std::vector<std::weak_ptr<UIViewController>> m_joining;
};
