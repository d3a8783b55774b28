#pragma once

#include "app/Core/Storage/UserDefaultSettable.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

// The typed keys of the app's persistent flags, token and search history:
//   StoreData::set(PropertyList(token), StoreData::access_token);
//   bool dark = StoreData::boolValue(StoreData::isDarkColor);
class StoreData : public UserDefaultSettable<StoreData> {
public:
    enum Case {
        isDarkColor, // Bool: dark appearance chosen
        access_token, // String: the signed-in viewer's token; absent when signed out
        history, // array of String: the search history
        pureMode, // Bool: teen mode on
        pureAlert, // Bool: the teen-mode prompt has been answered
    };
    static constexpr std::size_t caseCount = 5;
    static constexpr std::string_view typeName = "StoreData";

    constexpr StoreData(Case value)
        : m_case(value)
    { }

    // Exactly the case names; none for any other text (letter case and blanks count).
    static std::optional<StoreData> fromRawValue(std::string_view rawValue);

    std::string_view rawValue() const;
    constexpr Case caseValue() const { return m_case; }

    constexpr bool operator==(const StoreData& other) const { return m_case == other.m_case; }

private:
    Case m_case;
};

template<> struct std::hash<StoreData> {
    std::size_t operator()(const StoreData& key) const noexcept { return std::hash<int>()(key.caseValue()); }
};
