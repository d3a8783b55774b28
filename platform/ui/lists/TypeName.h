#pragma once

#include <cstdlib>
#include <cxxabi.h>
#include <memory>
#include <string>
#include <typeinfo>

// The name of a class as its declaration spells it, without namespaces ("ZV_SettingCell"): the
// reuse identifier that typed registration uses, and the name that failed dequeues report.
template<typename T> std::string unqualifiedTypeName()
{
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> demangled(
        abi::__cxa_demangle(typeid(T).name(), nullptr, nullptr, &status), &std::free);
    std::string name = (status == 0 && demangled) ? demangled.get() : typeid(T).name();
    // Drop namespaces, but not inside template arguments.
    std::size_t depth = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (c == '<')
            ++depth;
        else if (c == '>' && depth > 0)
            --depth;
        else if (depth == 0 && c == ':' && i + 1 < name.size() && name[i + 1] == ':')
            start = i + 2;
    }
    return name.substr(start);
}
