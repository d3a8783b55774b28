#include "platform/ui/layout/detail/ViewLayoutState.h"

#include "platform/ui/UIView.h"

#include <any>
#include <string>

namespace detail::autolayout {

namespace {

const std::string& stateKey()
{
    static const std::string key = "zv.constraintLayout";
    return key;
}

}

ViewLayoutState* layoutState(const UIView& view)
{
    const std::any* value = view.associatedValue(stateKey());
    if (!value)
        return nullptr;
    auto* state = std::any_cast<std::shared_ptr<ViewLayoutState>>(value);
    return state ? state->get() : nullptr;
}

ViewLayoutState& ensureLayoutState(UIView& view)
{
    if (auto* state = layoutState(view))
        return *state;
    auto state = std::make_shared<ViewLayoutState>();
    auto* raw = state.get();
    view.setAssociatedValue(stateKey(), std::move(state));
    return *raw;
}

}
