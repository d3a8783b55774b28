#pragma once

#include "platform/ui/UIViewController.h"

#include <functional>
#include <memory>

// The closures that the panel presenters hand to their panels. Each holds the presenter weakly,
// reads the presenter's own closure only when the event arrives, and does nothing once the
// presenter is gone. The hide always comes first, so an owner that opens something new from its
// closure finds this sheet already on its way out.
namespace presenterrelays {

template<typename Presenter> std::function<void()> hide(std::weak_ptr<UIViewController> weak)
{
    return [weak] {
        if (auto self = std::static_pointer_cast<Presenter>(weak.lock()))
            self->hideWithAnimated(true);
    };
}

// Hides, then calls the presenter's `closure` with the panel's arguments when it is set.
template<typename Presenter, typename... Args>
std::function<void(Args...)> hideThenRelay(
    std::weak_ptr<UIViewController> weak, std::function<void(Args...)> Presenter::*closure)
{
    return [weak, closure](Args... args) {
        auto self = std::static_pointer_cast<Presenter>(weak.lock());
        if (!self)
            return;
        self->hideWithAnimated(true);
        // A copy: the owner's closure may replace itself or drop the presenter.
        if (std::function<void(Args...)> relay = (*self).*closure)
            relay(args...);
    };
}

// Calls the presenter's `closure` when it is set, and leaves the panel on screen.
template<typename Presenter, typename... Args>
std::function<void(Args...)> relayOnly(
    std::weak_ptr<UIViewController> weak, std::function<void(Args...)> Presenter::*closure)
{
    return [weak, closure](Args... args) {
        auto self = std::static_pointer_cast<Presenter>(weak.lock());
        if (!self)
            return;
        if (std::function<void(Args...)> relay = (*self).*closure)
            relay(args...);
    };
}

}
