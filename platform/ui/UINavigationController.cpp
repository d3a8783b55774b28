#include "platform/ui/UINavigationController.h"

#include "platform/foundation/Log.h"
#include "platform/ui/UITabBarController.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/gestures/UIPanGestureRecognizer.h"
#include "platform/ui/gestures/UITouch.h"

#include <algorithm>
#include <cmath>

using detail::ControllerHierarchy;

namespace {

// The swipe from the left edge: a pan that starts within `edgeWidth` of the view's left edge
// and moves to the right. A touch further in fails it at once, so that taps and other gestures
// there are not held back.
class EdgePanGestureRecognizer : public UIPanGestureRecognizer {
public:
    static constexpr CGFloat edgeWidth = 20;

    std::string className() const override { return "UIScreenEdgePanGestureRecognizer"; }

    void touchesBegan(const UITouchSet& touches, const UIEvent* event) override
    {
        auto target = view();
        if (state() == UIGestureRecognizerState::possible && !touches.empty() && target
            && touches.front()->location(target.get()).x > edgeWidth) {
            setState(UIGestureRecognizerState::failed);
            return;
        }
        UIPanGestureRecognizer::touchesBegan(touches, event);
    }

protected:
    bool shouldBeginWithTranslation(CGPoint t) const override
    {
        return t.x >= minimumMovement && t.x > std::abs(t.y);
    }
};

bool contains(const std::vector<std::shared_ptr<UIViewController>>& list, const UIViewController* controller)
{
    return std::any_of(list.begin(), list.end(), [&](const auto& c) { return c.get() == controller; });
}

}

UINavigationController::UINavigationController()
    : m_bar(UIView::create<UINavigationBar>())
    , m_popGesture(std::make_shared<EdgePanGestureRecognizer>())
{ }

UINavigationController::UINavigationController(std::shared_ptr<UIViewController> root)
    : UINavigationController()
{
    m_pendingRoot = std::move(root);
}

UINavigationController::~UINavigationController() = default;

void UINavigationController::ensureRoot() const
{
    // Only once the navigation controller is owned (the stack links children to it weakly).
    auto self = const_cast<UINavigationController*>(this);
    if (!m_pendingRoot || self->weak_from_this().expired())
        return;
    auto root = std::move(m_pendingRoot);
    m_pendingRoot.reset();
    self->pushViewController(std::move(root), false);
}

// ---- Stack ----

std::vector<std::shared_ptr<UIViewController>> UINavigationController::viewControllers() const
{
    ensureRoot();
    return m_stack;
}

std::shared_ptr<UIViewController> UINavigationController::topViewController() const
{
    ensureRoot();
    return m_stack.empty() ? nullptr : m_stack.back();
}

std::shared_ptr<UIViewController> UINavigationController::visibleViewController() const
{
    if (auto presented = presentedViewController())
        return presented;
    return topViewController();
}

bool UINavigationController::canJoin(const std::shared_ptr<UIViewController>& controller) const
{
    if (!controller || controller.get() == this)
        return false;
    auto parent = controller->parent();
    if (parent && parent.get() != this)
        return false;
    if (controller->presentingViewController() && !parent)
        return false;
    // Not an ancestor of this navigation controller, nor the root of a window.
    for (auto p = this->parent(); p; p = p->parent()) {
        if (p == controller)
            return false;
    }
    return parent || !ControllerHierarchy::windowOf(*controller);
}

void UINavigationController::pushViewController(
    std::shared_ptr<UIViewController> controller, bool animated, std::function<void()> completion)
{
    ensureRoot();
    if (!controller || contains(m_stack, controller.get()) || !canJoin(controller)) {
        Log::write("Warning: cannot push " + (controller ? controller->className() : std::string("nothing"))
            + ": it is already in the stack or shown elsewhere");
        return;
    }
    auto stack = m_stack;
    stack.push_back(std::move(controller));
    changeStack(std::move(stack), animated, std::move(completion));
}

std::shared_ptr<UIViewController> UINavigationController::popViewController(
    bool animated, std::function<void()> completion)
{
    ensureRoot();
    if (m_stack.size() < 2)
        return nullptr;
    auto stack = m_stack;
    auto popped = stack.back();
    stack.pop_back();
    changeStack(std::move(stack), animated, std::move(completion));
    return popped;
}

std::vector<std::shared_ptr<UIViewController>> UINavigationController::popToRootViewController(
    bool animated, std::function<void()> completion)
{
    ensureRoot();
    if (m_stack.empty())
        return {};
    return popToViewController(m_stack.front(), animated, std::move(completion));
}

