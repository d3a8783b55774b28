#pragma once

#include "platform/ui/CGGeometry.h"

class UIView;

// The player framework's answer to "how much of this view shows inside that one": the part of
// `view` that lies inside `otherView` shrunk by `insets`, in window coordinates. The zero
// rectangle when either view is in no window, they are in different windows, or they do not
// overlap. Lists of players use its height to pick the one to play. Main thread only.
CGRect intersectionWithView(const UIView& view, const UIView& otherView, UIEdgeInsets insets = {});
