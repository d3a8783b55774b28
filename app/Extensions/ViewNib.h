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
// a nib whose first object is of another class gives, a plain instance of the class. The name is
// accepted for the callers' sake. As after loading a nib, a class with an awakeFromNib() gets it
// once the view is owned, so that it can put its parts together and constrain them.
template<std::derived_from<UIView> T>
std::shared_ptr<T> viewForXib(const std::optional<std::string>& = std::nullopt)
{
    auto view = std::make_shared<T>();
    if constexpr (requires { view->awakeFromNib(); })
        view->awakeFromNib();
    return view;
}