std::vector<std::shared_ptr<UIViewController>> UINavigationController::popToViewController(
    const std::shared_ptr<UIViewController>& controller, bool animated, std::function<void()> completion)
{
    ensureRoot();
    auto it = std::find(m_stack.begin(), m_stack.end(), controller);
    if (it == m_stack.end() || it + 1 == m_stack.end())
        return {};
    std::vector<std::shared_ptr<UIViewController>> popped(it + 1, m_stack.end());
    std::vector<std::shared_ptr<UIViewController>> stack(m_stack.begin(), it + 1);
    changeStack(std::move(stack), animated, std::move(completion));
    return popped;
}

void UINavigationController::setViewControllers(std::vector<std::shared_ptr<UIViewController>> controllers,
    bool animated, std::function<void()> completion)
{
    // An explicit stack replaces the root given at construction.
    m_pendingRoot.reset();
    std::vector<std::shared_ptr<UIViewController>> stack;
    for (auto& c : controllers) {
        if (!c || contains(stack, c.get()) || (!contains(m_stack, c.get()) && !canJoin(c))) {
            Log::write(
                "Warning: navigation stack leaves out " + (c ? c->className() : std::string("nothing")));
            continue;
        }
        stack.push_back(std::move(c));
    }
    changeStack(std::move(stack), animated, std::move(completion));
}

void UINavigationController::show(std::shared_ptr<UIViewController> controller)
{
    pushViewController(std::move(controller), true);
}

void UINavigationController::changeStack(
    std::vector<std::shared_ptr<UIViewController>> stack, bool animated, std::function<void()> completion)
{
    ControllerHierarchy::AppearanceUpdate update(*this, animated);
    auto oldTop = m_stack.empty() ? nullptr : m_stack.back();
    auto newTop = stack.empty() ? nullptr : stack.back();
    bool pushing = newTop && !contains(m_stack, newTop.get());

    std::vector<std::shared_ptr<UIViewController>> leaving;
    for (const auto& c : m_stack) {
        if (!contains(stack, c.get()))
            leaving.push_back(c);
    }
    for (const auto& c : leaving)
        c->willMove(nullptr);
    for (const auto& c : stack) {
        if (c->parent().get() != this) {
            addChild(c);
            m_joining.push_back(c);
        }
    }
    m_stack = std::move(stack);

    if (newTop && newTop != oldTop) {
        willShowViewController(*newTop, animated);
        if (auto d = delegate())
            d->willShow(*this, *newTop, animated);
    }
    if (auto& view = viewIfLoaded(); view && newTop) {
        const auto& topView = newTop->view();
        if (topView->superview() != view)
            view->insertSubviewBelow(topView, m_bar.get());
        layoutChildren();
        if (animated && oldTop && newTop != oldTop) {
            CGRect target = topView->frame();
            if (pushing) {
                topView->setFrame(target.offsetBy(target.width(), 0));
                UIView::animate(transitionDuration, [&] { topView->setFrame(target); });
            } else if (const auto& oldView = oldTop->viewIfLoaded();
                       oldView && oldView->superview() == view) {
                view->bringSubviewToFront(oldView.get());
                view->bringSubviewToFront(m_bar.get());
                CGRect from = oldView->frame();
                UIView::animate(
                    transitionDuration, [&] { oldView->setFrame(from.offsetBy(from.width(), 0)); });
            }
        }
    }
    std::vector<std::shared_ptr<UINavigationItem>> items;
    for (const auto& c : m_stack)
        items.push_back(c->navigationItemPointer());
    m_bar->setItems(std::move(items));
    if (auto tabs = tabBarController())
        ControllerHierarchy::layoutChildren(*tabs);

    update.commit();
    auto token = m_transitions.begin();
    std::weak_ptr<UIViewController> weakSelf = weakFromThis();
    std::weak_ptr<UIViewController> shown = newTop != oldTop ? newTop : nullptr;
    ControllerHierarchy::scheduleEnd(
        animated,
        [weakSelf, token] {
            if (auto self = std::static_pointer_cast<UINavigationController>(weakSelf.lock()))
                self->transitionEnded(token);
        },
        // The leaving controllers live until their viewDidDisappear has been sent.
        [weakSelf, shown, animated, leaving = std::move(leaving), completion = std::move(completion)] {
            (void)leaving;
            auto self = std::static_pointer_cast<UINavigationController>(weakSelf.lock());
            auto top = shown.lock();
            if (self && top && self->topViewController() == top) {
                self->didShowViewController(*top, animated);
                if (auto d = self->delegate())
                    d->didShow(*self, *top, animated);
            }
            if (completion)
                completion();
        });
}

