#include "app/Extensions/CollectionViewAnimation.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/ui/UIView.h"

void CollectionViewAnimation::left_right(
    const std::shared_ptr<UIView>& view, float view_width, float animation) const
{
    double seconds = animation;
    slide(view, -double(view_width), 0, seconds + 0.1, seconds + 0.1);
}

void CollectionViewAnimation::right_left(
    const std::shared_ptr<UIView>& view, float view_width, float animation) const
{
    double seconds = animation;
    slide(view, double(view_width), 0, seconds, seconds + 0.1);
}

void CollectionViewAnimation::top_bottom(
    const std::shared_ptr<UIView>& view, float view_height, float animation) const
{
    double seconds = animation;
    slide(view, 0, -double(view_height), seconds + 0.1, seconds + 0.1);
}

void CollectionViewAnimation::bottom_top(
    const std::shared_ptr<UIView>& view, float view_height, float animation) const
{
    double seconds = animation;
    slide(view, 0, double(view_height), seconds, seconds + 0.1);
}

void CollectionViewAnimation::delayBy(double seconds, std::function<void()> code) const
{
    DispatchQueue::main().asyncAfter(DispatchTime::now() + seconds, std::move(code));
}

void CollectionViewAnimation::slide(
    const std::shared_ptr<UIView>& view, double dx, double dy, double delay, double duration) const
{
    if (!view)
        return;
    UIView::animate(0, [&] { view->setTransform(CGAffineTransform::translation(dx, dy)); });
    std::weak_ptr<UIView> weakView = view;
    delayBy(delay, [weakView, duration] {
        auto target = weakView.lock();
        if (!target)
            return;
        UIView::animate(duration, [&] { target->setTransform(CGAffineTransform::identity()); });
    });
}
