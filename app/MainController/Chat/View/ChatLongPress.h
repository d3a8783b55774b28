#pragma once

#include "platform/ui/UIView.h"
#include "platform/ui/gestures/UILongPressGestureRecognizer.h"

#include <functional>
#include <memory>

// The press on a message's avatar or bubble: held 0.4 s, touches kept from the view until the
// press fails; the view takes touches. The handler hears every state change.
inline void installMessageLongPress(UIView& view, std::function<void(UILongPressGestureRecognizer&)> handler)
{
    auto press = std::make_shared<UILongPressGestureRecognizer>(
        [handler = std::move(handler)](UIGestureRecognizer& recognizer) {
            handler(static_cast<UILongPressGestureRecognizer&>(recognizer));
        });
    press->minimumPressDuration = 0.4;
    press->delaysTouchesBegan = true;
    view.setUserInteractionEnabled(true);
    view.addGestureRecognizer(press);
}
