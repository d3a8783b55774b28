#include "app/Extensions/ViewFrame.h"

#include "platform/ui/UIView.h"

namespace ViewFrame {

CGFloat x(const UIView& view)
{
    return view.frame().origin.x;
}

void setX(UIView& view, CGFloat value)
{
    CGRect frame = view.frame();
    frame.origin.x = value;
    view.setFrame(frame);
}

CGFloat y(const UIView& view)
{
    return view.frame().origin.y;
}

void setY(UIView& view, CGFloat value)
{
    CGRect frame = view.frame();
    frame.origin.y = value;
    view.setFrame(frame);
}

CGFloat right(const UIView& view)
{
    CGRect frame = view.frame();
    return frame.origin.x + frame.size.width;
}

void setRight(UIView& view, CGFloat value)
{
    CGRect frame = view.frame();
    frame.origin.x = value - frame.size.width;
    view.setFrame(frame);
}

CGFloat bottom(const UIView& view)
{
    CGRect frame = view.frame();
    return frame.origin.y + frame.size.height;
}

void setBottom(UIView& view, CGFloat value)
{
    CGRect frame = view.frame();
    frame.origin.y = value - frame.size.height;
    view.setFrame(frame);
}

CGFloat centerX(const UIView& view)
{
    return view.center().x;
}

void setCenterX(UIView& view, CGFloat value)
{
    view.setCenter({ value, view.center().y });
}

CGFloat centerY(const UIView& view)
{
    return view.center().y;
}

void setCenterY(UIView& view, CGFloat value)
{
    view.setCenter({ view.center().x, value });
}

CGFloat width(const UIView& view)
{
    return view.frame().size.width;
}

void setWidth(UIView& view, CGFloat value)
{
    CGRect frame = view.frame();
    frame.size.width = value;
    view.setFrame(frame);
}

CGFloat height(const UIView& view)
{
    return view.frame().size.height;
}

void setHeight(UIView& view, CGFloat value)
{
    CGRect frame = view.frame();
    frame.size.height = value;
    view.setFrame(frame);
}

CGPoint origin(const UIView& view)
{
    return view.frame().origin;
}

void setOrigin(UIView& view, CGPoint value)
{
    CGRect frame = view.frame();
    frame.origin = value;
    view.setFrame(frame);
}

CGSize size(const UIView& view)
{
    return view.frame().size;
}

void setSize(UIView& view, CGSize value)
{
    CGRect frame = view.frame();
    frame.size = value;
    view.setFrame(frame);
}

void trimRight(UIView& view, CGFloat position)
{
    CGRect frame = view.frame();
    CGFloat newWidth = position - frame.origin.x;
    if (newWidth < 0 || newWidth >= frame.size.width)
        return;
    frame.size.width = newWidth;
    view.setFrame(frame);
}

}