void UINavigationController::transitionEnded(const std::shared_ptr<void>& token)
{
    if (!m_transitions.end(token))
        return;
    auto self = sharedFromThis();
    const auto& view = viewIfLoaded();
    auto top = m_stack.empty() ? nullptr : m_stack.back();
    for (const auto& child : std::vector(children())) {
        bool inStack = contains(m_stack, child.get());
        if (!inStack) {
            child->removeFromParent();
        }
        if (view && child != top) {
            if (const auto& childView = child->viewIfLoaded(); childView && childView->superview() == view)
                childView->removeFromSuperview();
        }
    }
    auto joining = std::move(m_joining);
    m_joining.clear();
    for (const auto& weak : joining) {
        auto c = weak.lock();
        if (c && c->parent() == self)
            c->didMove(this);
    }
    layoutChildren();
}

// ---- Bar ----

void UINavigationController::setNavigationBarHidden(bool hidden, bool)
{
    m_barHidden = hidden;
    m_bar->setHidden(hidden);
    layoutChildren();
}

// ---- View ----

void UINavigationController::loadView()
{
    UIViewController::loadView();
    const auto& view = viewIfLoaded();
    view->addSubview(m_bar);
    view->addGestureRecognizer(m_popGesture);
}

void UINavigationController::containerViewDidLoad()
{
    std::weak_ptr<UIViewController> weakSelf = weakFromThis();
    m_bar->setBackAction([weakSelf] {
        if (auto self = std::static_pointer_cast<UINavigationController>(weakSelf.lock()))
            self->popViewController(true);
    });
    m_popGesture->addTarget([weakSelf](UIGestureRecognizer& recognizer) {
        auto self = std::static_pointer_cast<UINavigationController>(weakSelf.lock());
        if (self && recognizer.state() == UIGestureRecognizerState::ended)
            self->popViewController(true);
    });
    if (!m_popGesture->shouldBegin) {
        m_popGesture->shouldBegin = [weakSelf](UIGestureRecognizer&) {
            auto self = std::static_pointer_cast<UINavigationController>(weakSelf.lock());
            return self && self->viewControllers().size() > 1 && self->m_transitions.isIdle();
        };
    }
    ensureRoot();
    if (auto top = topViewController()) {
        const auto& topView = top->view();
        if (topView->superview() != viewIfLoaded())
            viewIfLoaded()->insertSubviewBelow(topView, m_bar.get());
    }
    layoutChildren();
}

bool UINavigationController::isChildShown(const UIViewController& child) const
{
    return !m_stack.empty() && m_stack.back().get() == &child && child.isViewLoaded();
}

CGRect UINavigationController::contentFrame(const UIViewController& child) const
{
    CGRect b = viewIfLoaded()->bounds();
    CGFloat top = 0;
    if (!m_barHidden) {
        bool underBar = (child.edgesForExtendedLayout() & UIRectEdgeTop)
            && (m_bar->isTranslucent() || child.extendedLayoutIncludesOpaqueBars());
        if (!underBar)
            top = m_bar->frame().maxY();
    }
    return { b.minX(), b.minY() + top, b.width(), std::max<CGFloat>(0, b.height() - top) };
}

void UINavigationController::layoutChildren()
{
    const auto& view = viewIfLoaded();
    if (!view)
        return;
    CGRect b = view->bounds();
    // The bar sits under the status bar, as far as this view reaches up to it.
    CGFloat statusTop = view->safeAreaInsets().top - view->additionalSafeAreaInsets().top;
    m_bar->setFrame({ b.minX(), b.minY() + statusTop, b.width(), UINavigationBar::barHeight });
    m_bar->setBackgroundExtension(statusTop);
    // Only the top: covered and leaving views keep where the transition put them.
    if (m_stack.empty())
        return;
    const auto& child = m_stack.back();
    if (const auto& childView = child->viewIfLoaded(); childView && childView->superview() == view) {
        CGRect frame = contentFrame(*child);
        // Content that runs under the bar keeps its safe area below it.
        UIEdgeInsets extra;
        if (!m_barHidden && frame.minY() == b.minY())
            extra.top = UINavigationBar::barHeight;
        if (childView->additionalSafeAreaInsets() != extra)
            childView->setAdditionalSafeAreaInsets(extra);
        if (childView->frame() != frame)
            childView->setFrame(frame);
    }
}
