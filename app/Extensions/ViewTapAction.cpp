#include "app/Extensions/ViewTapAction.h"

#include "platform/ui/UIView.h"
#include "platform/ui/gestures/UILongPressGestureRecognizer.h"
#include "platform/ui/gestures/UITapGestureRecognizer.h"

#include <memory>

namespace {

const char* const kTapKey = "ViewTapAction.tap";
const char* const kLongPressKey = "ViewTapAction.longPress";

}

void addTapAction(UIView& view, TapAction action)
{
    view.setUserInteractionEnabled(true);
    // The recogniser exists exactly while a closure is stored, so the stored closure tells.
    if (!view.associatedValueAs<TapAction>(kTapKey)) {
        std::weak_ptr<UIView> weakView = view.weakFromThis();
        auto recognizer = std::make_shared<UITapGestureRecognizer>([weakView](UIGestureRecognizer& sender) {
            if (auto target = weakView.lock())
                handleActionForTapGesture(*target, static_cast<UITapGestureRecognizer&>(sender));
        });
        view.addGestureRecognizer(recognizer);
    }
    view.setAssociatedValue(kTapKey, std::move(action));
}

void handleActionForTapGesture(UIView& view, UITapGestureRecognizer& sender)
{
    const TapAction* stored = view.associatedValueAs<TapAction>(kTapKey);
    if (!stored || !*stored)
        return;
    // A copy: the closure may replace itself while it runs.
    TapAction action = *stored;
    action(sender);
}

void handleActionForLongGesture(UIView& view, UILongPressGestureRecognizer& sender)
{
    const LongPressAction* stored = view.associatedValueAs<LongPressAction>(kLongPressKey);
    if (!stored || !*stored)
        return;
    LongPressAction action = *stored;
    action(sender);
}
