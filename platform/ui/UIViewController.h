#pragma once

#include "platform/ui/UINavigationItem.h"
#include "platform/ui/UIResponder.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIView.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class UINavigationController;
class UITabBarController;
class UITabBarItem;
class UIWindow;

namespace detail {
class ControllerHierarchy;
}

// How a presented controller covers its presenter. Full screen takes the presenter's views out
// of the window once the transition is over (the presenter disappears); over full screen leaves
// them in place underneath (the presenter stays on screen and gets no appearance calls).
enum class UIModalPresentationStyle {
    fullScreen = 0,
    overFullScreen = 5,
};

enum class UIStatusBarStyle {
    defaultStyle = 0,
    lightContent = 1,
    darkContent = 3,
};

// Edges along which a controller's view may run under the bars of its container.
enum UIRectEdge : unsigned {
    UIRectEdgeNone = 0,
    UIRectEdgeTop = 1 << 0,
    UIRectEdgeLeft = 1 << 1,
    UIRectEdgeBottom = 1 << 2,
    UIRectEdgeRight = 1 << 3,
    UIRectEdgeAll = 0x0F,
};

// Manages one screenful of content: a lazily loaded root view, appearance calls, child
// controllers and modal presentation. Controllers must be owned by std::shared_ptr.
//
// Appearance follows the phone: when a transition starts the controllers that leave the screen
// get viewWillDisappear and those that come get viewWillAppear (leaving ones first, parents before
// children); when it is over - transitionDuration later on the main run loop's clock when
// animated, on the next main-queue turn when not - they get viewDidDisappear and viewDidAppear in
// the same order, then the transition's completion runs. While transitions overlap, the "did"
// calls wait until the last one is over. Only controllers in a window's hierarchy (the window's
// root, what it presents, and their shown children) get appearance calls.
class UIViewController : public UIResponder {
public:
    static constexpr double transitionDuration = 0.3;

    template<typename T = UIViewController, typename... Args> static std::shared_ptr<T> create(Args&&... args)
    {
        return std::make_shared<T>(std::forward<Args>(args)...);
    }

    UIViewController();
    ~UIViewController() override;
    UIViewController(const UIViewController&) = delete;
    UIViewController& operator=(const UIViewController&) = delete;

    // Class name for messages and lookups; every subclass overrides it.
    virtual std::string className() const { return "UIViewController"; }

    std::shared_ptr<UIViewController> sharedFromThis();
    std::weak_ptr<UIViewController> weakFromThis();

    // ---- View ----
    // Loads the view on first use: loadView(), then viewDidLoad().
    const std::shared_ptr<UIView>& view();
    const std::shared_ptr<UIView>& viewIfLoaded() const { return m_view; }
    bool isViewLoaded() const { return m_view != nullptr; }
    void loadViewIfNeeded();
    // For loadView overrides; the view's next responder becomes this controller.
    void setView(std::shared_ptr<UIView> view);
    // Makes a plain view the size of the screen. Overrides set their own view with setView().
    virtual void loadView();
    virtual void viewDidLoad() { }

    virtual void viewWillAppear(bool /*animated*/) { }
    virtual void viewDidAppear(bool /*animated*/) { }
    virtual void viewWillDisappear(bool /*animated*/) { }
    virtual void viewDidDisappear(bool /*animated*/) { }
    // Around each layout pass of the view made by the default loadView.
    virtual void viewWillLayoutSubviews() { }
    virtual void viewDidLayoutSubviews() { }

    // Whether the view is on screen as far as appearance calls go (after viewWillAppear and
    // until viewWillDisappear).
    bool isAppearing() const;

    // ---- Title and bars ----
    const std::string& title() const { return m_title; }
    // Also the navigation item's title.
    virtual void setTitle(std::string title);
    UINavigationItem& navigationItem();
    const std::shared_ptr<UINavigationItem>& navigationItemPointer() { return m_navigationItem; }
    // The controller's tab in a tab bar controller: made on first use with the controller's title.
    const std::shared_ptr<UITabBarItem>& tabBarItem() const;
    void setTabBarItem(std::shared_ptr<UITabBarItem> item) { m_tabBarItem = std::move(item); }
    bool hidesBottomBarWhenPushed() const { return m_hidesBottomBarWhenPushed; }
    void setHidesBottomBarWhenPushed(bool hides) { m_hidesBottomBarWhenPushed = hides; }
    unsigned edgesForExtendedLayout() const { return m_edgesForExtendedLayout; }
    void setEdgesForExtendedLayout(unsigned edges) { m_edgesForExtendedLayout = edges; }
    bool extendedLayoutIncludesOpaqueBars() const { return m_extendedLayoutIncludesOpaqueBars; }
    void setExtendedLayoutIncludesOpaqueBars(bool includes) { m_extendedLayoutIncludesOpaqueBars = includes; }

