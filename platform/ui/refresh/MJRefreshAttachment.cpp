#include "platform/ui/refresh/MJRefreshAttachment.h"

#include <any>
#include <string>

namespace {

constexpr const char* headerKey = "MJRefresh.header";
constexpr const char* footerKey = "MJRefresh.footer";

template<typename Control> std::shared_ptr<Control> control(const UIScrollView& scrollView, const char* key)
{
    const std::any* value = scrollView.associatedValue(key);
    if (!value)
        return nullptr;
    auto* weak = std::any_cast<std::weak_ptr<Control>>(value);
    if (!weak)
        return nullptr;
    auto strong = weak->lock();
    // Taken out of the scroll view by other means: it is no longer the scroll view's.
    if (!strong || strong->superview().get() != &scrollView)
        return nullptr;
    return strong;
}

template<typename Control>
void setControl(UIScrollView& scrollView, const char* key, std::shared_ptr<Control> replacement)
{
    auto current = control<Control>(scrollView, key);
    if (current == replacement)
        return;
    if (current)
        current->removeFromSuperview();
    scrollView.setAssociatedValue(key, std::weak_ptr<Control>(replacement));
    if (replacement)
        scrollView.addSubview(replacement);
}

}

std::shared_ptr<MJRefreshHeader> mjHeader(const UIScrollView& scrollView)
{
    return control<MJRefreshHeader>(scrollView, headerKey);
}

void setMjHeader(UIScrollView& scrollView, std::shared_ptr<MJRefreshHeader> header)
{
    setControl(scrollView, headerKey, std::move(header));
}

std::shared_ptr<MJRefreshFooter> mjFooter(const UIScrollView& scrollView)
{
    return control<MJRefreshFooter>(scrollView, footerKey);
}

void setMjFooter(UIScrollView& scrollView, std::shared_ptr<MJRefreshFooter> footer)
{
    setControl(scrollView, footerKey, std::move(footer));
}
