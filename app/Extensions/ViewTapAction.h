#pragma once

#include <functional>

class UILongPressGestureRecognizer;
class UITapGestureRecognizer;
class UIView;

// Closures run by gestures on a view, kept with the view. Main thread only.

using TapAction = std::function<void(UITapGestureRecognizer&)>;
using LongPressAction = std::function<void(UILongPressGestureRecognizer&)>;

// Turns the view's interaction on and makes a tap run `action`. The first call adds one tap
// recogniser; later calls only replace the closure, so a tap never runs two of them.
void addTapAction(UIView& view, TapAction action);

// What the recognisers call: the closure stored on the view, if any, with the sender.
void handleActionForTapGesture(UIView& view, UITapGestureRecognizer& sender);
// Nothing in the app installs a long-press closure; the handler is here for views that do.
void handleActionForLongGesture(UIView& view, UILongPressGestureRecognizer& sender);
