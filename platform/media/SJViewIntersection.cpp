#include "platform/media/SJViewIntersection.h"

#include "platform/ui/UIView.h"
#include "platform/ui/UIWindow.h"

CGRect intersectionWithView(const UIView& view, const UIView& otherView, UIEdgeInsets insets)
{
    std::shared_ptr<UIWindow> window = view.window();
    if (!window || window != otherView.window())
        return {};
    CGRect mine = view.convert(view.bounds(), nullptr);
    CGRect area = otherView.convert(otherView.bounds(), nullptr).inset(insets);
    CGRect shared = mine.intersection(area);
    if (shared.isNull() || shared.isEmpty())
        return {};
    return shared;
}
