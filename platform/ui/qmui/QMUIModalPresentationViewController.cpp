#include "platform/ui/qmui/QMUIModalPresentationViewController.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/controls/UIKeyboard.h"
#include "platform/ui/gestures/UITapGestureRecognizer.h"
#include "platform/ui/qmui/QMUIConfiguration.h"
#include "platform/ui/qmui/QMUIHelper.h"
#include "platform/ui/qmui/QMUIKitExtensions.h"

#include <algorithm>
#include <any>
#include <cmath>

namespace {

std::vector<std::weak_ptr<QMUIModalPresentationViewController>>& visibleRegistry()
{
    static std::vector<std::weak_ptr<QMUIModalPresentationViewController>> visible;
    return visible;
}

// The presentation's window: it keeps its root controller's view at its own bounds and laid out
// whenever it is resized (the screen rotated), so the layout block hears of the new bounds at once.
class ModalWindow : public UIWindow {
public:
    using UIWindow::UIWindow;
    std::string className() const override { return "QMUIModalPresentationWindow"; }

    void setFrame(const CGRect& frame) override
    {
        UIWindow::setFrame(frame);
        if (const auto& root = rootViewController()) {
            if (const auto& view = root->viewIfLoaded()) {
                view->setFrame(bounds());
                view->layoutIfNeeded();
            }
        }
    }
};

std::optional<CGRect> rectValue(const std::map<std::string, std::any>& info, const char* key)
{
    auto it = info.find(key);
    if (it == info.end())
        return std::nullopt;
    if (const auto* rect = std::any_cast<CGRect>(&it->second))
        return *rect;
    return std::nullopt;
}

// The window a finger would reach first: the highest level, the later one among equals.
std::shared_ptr<UIWindow> frontMostVisibleWindow()
{
    std::shared_ptr<UIWindow> front;
    for (const auto& window : UIApplication::shared().windows()) {
        if (window->isHidden())
            continue;
        if (!front || window->windowLevel() >= front->windowLevel())
            front = window;
    }
    return front;
}

double durationValue(const std::map<std::string, std::any>& info)
{
    auto it = info.find(UIKeyboardNotification::AnimationDurationKey);
    if (it != info.end()) {
        if (const auto* d = std::any_cast<double>(&it->second))
            return std::isfinite(*d) && *d >= 0 ? *d : 0;
    }
    return UIKeyboard::animationDuration;
}

}

QMUIModalPresentationViewController::QMUIModalPresentationViewController()
{
    auto dimming = std::make_shared<UIView>();
    dimming->setBackgroundColor(
        QMUIConfiguration::sharedInstance().maskDarkColor.value_or(UIColor(0, 0, 0, 0.35)));
    setDimmingView(std::move(dimming));
}

QMUIModalPresentationViewController::~QMUIModalPresentationViewController()
{
    stopObservingKeyboard();
}

// ---- Content and dimming ----

void QMUIModalPresentationViewController::setContentView(std::shared_ptr<UIView> view)
{
    if (m_contentView == view)
        return;
    if (m_contentView && m_contentView->superview() == viewIfLoaded())
        m_contentView->removeFromSuperview();
    m_contentView = std::move(view);
    installContentView();
}

void QMUIModalPresentationViewController::setContentViewController(
    std::shared_ptr<UIViewController> controller)
{
    if (m_contentViewController == controller)
        return;
    if (m_contentViewController) {
        m_contentViewController->willMove(nullptr);
        m_contentViewController->removeFromParent();
    }
    m_contentViewController = std::move(controller);
    if (!m_contentViewController) {
        setContentView(nullptr);
        return;
    }
    addChild(m_contentViewController);
    setContentView(m_contentViewController->view());
    m_contentViewController->didMove(this);
}

void QMUIModalPresentationViewController::setDimmingView(std::shared_ptr<UIView> view)
{
    if (m_dimmingView == view)
        return;
    if (m_dimmingView) {
        if (m_dimmingTap)
            m_dimmingView->removeGestureRecognizer(m_dimmingTap.get());
        if (m_dimmingView->superview() == viewIfLoaded())
            m_dimmingView->removeFromSuperview();
    }
    m_dimmingTap.reset();
    m_dimmingView = std::move(view);
    if (isViewLoaded())
        installDimmingView();
}

