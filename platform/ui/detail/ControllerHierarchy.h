#pragma once

#include "platform/ui/UIView.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class UIViewController;
class UIWindow;

namespace detail {

// Transitions that are under way. Each holds a token until its end runs; work dropped from the
// run loop (a test resetting it) lets the token expire, so a lost end never blocks later ones.
class TransitionTracker {
public:
    using Work = std::function<void()>;

    std::shared_ptr<void> begin();
    // Closes the token; true when no other transition is still open.
    bool end(const std::shared_ptr<void>& token);
    // The same, for ends that leave work to run once no transition is open: `waiting` holds this
    // end's work. When nothing else is open it comes back with every end's work, in the order
    // they ended. Otherwise a transition still open keeps it (and whatever it kept itself): if
    // that one's end is dropped, the work goes with it and keeps nothing alive.
    bool end(const std::shared_ptr<void>& token, std::vector<Work>& waiting);
    bool isIdle();

private:
    struct Open;
    std::vector<std::weak_ptr<Open>> m_open;
    std::uint64_t m_endCount = 0;
};

// The plain view that UIViewController::loadView makes: each layout pass runs the controller's
// viewWillLayoutSubviews, places the children of a container, lays out, then viewDidLayoutSubviews.
class ViewControllerView : public UIView {
public:
    explicit ViewControllerView(const CGRect& frame);
    std::string className() const override { return "UIView"; }
    void layoutSubviews() override;
    std::string dumpAttributes() const override;
};

// The controller tree as windows show it: which window a controller is in, which controllers
// are on screen, the appearance calls and the ends of transitions.
class ControllerHierarchy {
public:
    // Notes a window that holds a root controller.
    static void registerWindow(UIWindow& window);
    // The window whose root is at the base of the controller's presentation chain.
    static std::shared_ptr<UIWindow> windowOf(const UIViewController& controller);
    // The controller itself or its farthest ancestor: the one that hosts presentations.
    static std::shared_ptr<UIViewController> topLevel(const UIViewController& controller);
    // `base` followed by what it presents, what that presents, and so on.
    static std::vector<std::shared_ptr<UIViewController>> presentationChain(
        const std::shared_ptr<UIViewController>& base);
    // Index in the chain of the lowest controller still on screen: the last full-screen one.
    static std::size_t firstShownIndex(const std::vector<std::shared_ptr<UIViewController>>& chain);
    // Every controller on screen in the window, parents before children, lowest first.
    static std::vector<std::shared_ptr<UIViewController>> visibleControllers(const UIWindow& window);

    // Installs `root` as the window's root controller (UIWindow::setRootViewController).
    static void replaceRoot(
        UIWindow& window, std::shared_ptr<UIViewController>& slot, std::shared_ptr<UIViewController> root);

    // Takes the on-screen controllers of a window before a change; commit() compares with the
    // state after it and sends the "will" calls (the "did" calls follow when transitions settle).
    class AppearanceUpdate {
    public:
        AppearanceUpdate(std::shared_ptr<UIWindow> window, bool animated);
        AppearanceUpdate(const UIViewController& anyInWindow, bool animated);
        void commit();

    private:
        std::weak_ptr<UIWindow> m_window;
        bool m_animated;
        std::vector<std::weak_ptr<UIViewController>> m_before;
    };

    // Ends a transition after the animation time (animated) or on the next main-queue turn:
    // `cleanup` runs first; when no other transition is open the windows' views are brought in
    // line with the controllers, the "did" calls are sent, and then the completions of every
    // transition that ended meanwhile run, in the order they ended.
    static void scheduleEnd(bool animated, std::function<void()> cleanup, std::function<void()> completion);
    // Makes each registered window show exactly the views of its on-screen chain, each covering
    // the window, and sends the pending "did" calls.
    static void settle();
    static void syncWindowViews(UIWindow& window);
    // For the window's layout pass: the root's and the presented controllers' views follow the
    // window's bounds (after a rotation, for instance).
    static void windowDidLayout(UIWindow& window);

    // Access for the containers and the root view to the controller's protected hooks.
    static bool isChildShown(const UIViewController& parent, const UIViewController& child);
    static void layoutChildren(UIViewController& controller);
    // Brings the appearance of a controller and its shown children in line with whether it is
    // now on screen (after it joined or left a container).
    static void refreshAppearance(UIViewController& controller);
    // Appearance calls outside the automatic hierarchy.
    static void beginManualAppearance(UIViewController& controller, bool appearing, bool animated);
    static void endManualAppearance(UIViewController& controller);
    // Sends the "will" calls to the controllers whose state changes; with `pending` their "did"
    // calls wait for the next settle. Returns whether any call was sent.
    static bool sendWill(const std::vector<std::shared_ptr<UIViewController>>& leaving,
        const std::vector<std::shared_ptr<UIViewController>>& entering, bool animated, bool pending);
};

}
