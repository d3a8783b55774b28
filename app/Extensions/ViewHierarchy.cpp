#include "app/Extensions/ViewHierarchy.h"

#include "platform/ui/UIView.h"

#include <algorithm>

void removeAllSubviews(UIView& view)
{
    while (!view.subviews().empty()) {
        std::shared_ptr<UIView> first = view.subviews().front();
        first->removeFromSuperview();
    }
}

std::vector<std::shared_ptr<UIView>> superviews(const UIView& view)
{
    std::vector<std::shared_ptr<UIView>> chain;
    for (auto up = view.superview(); up; up = up->superview())
        chain.push_back(up);
    return chain;
}

std::shared_ptr<UIView> commonSuperview(UIView& view, const UIView* other)
{
    if (!other)
        return nullptr;
    if (other == &view)
        return view.sharedFromThis();
    std::vector<std::shared_ptr<UIView>> otherChain = superviews(*other);
    auto holds = [](const std::vector<std::shared_ptr<UIView>>& chain, const UIView* candidate) {
        return std::any_of(chain.begin(), chain.end(), [&](const auto& v) { return v.get() == candidate; });
    };
    if (holds(otherChain, &view))
        return view.sharedFromThis();
    std::vector<std::shared_ptr<UIView>> ownChain = superviews(view);
    if (holds(ownChain, other)) {
        for (const auto& ancestor : ownChain) {
            if (ancestor.get() == other)
                return ancestor;
        }
    }
    for (const auto& ancestor : otherChain) {
        if (holds(ownChain, ancestor.get()))
            return ancestor;
    }
    return nullptr;
}
