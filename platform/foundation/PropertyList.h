#pragma once

#include "platform/foundation/Data.h"

#include <concepts>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// A value of the property-list family: what the defaults store and the information file hold.
// Booleans and integers are distinct types here (the platform's boxed numbers blur them; the
// typed getters below apply the platform's conversions instead).
class PropertyList {
public:
    using Array = std::vector<PropertyList>;
    using Dictionary = std::map<std::string, PropertyList, std::less<>>;

    enum class Type { Bool, Integer, Double, String, Data, Array, Dictionary };

    PropertyList(bool value)
        : m_value(value)
    { }
    template<std::integral T>
    requires(!std::same_as<T, bool>) PropertyList(T value)
        : m_value(static_cast<std::int64_t>(value))
    { }
    PropertyList(double value)
        : m_value(value)
    { }
    PropertyList(std::string value)
        : m_value(std::move(value))
    { }
    PropertyList(std::string_view value)
        : m_value(std::string(value))
    { }
    PropertyList(const char* value)
        : m_value(std::string(value))
    { }
    PropertyList(::Data value)
        : m_value(std::move(value))
    { }
    PropertyList(Array value)
        : m_value(std::move(value))
    { }
    PropertyList(Dictionary value)
        : m_value(std::move(value))
    { }
    PropertyList(const std::vector<std::string>& strings);

    Type type() const { return static_cast<Type>(m_value.index()); }

    // Exact access: null when the value is of another type.
    const bool* asBool() const { return std::get_if<bool>(&m_value); }
    const std::int64_t* asInteger() const { return std::get_if<std::int64_t>(&m_value); }
    const double* asDouble() const { return std::get_if<double>(&m_value); }
    const std::string* asString() const { return std::get_if<std::string>(&m_value); }
    const ::Data* asData() const { return std::get_if<::Data>(&m_value); }
    const Array* asArray() const { return std::get_if<Array>(&m_value); }
    const Dictionary* asDictionary() const { return std::get_if<Dictionary>(&m_value); }

    // The platform's coercions, as its defaults store applies them in its typed getters:
    // - boolValue: numbers are true when not zero; text "true"/"yes" (any letter case) is true,
    //   "false"/"no" is false, other text is true when its leading integer is not zero.
    // - integerValue: Booleans give 0 or 1, doubles are truncated toward zero (saturating), text
    //   gives its leading integer (blanks skipped, optional sign; 0 when none, saturating).
    // - doubleValue: Booleans give 0 or 1, integers widen, text gives its leading decimal number.
    // - stringValue: text as it is, numbers and Booleans as decimal text ("1"/"0" for Booleans).
    // Data, arrays and dictionaries give false, 0, 0.0 and none.
    bool boolValue() const;
    std::int64_t integerValue() const;
    double doubleValue() const;
    std::optional<std::string> stringValue() const;
    // An array whose elements are all text; none for anything else.
    std::optional<std::vector<std::string>> stringArrayValue() const;

    bool operator==(const PropertyList& other) const;

private:
    std::variant<bool, std::int64_t, double, std::string, ::Data, Array, Dictionary> m_value;
};
