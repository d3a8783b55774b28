#include "platform/ui/UIWindow.h"

#include "platform/ui/UIApplication.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/detail/ControllerHierarchy.h"

#include <algorithm>

namespace {

std::vector<std::weak_ptr<UIWindow>>& shownRegistry()
{
    static std::vector<std::weak_ptr<UIWindow>> shown;
    return shown;
}

void forgetShown(const UIWindow* window)
{
    std::erase_if(shownRegistry(), [&](const auto& weak) {
        auto w = weak.lock();
        return !w || w.get() == window;
    });
}

}

UIWindow::UIWindow()
    : UIWindow(UIScreen::main().bounds())
{ }

UIWindow::UIWindow(const CGRect& frame)
    : UIView(frame)
{
    // Windows start hidden, as on the phone.
    UIView::setHidden(true);
}

UIWindow::~UIWindow()
{
    forgetShown(this);
    UIApplication::shared().windowDidBecomeHidden(this);
}

std::vector<std::shared_ptr<UIWindow>> UIWindow::shownWindows()
{
    std::vector<std::shared_ptr<UIWindow>> windows;
    for (const auto& weak : shownRegistry()) {
        if (auto w = weak.lock(); w && !w->isHidden())
            windows.push_back(std::move(w));
    }
    return windows;
}

std::shared_ptr<UIWindow> UIWindow::window() const
{
    return std::static_pointer_cast<UIWindow>(std::const_pointer_cast<UIResponder>(weak_from_this().lock()));
}

void UIWindow::setHidden(bool hidden)
{
    UIView::setHidden(hidden);
    auto self = window();
    if (!self)
        return;
    forgetShown(this);
    if (hidden) {
        UIApplication::shared().windowDidBecomeHidden(this);
        return;
    }
    shownRegistry().push_back(self);
    UIApplication::shared().windowDidBecomeVisible(self);
}

void UIWindow::makeKeyAndVisible()
{
    setHidden(false);
    makeKey();
}

void UIWindow::makeKey()
{
    if (auto self = window())
        UIApplication::shared().makeKeyWindow(self);
}

bool UIWindow::isKeyWindow() const
{
    return UIApplication::shared().keyWindow().get() == this;
}

UIScreen& UIWindow::screen() const
{
    return UIScreen::main();
}

UIEdgeInsets UIWindow::safeAreaInsets() const
{
    UIEdgeInsets screenInsets = UIScreen::main().safeAreaInsets();
    CGRect screen = UIScreen::main().bounds();
    CGRect f = frame();
    UIEdgeInsets insets;
    insets.top = std::clamp<CGFloat>(screen.minY() + screenInsets.top - f.minY(), 0, f.height());
    insets.left = std::clamp<CGFloat>(screen.minX() + screenInsets.left - f.minX(), 0, f.width());
    insets.bottom = std::clamp<CGFloat>(f.maxY() - (screen.maxY() - screenInsets.bottom), 0, f.height());
    insets.right = std::clamp<CGFloat>(f.maxX() - (screen.maxX() - screenInsets.right), 0, f.width());
    UIEdgeInsets extra = additionalSafeAreaInsets();
    return { insets.top + extra.top, insets.left + extra.left, insets.bottom + extra.bottom,
        insets.right + extra.right };
}

void UIWindow::layoutSubviews()
{
    UIView::layoutSubviews();
    detail::ControllerHierarchy::windowDidLayout(*this);
}
