#pragma once

#include "platform/ui/UIView.h"
#include "platform/ui/lists/TypeName.h"

#include <concepts>
#include <memory>
#include <optional>
#include <string>

// Identifiers and interface files by class name.

// The class's own name, without namespaces: "ZV_HomeVideoCollCell".
template<std::derived_from<UIView> T> std::string reuseIdentifier()
{
    return unqualifiedTypeName<T>();
}

// There are no interface files on Linux: every view is built in code, so this always gives what
// a nib whose first object is of another class gives, a plain instance of the class. As the nib
// loader does, it then calls the view's awakeFromNib(), when the class has one, on the owned
// view (views can take subviews only once a shared_ptr owns them). The name is accepted for the
// callers' sake.
template<std::derived_from<UIView> T>
std::shared_ptr<T> viewForXib(const std::optional<std::string>& = std::nullopt)
{
    auto view = std::make_shared<T>();
    if constexpr (requires { view->awakeFromNib(); })
        view->awakeFromNib();
    return view;
}