void QMUIModalPresentationViewController::installDimmingView()
{
    const auto& root = viewIfLoaded();
    if (!root || !m_dimmingView)
        return;
    m_dimmingView->setUserInteractionEnabled(true);
    if (!m_dimmingTap) {
        // Made once the presenter is owned, so the action can hold it weakly.
        m_dimmingTap = std::make_shared<UITapGestureRecognizer>();
        std::weak_ptr<UIViewController> weakSelf = weakFromThis();
        m_dimmingTap->addTarget([weakSelf](UIGestureRecognizer& recognizer) {
            auto self = std::static_pointer_cast<QMUIModalPresentationViewController>(weakSelf.lock());
            if (self && recognizer.state() == UIGestureRecognizerState::ended)
                self->dimmingViewTapped();
        });
        m_dimmingView->addGestureRecognizer(m_dimmingTap);
    }
    root->insertSubview(m_dimmingView, 0);
    root->setNeedsLayout();
}

void QMUIModalPresentationViewController::installContentView()
{
    const auto& root = viewIfLoaded();
    if (!root || !m_contentView)
        return;
    if (m_dimmingView && m_dimmingView->superview() == root)
        root->insertSubviewAbove(m_contentView, m_dimmingView.get());
    else
        root->addSubview(m_contentView);
    root->setNeedsLayout();
}

void QMUIModalPresentationViewController::viewDidLoad()
{
    UIViewController::viewDidLoad();
    view()->setBackgroundColor(UIColor::clear());
    installDimmingView();
    installContentView();
}

// ---- Layout ----

CGRect QMUIModalPresentationViewController::contentViewDefaultFrame(
    const CGRect& containerBounds, CGFloat keyboardHeight) const
{
    const UIEdgeInsets& m = contentViewMargins;
    CGFloat areaWidth = std::max<CGFloat>(0, containerBounds.width() - m.left - m.right);
    CGFloat areaHeight = std::max<CGFloat>(0, containerBounds.height() - keyboardHeight - m.top - m.bottom);
    CGFloat limitWidth = std::min(areaWidth, maximumContentViewWidth);
    CGSize size = m_contentView ? m_contentView->sizeThatFits({ limitWidth, areaHeight }) : CGSize {};
    size.width = std::clamp<CGFloat>(size.width, 0, limitWidth);
    size.height = std::clamp<CGFloat>(size.height, 0, areaHeight);
    CGFloat x = containerBounds.minX() + m.left + QMUIHelper::flat((areaWidth - size.width) / 2);
    CGFloat y = containerBounds.minY() + m.top + QMUIHelper::flat((areaHeight - size.height) / 2);
    return { x, y, size.width, size.height };
}

void QMUIModalPresentationViewController::viewDidLayoutSubviews()
{
    UIViewController::viewDidLayoutSubviews();
    const auto& root = viewIfLoaded();
    CGRect bounds = root->bounds();
    if (m_dimmingView && m_dimmingView->superview() == root)
        m_dimmingView->setFrame(bounds);
    if (!m_contentView)
        return;
    CGRect defaultFrame = contentViewDefaultFrame(bounds, m_keyboardHeight);
    if (layoutBlock)
        layoutBlock(bounds, m_keyboardHeight, defaultFrame);
    else
        qmui_setFrameApplyTransform(*m_contentView, defaultFrame);
}

// ---- Keyboard ----

void QMUIModalPresentationViewController::observeKeyboard()
{
    if (m_observingKeyboard)
        return;
    m_observingKeyboard = true;
    auto& center = NotificationCenter::defaultCenter();
    std::weak_ptr<UIViewController> weakSelf = weakFromThis();
    auto handler = [this, weakSelf](bool showing) {
        return [this, weakSelf, showing](const Notification& note) {
            auto keep = weakSelf.lock();
            if (!keep)
                return;
            auto frame = rectValue(note.userInfo, UIKeyboardNotification::FrameEndKey);
            keyboardWillChange(frame.value_or(CGRect {}), durationValue(note.userInfo), showing);
        };
    };
    center.addObserver(UIKeyboardNotification::WillShow, handler(true), this);
    center.addObserver(UIKeyboardNotification::WillHide, handler(false), this);
}

