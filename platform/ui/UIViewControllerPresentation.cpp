#include "platform/foundation/Log.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/UIViewController.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/detail/ControllerHierarchy.h"

// Modal presentation. A presentation is hosted by the topmost ancestor of the controller asked
// to present; the host owns the presented controller, which knows its host weakly. The model
// changes at once (so lookups of the top controller see the new state); the views of covered
// or dismissed controllers leave the window when the transitions have settled.

using detail::ControllerHierarchy;

namespace {

void refuse(const std::string& message)
{
    Log::write("Warning: " + message);
}

}

bool UIViewController::present(
    std::shared_ptr<UIViewController> controller, bool animated, std::function<void()> completion)
{
    if (!controller) {
        refuse("Attempt to present nothing on " + className());
        return false;
    }
    auto host = ControllerHierarchy::topLevel(*this);
    if (auto current = host->m_presented) {
        refuse("Attempt to present " + controller->className() + " on " + host->className()
            + " which is already presenting " + current->className());
        return false;
    }
    auto window = ControllerHierarchy::windowOf(*host);
    if (!window) {
        refuse("Attempt to present " + controller->className() + " on " + host->className()
            + " whose view is not in the window hierarchy");
        return false;
    }
    bool shownElsewhere = controller->parent() || controller->m_presenting.lock()
        || ControllerHierarchy::windowOf(*controller);
    if (shownElsewhere) {
        refuse("Application tried to present " + controller->className() + ", which is already shown");
        return false;
    }

    ControllerHierarchy::AppearanceUpdate update(window, animated);
    host->m_presented = controller;
    controller->m_presenting = host;

    const auto& view = controller->view();
    CGRect bounds = window->bounds();
    window->addSubview(view);
    if (animated) {
        // Slides up from below the screen; the view takes its place at once and the move is
        // recorded as an animation.
        view->setFrame(bounds.offsetBy(0, bounds.height()));
        UIView::animate(transitionDuration, [&] { view->setFrame(bounds); });
    } else {
        view->setFrame(bounds);
    }
    update.commit();
    view->layoutIfNeeded();
    ControllerHierarchy::scheduleEnd(animated, {}, std::move(completion));
    return true;
}

void UIViewController::dismiss(bool animated, std::function<void()> completion)
{
    auto host = ControllerHierarchy::topLevel(*this);
    std::shared_ptr<UIViewController> base;
    std::shared_ptr<UIViewController> target;
    if (host->m_presented) {
        base = host;
        target = host->m_presented;
    } else if (auto presenting = host->m_presenting.lock()) {
        base = presenting;
        target = host;
    } else {
        return;
    }

    auto window = ControllerHierarchy::windowOf(*base);
    ControllerHierarchy::AppearanceUpdate update(window, animated);
    // The target and everything it presents go together; they stay alive until the end.
    auto dismissed = ControllerHierarchy::presentationChain(target);
    base->m_presented.reset();
    for (const auto& c : dismissed) {
        c->m_presenting.reset();
        c->m_presented.reset();
    }
    if (window) {
        // Controllers that come back into view get their views back under the leaving ones.
        auto chain = ControllerHierarchy::presentationChain(window->rootViewController());
        const UIView* above = nullptr;
        for (const auto& c : dismissed) {
            if (c->m_view && c->m_view->superview() == window) {
                above = c->m_view.get();
                break;
            }
        }
        for (std::size_t i = ControllerHierarchy::firstShownIndex(chain); i < chain.size(); ++i) {
            const auto& view = chain[i]->view();
            if (view->superview() == window)
                continue;
            view->setFrame(window->bounds());
            if (above)
                window->insertSubviewBelow(view, above);
            else
                window->addSubview(view);
        }
    }
    update.commit();
    ControllerHierarchy::scheduleEnd(
        animated, {}, [dismissed = std::move(dismissed), completion = std::move(completion)] {
            (void)dismissed;
            if (completion)
                completion();
        });
}

std::shared_ptr<UIViewController> UIViewController::presentedViewController() const
{
    if (m_presented)
        return m_presented;
    if (auto p = parent())
        return p->presentedViewController();
    return nullptr;
}

std::shared_ptr<UIViewController> UIViewController::presentingViewController() const
{
    if (auto presenting = m_presenting.lock())
        return presenting;
    if (auto p = parent())
        return p->presentingViewController();
    return nullptr;
}

void UIViewController::show(std::shared_ptr<UIViewController> controller)
{
    if (auto nav = navigationController()) {
        nav->show(std::move(controller));
        return;
    }
    present(std::move(controller), true);
}
