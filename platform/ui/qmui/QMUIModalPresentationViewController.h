#pragma once

#include "platform/ui/UIViewController.h"
#include "platform/ui/UIWindow.h"

#include <functional>
#include <limits>
#include <memory>
#include <vector>

enum class QMUIModalPresentationAnimationStyle {
    // The content grows from nothing in the middle while the dimming fades in.
    popup,
    // The content rises from below the screen (and goes back down on hide).
    slide,
    // Content and dimming fade in and out.
    fade,
};

// Shows a content view (or a content view controller's view) over a dimming view, in a window of
// its own above the application's windows (the configuration's windowLevelQMUIAlertView).
//
// Lifetime: while visible the window holds the presenter (it is the window's root), so a caller
// may show it and drop its reference; after the hide has finished the window is gone and only
// the caller's references keep the presenter.
//
// Animations are recorded, not played: the end values apply at once and the completion runs after
// `animationDuration` on the main run loop's clock (at once when not animated).
//
// Layout, on every layout pass of the presenter's view (the show, a rotation, the keyboard coming
// or going): the dimming view fills the view; then the layout block, if set, is called with the
// view's bounds, the height of the keyboard over them and the default frame of the content, else
// the content gets that default frame: its fitted size within the bounds less the margins and the
// keyboard (no wider than maximumContentViewWidth), centred there.
class QMUIModalPresentationViewController : public UIViewController {
public:
    static constexpr double animationDuration = 0.25;
    using LayoutBlock
        = std::function<void(CGRect containerBounds, CGFloat keyboardHeight, CGRect contentViewDefaultFrame)>;
    using Completion = std::function<void(bool finished)>;

    QMUIModalPresentationViewController();
    ~QMUIModalPresentationViewController() override;

    std::string className() const override { return "QMUIModalPresentationViewController"; }

    // ---- Content ----
    const std::shared_ptr<UIView>& contentView() const { return m_contentView; }
    void setContentView(std::shared_ptr<UIView> view);
    // Becomes a child; its view is the content view.
    const std::shared_ptr<UIViewController>& contentViewController() const { return m_contentViewController; }
    void setContentViewController(std::shared_ptr<UIViewController> controller);

    // ---- Dimming ----
    // Black at the configuration's maskDarkColor by default; nullptr shows none. A tap on it hides
    // the presentation (animated) unless it is modal.
    const std::shared_ptr<UIView>& dimmingView() const { return m_dimmingView; }
    void setDimmingView(std::shared_ptr<UIView> view);
    bool isModal() const { return m_modal; }
    void setModal(bool modal) { m_modal = modal; }

    // ---- Presentation settings ----
    QMUIModalPresentationAnimationStyle animationStyle = QMUIModalPresentationAnimationStyle::popup;
    UIEdgeInsets contentViewMargins { 20, 20, 20, 20 };
    CGFloat maximumContentViewWidth = std::numeric_limits<CGFloat>::infinity();
    LayoutBlock layoutBlock;

    // ---- Showing and hiding ----
    // Ignored while visible. The completion runs when the show animation has finished.
    void showWithAnimated(bool animated, Completion completion = {});
    // Ignored unless visible. The completion runs once the window is gone. While a hide is under
    // way another animated one is ignored, and one without animation finishes it at once.
    void hideWithAnimated(bool animated, Completion completion = {});
    // From the start of the show until the hide has finished.
    bool isVisible() const { return m_window != nullptr; }
    // The presentation's own window while visible.
    const std::shared_ptr<UIWindow>& presentationWindow() const { return m_window; }
    // The keyboard's height over the view, as the last layout saw it.
    CGFloat keyboardHeight() const { return m_keyboardHeight; }

    // Hides every visible presentation at once (without animation), those still animating their
    // hide too; true when all went.
    static bool hideAllVisibleModalPresentationViewControllerIfCan();
    // Visible presentations, in the order they were shown.
    static std::vector<std::shared_ptr<QMUIModalPresentationViewController>>
    visibleModalPresentationViewControllers();

    // The frame the content gets without a layout block.
    CGRect contentViewDefaultFrame(const CGRect& containerBounds, CGFloat keyboardHeight) const;

    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;
    // Hides a presentation that is not modal, as a tap on the dimming does (one on its way out
    // counts as done).
    bool accessibilityPerformEscape() override;

private:
    void installContentView();
    void installDimmingView();
    void observeKeyboard();
    void stopObservingKeyboard();
    void keyboardWillChange(const CGRect& keyboardFrame, double duration, bool showing);
    void dimmingViewTapped();
    void finishHiding(Completion completion);

    std::shared_ptr<UIView> m_contentView;
    std::shared_ptr<UIViewController> m_contentViewController;
    std::shared_ptr<UIView> m_dimmingView;
    std::shared_ptr<UIGestureRecognizer> m_dimmingTap;
    bool m_modal = false;
    std::shared_ptr<UIWindow> m_window;
    std::weak_ptr<UIWindow> m_previousKeyWindow;
    bool m_hiding = false;
    // The animated hide under way: its completion, and its number (a later hide has another).
    Completion m_pendingHideCompletion;
    unsigned m_hideSerial = 0;
    CGFloat m_keyboardHeight = 0;
    bool m_observingKeyboard = false;
};