void QMUIModalPresentationViewController::stopObservingKeyboard()
{
    if (!m_observingKeyboard)
        return;
    m_observingKeyboard = false;
    NotificationCenter::defaultCenter().removeObservers(this);
}

void QMUIModalPresentationViewController::keyboardWillChange(
    const CGRect& keyboardFrame, double duration, bool showing)
{
    const auto& root = viewIfLoaded();
    if (!root)
        return;
    CGFloat height = 0;
    if (showing) {
        // The part of the keyboard over the view (its window sits at the screen's origin).
        CGRect overlap = root->convert(root->bounds(), nullptr).intersection(keyboardFrame);
        height = overlap.isNull() ? 0 : overlap.height();
    }
    if (height == m_keyboardHeight)
        return;
    m_keyboardHeight = height;
    UIView::animate(duration, [&] {
        root->setNeedsLayout();
        root->layoutIfNeeded();
    });
}

// ---- Showing ----

void QMUIModalPresentationViewController::showWithAnimated(bool animated, Completion completion)
{
    if (isVisible())
        return;
    auto self = std::static_pointer_cast<QMUIModalPresentationViewController>(sharedFromThis());
    loadViewIfNeeded();
    auto& app = UIApplication::shared();
    m_previousKeyWindow = app.keyWindow();
    m_hiding = false;

    auto& keyboard = UIKeyboard::shared();
    m_keyboardHeight = 0;
    if (keyboard.isVisible()) {
        CGRect overlap = UIScreen::main().bounds().intersection(keyboard.shownFrame());
        m_keyboardHeight = overlap.isNull() ? 0 : overlap.height();
    }
    observeKeyboard();

    auto window = std::make_shared<ModalWindow>(UIScreen::main().bounds());
    window->setWindowLevel(QMUIConfiguration::sharedInstance().windowLevelQMUIAlertView);
    window->setBackgroundColor(UIColor::clear());
    // Shown over the app's window, it takes that window's light or dark style along.
    if (auto covered = m_previousKeyWindow.lock())
        window->setOverrideUserInterfaceStyle(covered->overrideUserInterfaceStyle());
    m_window = window;
    visibleRegistry().push_back(self);
    window->setRootViewController(self);
    window->makeKeyAndVisible();
    view()->setNeedsLayout();
    view()->layoutIfNeeded();

    auto content = m_contentView;
    auto dimming = m_dimmingView;
    CGFloat height = view()->bounds().height();
    if (!animated) {
        if (completion)
            completion(true);
        return;
    }
    // Start values, then the end values inside the animation block (recorded as animations).
    if (dimming)
        dimming->setAlpha(0);
    if (content) {
        switch (animationStyle) {
        case QMUIModalPresentationAnimationStyle::popup:
            content->setAlpha(0);
            content->setTransform(CGAffineTransform::scale(0, 0));
            break;
        case QMUIModalPresentationAnimationStyle::slide:
            content->setTransform(CGAffineTransform::translation(0, height - content->frame().minY()));
            break;
        case QMUIModalPresentationAnimationStyle::fade:
            content->setAlpha(0);
            break;
        }
    }
    UIView::animate(
        animationDuration, 0, UIViewAnimationOptionCurveEaseOut,
        [&] {
            if (dimming)
                dimming->setAlpha(1);
            if (content) {
                content->setAlpha(1);
                content->setTransform(CGAffineTransform::identity());
            }
        },
        [self, completion = std::move(completion)](bool finished) {
            if (completion)
                completion(finished);
        });
}

