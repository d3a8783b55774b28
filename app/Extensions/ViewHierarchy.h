#pragma once

#include <memory>
#include <vector>

class UIView;

// Removes the subviews one by one, first first, until none is left.
void removeAllSubviews(UIView& view);

// The view's superview, its superview and so on, nearest first.
std::vector<std::shared_ptr<UIView>> superviews(const UIView& view);

// The nearest view that holds both: nothing without `other`; the view itself when `other` is
// the view or one of its descendants; `other` when it holds the view; otherwise the first of
// `other`'s ancestors that is also one of the view's; nothing when the trees are apart.
std::shared_ptr<UIView> commonSuperview(UIView& view, const UIView* other);
