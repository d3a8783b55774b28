#pragma once

#include "platform/ui/CGGeometry.h"

class UIView;

// Shortcuts for one part of a view's frame or centre. Each setter reads the current frame (or
// centre) and changes only the named part.
namespace ViewFrame {

CGFloat x(const UIView& view);
void setX(UIView& view, CGFloat value);
CGFloat y(const UIView& view);
void setY(UIView& view, CGFloat value);
// origin x + width; setting it moves the view and keeps its width.
CGFloat right(const UIView& view);
void setRight(UIView& view, CGFloat value);
// origin y + height; setting it moves the view and keeps its height.
CGFloat bottom(const UIView& view);
void setBottom(UIView& view, CGFloat value);
CGFloat centerX(const UIView& view);
void setCenterX(UIView& view, CGFloat value);
CGFloat centerY(const UIView& view);
void setCenterY(UIView& view, CGFloat value);
CGFloat width(const UIView& view);
void setWidth(UIView& view, CGFloat value);
CGFloat height(const UIView& view);
void setHeight(UIView& view, CGFloat value);
CGPoint origin(const UIView& view);
void setOrigin(UIView& view, CGPoint value);
CGSize size(const UIView& view);
void setSize(UIView& view, CGSize value);

// Moves the right edge left to `position`, keeping the origin; a position left of the origin
// or at or right of the current right edge changes nothing (the view only ever narrows).
void trimRight(UIView& view, CGFloat position);

}