void QMUIModalPresentationViewController::hideWithAnimated(bool animated, Completion completion)
{
    if (!isVisible())
        return;
    if (m_hiding) {
        // A hide without animation cuts one under way short: nothing stays up waiting for its
        // animation (the completion of the first hide still runs, once).
        if (!animated)
            finishHiding(std::move(completion));
        return;
    }
    m_hiding = true;
    auto self = std::static_pointer_cast<QMUIModalPresentationViewController>(sharedFromThis());
    if (!animated) {
        finishHiding(std::move(completion));
        return;
    }
    m_pendingHideCompletion = std::move(completion);
    const unsigned serial = ++m_hideSerial;
    auto content = m_contentView;
    auto dimming = m_dimmingView;
    CGFloat height = viewIfLoaded()->bounds().height();
    UIView::animate(
        animationDuration, 0, UIViewAnimationOptionCurveEaseIn,
        [&] {
            if (dimming)
                dimming->setAlpha(0);
            if (!content)
                return;
            switch (animationStyle) {
            case QMUIModalPresentationAnimationStyle::popup:
                content->setAlpha(0);
                content->setTransform(CGAffineTransform::scale(0, 0));
                break;
            case QMUIModalPresentationAnimationStyle::slide:
                content->setTransform(CGAffineTransform::translation(0, height - content->frame().minY()));
                break;
            case QMUIModalPresentationAnimationStyle::fade:
                content->setAlpha(0);
                break;
            }
        },
        [self, serial](bool) {
            // Already finished by a hide without animation (and perhaps shown again since).
            if (self->m_hiding && self->m_hideSerial == serial)
                self->finishHiding({});
        });
}

void QMUIModalPresentationViewController::finishHiding(Completion completion)
{
    auto self = std::static_pointer_cast<QMUIModalPresentationViewController>(sharedFromThis());
    stopObservingKeyboard();
    std::erase_if(visibleRegistry(), [&](const auto& weak) {
        auto p = weak.lock();
        return !p || p == self;
    });
    // Back to the resting look, so that a later show starts from it.
    if (m_dimmingView)
        m_dimmingView->setAlpha(1);
    if (m_contentView) {
        m_contentView->setAlpha(1);
        m_contentView->setTransform(CGAffineTransform::identity());
    }
    auto window = std::move(m_window);
    m_window.reset();
    m_hiding = false;
    // Give the key back only if this presentation still has it: a later one shown over it keeps
    // its own key window (and its touches).
    bool wasKey = window && window->isKeyWindow();
    if (window) {
        window->setHidden(true);
        window->setRootViewController(nullptr);
    }
    if (wasKey) {
        std::shared_ptr<UIWindow> previous = m_previousKeyWindow.lock();
        if (!previous || previous->isHidden())
            previous = frontMostVisibleWindow();
        if (previous)
            previous->makeKey();
    }
    m_previousKeyWindow.reset();
    m_keyboardHeight = 0;
    auto pending = std::move(m_pendingHideCompletion);
    m_pendingHideCompletion = nullptr;
    if (pending)
        pending(true);
    if (completion)
        completion(true);
}

void QMUIModalPresentationViewController::dimmingViewTapped()
{
    if (m_modal)
        return;
    hideWithAnimated(true);
}

bool QMUIModalPresentationViewController::accessibilityPerformEscape()
{
    if (m_modal || !isVisible())
        return false;
    if (!m_hiding)
        hideWithAnimated(true);
    return true;
}

bool QMUIModalPresentationViewController::hideAllVisibleModalPresentationViewControllerIfCan()
{
    for (const auto& presenter : visibleModalPresentationViewControllers())
        presenter->hideWithAnimated(false);
    return visibleModalPresentationViewControllers().empty();
}

std::vector<std::shared_ptr<QMUIModalPresentationViewController>>
QMUIModalPresentationViewController::visibleModalPresentationViewControllers()
{
    std::vector<std::shared_ptr<QMUIModalPresentationViewController>> out;
    for (const auto& weak : visibleRegistry()) {
        if (auto p = weak.lock(); p && p->isVisible())
            out.push_back(p);
    }
    return out;
}
