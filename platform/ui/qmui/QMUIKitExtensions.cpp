#include "platform/ui/qmui/QMUIKitExtensions.h"

#include "platform/ui/UIScreen.h"
#include "platform/ui/UIView.h"
#include "platform/ui/lists/UIScrollView.h"

#include <algorithm>

void qmui_setFrameApplyTransform(UIView& view, const CGRect& frame)
{
    CGRect r = frame.standardized();
    CGRect bounds = view.bounds();
    bounds.size = r.size;
    view.setBounds(bounds);
    view.setCenter(r.center());
}

CGRect qmui_frameApplyTransform(const UIView& view)
{
    CGSize size = view.bounds().size;
    CGPoint c = view.center();
    return { c.x - size.width / 2, c.y - size.height / 2, size.width, size.height };
}

UIImage qmui_snapshotLayerImage(const UIView& view)
{
    return view.snapshotImage();
}

UIImage qmui_imageWithColor(const UIColor& color, CGSize size)
{
    return UIImage::filled(color, size, UIScreen::main().scale());
}

UIColor qmui_colorWithAlphaAddedToWhite(const UIColor& color, CGFloat alpha)
{
    UIColor::RGBA c = color.rgba();
    CGFloat a = std::clamp<CGFloat>(alpha, 0, 1);
    auto over = [a](CGFloat front) { return front * a + 1 * (1 - a); };
    return { over(c.red), over(c.green), over(c.blue), 1 };
}

UIColor qmui_transitionToColor(const UIColor& from, const UIColor& to, CGFloat progress)
{
    CGFloat p = std::clamp<CGFloat>(progress, 0, 1);
    UIColor::RGBA a = from.rgba();
    UIColor::RGBA b = to.rgba();
    auto mix = [p](CGFloat x, CGFloat y) { return x + (y - x) * p; };
    return { mix(a.red, b.red), mix(a.green, b.green), mix(a.blue, b.blue), mix(a.alpha, b.alpha) };
}

void qmui_scrollToBottom(UIScrollView& scrollView, bool animated)
{
    UIEdgeInsets inset = scrollView.adjustedContentInset();
    CGFloat bottom = scrollView.contentSize().height + inset.bottom - scrollView.bounds().height();
    CGFloat y = std::max(bottom, -inset.top);
    scrollView.setContentOffset({ scrollView.contentOffset().x, y }, animated);
}