    // ---- Child controllers ----
    std::shared_ptr<UIViewController> parent() const { return m_parent.lock(); }
    const std::vector<std::shared_ptr<UIViewController>>& children() const { return m_children; }
    // Adds the child (leaving its former parent) and calls its willMove(this). The caller adds
    // the child's view to its own view, then calls child->didMove(this).
    virtual void addChild(std::shared_ptr<UIViewController> child);
    // The caller calls willMove(nullptr) first; this calls didMove(nullptr).
    virtual void removeFromParent();
    virtual void willMove(UIViewController* /*parent*/) { }
    // The base implementation also brings the appearance of the child in line with its parent.
    virtual void didMove(UIViewController* parent);
    // The nearest navigation (tab bar) controller among the ancestors.
    std::shared_ptr<UINavigationController> navigationController() const;
    std::shared_ptr<UITabBarController> tabBarController() const;

    // Containers that call the appearance methods of their children themselves answer false.
    virtual bool shouldAutomaticallyForwardAppearanceMethods() const { return true; }
    // Manual appearance calls for a controller shown outside the automatic hierarchy (pages of a
    // tab container): will now, did on endAppearanceTransition. Shown children follow.
    void beginAppearanceTransition(bool isAppearing, bool animated);
    void endAppearanceTransition();

    // ---- Presentation ----
    // Presents over the topmost ancestor of this controller (the one that hosts presentations).
    // Refused with a console line, and the completion not called, when that ancestor is not in a
    // window, already presents a controller, or `controller` is already shown somewhere.
    bool present(
        std::shared_ptr<UIViewController> controller, bool animated, std::function<void()> completion = {});
    // Dismisses what this controller (or its topmost ancestor) presents, with everything above
    // it; a controller that presents nothing dismisses itself. Nothing happens, and the
    // completion is not called, when there is nothing to dismiss.
    void dismiss(bool animated, std::function<void()> completion = {});
    // The controller presented by this one or by its topmost ancestor.
    std::shared_ptr<UIViewController> presentedViewController() const;
    // The controller that presents this one (or its topmost ancestor).
    std::shared_ptr<UIViewController> presentingViewController() const;
    UIModalPresentationStyle modalPresentationStyle() const { return m_modalPresentationStyle; }
    void setModalPresentationStyle(UIModalPresentationStyle style) { m_modalPresentationStyle = style; }
    // Shows the controller the way the context suggests: pushed (animated) by the nearest
    // navigation controller, else presented (animated).
    virtual void show(std::shared_ptr<UIViewController> controller);

    // ---- Orientation and status bar ----
    virtual unsigned supportedInterfaceOrientations() const
    {
        return UIInterfaceOrientationMaskAllButUpsideDown;
    }
    virtual bool shouldAutorotate() const { return true; }
    virtual UIInterfaceOrientation preferredInterfaceOrientationForPresentation() const
    {
        return UIInterfaceOrientation::portrait;
    }
    virtual UIStatusBarStyle preferredStatusBarStyle() const { return UIStatusBarStyle::defaultStyle; }
    virtual bool prefersStatusBarHidden() const { return false; }
    // The child whose answer counts instead of this controller's, if any.
    virtual std::shared_ptr<UIViewController> childViewControllerForStatusBarStyle() const { return nullptr; }
    virtual std::shared_ptr<UIViewController> childViewControllerForStatusBarHidden() const
    {
        return nullptr;
    }
    void setNeedsStatusBarAppearanceUpdate() { }

    // ---- Responder chain ----
    // The view's superview for a view in a tree, else the presenting controller, else the parent.
    std::shared_ptr<UIResponder> nextResponder() const override;

protected:
    // Containers: whether a child's view is on screen while this controller's is. The default
    // is: forwarding on, and the child's view inside this controller's view.
    virtual bool isChildShown(const UIViewController& child) const;
    // Containers: places the children's views; called on each layout pass of the view and by
    // the container itself.
    virtual void layoutChildren() { }
    // Containers: runs once right after viewDidLoad, to put the shown children's views in place.
    virtual void containerViewDidLoad() { }

private:
    friend class detail::ControllerHierarchy;
    enum class Appearance { disappeared, appearing, appeared, disappearing };

    std::shared_ptr<UIView> m_view;
    bool m_loadingView = false;
    std::string m_title;
    std::shared_ptr<UINavigationItem> m_navigationItem;
    mutable std::shared_ptr<UITabBarItem> m_tabBarItem;
    bool m_hidesBottomBarWhenPushed = false;
    unsigned m_edgesForExtendedLayout = UIRectEdgeAll;
    bool m_extendedLayoutIncludesOpaqueBars = false;

    std::weak_ptr<UIViewController> m_parent;
    std::vector<std::shared_ptr<UIViewController>> m_children;

    std::shared_ptr<UIViewController> m_presented;
    std::weak_ptr<UIViewController> m_presenting;
    UIModalPresentationStyle m_modalPresentationStyle = UIModalPresentationStyle::fullScreen;

    Appearance m_appearance = Appearance::disappeared;
    bool m_appearanceAnimated = false;
};
