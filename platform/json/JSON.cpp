#include "platform/json/JSON.h"

#include "platform/json/JSONInternal.h"
#include "platform/json/JSONSerialization.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <numeric>
#include <span>

namespace {

constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kInt64Min = std::numeric_limits<std::int64_t>::min();

// Cuts off the fraction; saturates instead of overflowing; NaN gives 0.
std::int64_t truncateToInt64(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 9223372036854775808.0)
        return kInt64Max;
    if (value < -9223372036854775808.0)
        return kInt64Min;
    return static_cast<std::int64_t>(value);
}

std::int64_t clampToInt64(std::uint64_t value)
{
    return value > static_cast<std::uint64_t>(kInt64Max) ? kInt64Max : static_cast<std::int64_t>(value);
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The number that a text stands for, for the lenient numeric reads: optional
// surrounding white space, an optional sign, digits with an optional fraction
// and exponent. Anything else (hex, "inf", trailing letters, out of range for
// a double) is not numeric.
struct NumericText {
    bool isInteger { false };
    std::int64_t integer { 0 };
    double real { 0 };
};

std::optional<NumericText> parseNumericText(std::string_view text)
{
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);

    std::size_t i = 0;
    if (i < text.size() && text[i] == '-')
        ++i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i]))
        ++i, ++digits;
    bool integral = true;
    if (i < text.size() && text[i] == '.') {
        integral = false;
        ++i;
        while (i < text.size() && isDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        integral = false;
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        std::size_t exponentDigits = 0;
        while (i < text.size() && isDigit(text[i]))
            ++i, ++exponentDigits;
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;

    const char* first = text.data();
    const char* last = text.data() + text.size();
    NumericText result;
    if (integral) {
        auto [end, error] = std::from_chars(first, last, result.integer);
        if (error == std::errc() && end == last) {
            result.isInteger = true;
            result.real = static_cast<double>(result.integer);
            return result;
        }
        // Too long for 64 bits: fall through and read it as a double.
    }
    auto [end, error] = std::from_chars(first, last, result.real);
    if (error != std::errc() || end != last)
        return std::nullopt;
    result.integer = truncateToInt64(result.real);
    return result;
}

bool equalsIgnoringASCIICase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

template<class T> std::string decimalText(T value)
{
    char buffer[32];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof(buffer), value);
    if (error != std::errc())
        return {};
    return std::string(buffer, end);
}

// Exact comparison of an integer with a double (no rounding of the integer).
bool integerEqualsDouble(std::int64_t integer, double real)
{
    if (!(real >= -9223372036854775808.0 && real < 9223372036854775808.0) || std::trunc(real) != real)
        return false;
    return static_cast<std::int64_t>(real) == integer;
}

bool unsignedEqualsDouble(std::uint64_t integer, double real)
{
    if (!(real >= 0 && real < 18446744073709551616.0) || std::trunc(real) != real)
        return false;
    return static_cast<std::uint64_t>(real) == integer;
}

// Byte order of the UTF-8 text; the first byte settles most comparisons
// without a call into memcmp.
int compareKeys(std::string_view a, std::string_view b)
{
    if (!a.empty() && !b.empty() && a.front() != b.front())
        return static_cast<unsigned char>(a.front()) < static_cast<unsigned char>(b.front()) ? -1 : 1;
    return a.compare(b);
}

bool lessByKey(const JSON::Member& a, const JSON::Member& b)
{
    return compareKeys(a.first, b.first) < 0;
}

template<class Members> auto findKey(Members& members, std::string_view key)
{
    return std::lower_bound(
        members.begin(), members.end(), key, [](const JSON::Member& member, std::string_view wanted) {
            return compareKeys(member.first, wanted) < 0;
        });
}

} // namespace

JSON::JSON(bool value)
    : m_repr(Repr::Bool)
{
    m_scalar.boolean = value;
}

JSON::JSON(double value)
    : m_repr(Repr::Double)
{
    m_scalar.real = value;
}

JSON::JSON(const char* text)
    : JSON(std::string(text ? text : ""))
{ }

JSON::JSON(std::string_view text)
    : JSON(std::string(text))
{ }

JSON::JSON(std::string text)
    : m_repr(Repr::String)
    , m_storage(std::make_shared<Storage>(Storage { std::move(text) }))
{ }

JSON::JSON(std::vector<JSON> elements)
{
    *this = fromElements(std::move(elements));
}

JSON::JSON(const std::map<std::string, JSON>& members)
{
    std::vector<Member> list;
    list.reserve(members.size());
    for (const auto& [key, value] : members)
        list.emplace_back(key, value);
    *this = fromMembers(list);
}

JSON::JSON(JSON&& other) noexcept
    : m_repr(other.m_repr)
    , m_missing(other.m_missing)
    , m_scalar(other.m_scalar)
    , m_storage(std::move(other.m_storage))
{
    other.m_repr = Repr::Null;
    other.m_missing = false;
}

JSON& JSON::operator=(JSON&& other) & noexcept
{
    if (this == &other)
        return *this;
    m_repr = other.m_repr;
    m_missing = other.m_missing;
    m_scalar = other.m_scalar;
    m_storage = std::move(other.m_storage);
    other.m_repr = Repr::Null;
    other.m_missing = false;
    return *this;
}

void JSON::setInteger(std::int64_t value)
{
    m_repr = Repr::Int;
    m_scalar.integer = value;
}

void JSON::setUnsigned(std::uint64_t value)
{
    if (value <= static_cast<std::uint64_t>(kInt64Max)) {
        setInteger(static_cast<std::int64_t>(value));
        return;
    }
    m_repr = Repr::UInt;
    m_scalar.unsignedInteger = value;
}

JSON JSON::missing()
{
    JSON value;
    value.m_missing = true;
    return value;
}

JSON JSON::fromElements(std::vector<JSON>&& elements)
{
    for (JSON& element : elements)
        element.m_missing = false;
    JSON value;
    value.m_repr = Repr::Array;
    value.m_storage = std::make_shared<Storage>(Storage { std::move(elements) });
    return value;
}

JSON JSON::fromMembers(std::span<Member> members)
{
    std::vector<Member> unique;
    unique.reserve(members.size());
    auto keep = [&](Member& member) {
        member.second.m_missing = false;
        // Equal keys arrive next to each other, in input order: the last one wins.
        if (!unique.empty() && unique.back().first == member.first)
            unique.back() = std::move(member);
        else
            unique.push_back(std::move(member));
    };

    if (std::is_sorted(members.begin(), members.end(), lessByKey)) {
        for (Member& member : members)
            keep(member);
    } else {
        // Sorting indices and moving each member once is much cheaper than
        // swapping members around; small objects, the rule, sort on the stack.
        std::array<std::uint32_t, 64> smallOrder;
        std::vector<std::uint32_t> largeOrder;
        std::span<std::uint32_t> order;
        if (members.size() <= smallOrder.size()) {
            order = std::span(smallOrder.data(), members.size());
        } else {
            largeOrder.resize(members.size());
            order = largeOrder;
        }
        std::iota(order.begin(), order.end(), 0u);
        std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            int byKey = compareKeys(members[a].first, members[b].first);
            return byKey < 0 || (byKey == 0 && a < b); // equal keys keep their input order
        });
        for (std::uint32_t index : order)
            keep(members[index]);
    }

    JSON value;
    value.m_repr = Repr::Object;
    value.m_storage = std::make_shared<Storage>(Storage { std::move(unique) });
    return value;
}

JSON JSON::array(std::initializer_list<JSON> elements)
{
    return fromElements(std::vector<JSON>(elements));
}

JSON JSON::object(std::initializer_list<std::pair<std::string_view, JSON>> members)
{
    std::vector<Member> list;
    list.reserve(members.size());
    for (const auto& [key, value] : members)
        list.emplace_back(std::string(key), value);
    return fromMembers(list);
}

JSON JSON::parse(std::string_view text)
{
    auto value = detail::readJSON(text);
    return value ? std::move(*value) : JSON();
}

const std::string* JSON::storedString() const
{
    return m_repr == Repr::String ? std::get_if<std::string>(&m_storage->value) : nullptr;
}

const std::vector<JSON>* JSON::storedElements() const
{
    return m_repr == Repr::Array ? std::get_if<std::vector<JSON>>(&m_storage->value) : nullptr;
}

const std::vector<JSON::Member>* JSON::storedMembers() const
{
    return m_repr == Repr::Object ? std::get_if<std::vector<Member>>(&m_storage->value) : nullptr;
}

JSON::Type JSON::type() const
{
    switch (m_repr) {
    case Repr::Null:
        return Type::Null;
    case Repr::Bool:
        return Type::Bool;
    case Repr::Int:
    case Repr::UInt:
    case Repr::Double:
        return Type::Number;
    case Repr::String:
        return Type::String;
    case Repr::Array:
        return Type::Array;
    case Repr::Object:
        return Type::Object;
    }
    return Type::Null;
}

std::size_t JSON::count() const
{
    if (auto* elements = storedElements())
        return elements->size();
    if (auto* members = storedMembers())
        return members->size();
    return 0;
}

JSON JSON::operator[](std::string_view key) const
{
    auto* members = storedMembers();
    if (!members)
        return missing();
    auto it = findKey(*members, key);
    if (it == members->end() || it->first != key)
        return missing();
    return it->second;
}

JSON JSON::operator[](std::size_t index) const
{
    auto* elements = storedElements();
    if (!elements || index >= elements->size())
        return missing();
    return (*elements)[index];
}

JSON::Slot JSON::operator[](std::string_view key)
{
    return Slot(*this, nullptr, key);
}

std::string JSON::stringValue() const
{
    switch (m_repr) {
    case Repr::String:
        return *storedString();
    case Repr::Int:
        return decimalText(m_scalar.integer);
    case Repr::UInt:
        return decimalText(m_scalar.unsignedInteger);
    case Repr::Double:
        return decimalText(m_scalar.real);
    case Repr::Bool:
        return m_scalar.boolean ? "true" : "false";
    default:
        return {};
    }
}

std::int64_t JSON::intValue() const
{
    switch (m_repr) {
    case Repr::String: {
        auto number = parseNumericText(*storedString());
        return number ? number->integer : 0;
    }
    case Repr::Bool:
        return m_scalar.boolean ? 1 : 0;
    default:
        return integer().value_or(0);
    }
}

double JSON::doubleValue() const
{
    switch (m_repr) {
    case Repr::String: {
        auto number = parseNumericText(*storedString());
        return number ? number->real : 0;
    }
    case Repr::Bool:
        return m_scalar.boolean ? 1 : 0;
    default:
        return number().value_or(0);
    }
}

bool JSON::boolValue() const
{
    switch (m_repr) {
    case Repr::Bool:
        return m_scalar.boolean;
    case Repr::Int:
        return m_scalar.integer != 0;
    case Repr::UInt:
        return true;
    case Repr::Double:
        return m_scalar.real != 0;
    case Repr::String: {
        const std::string& text = *storedString();
        return equalsIgnoringASCIICase(text, "true") || equalsIgnoringASCIICase(text, "yes") || text == "1";
    }
    default:
        return false;
    }
}

std::vector<JSON> JSON::arrayValue() const
{
    auto* elements = storedElements();
    return elements ? *elements : std::vector<JSON>();
}

std::map<std::string, JSON> JSON::dictionaryValue() const
{
    std::map<std::string, JSON> result;
    if (auto* members = storedMembers()) {
        for (const auto& [key, value] : *members)
            result.emplace_hint(result.end(), key, value);
    }
    return result;
}

std::optional<std::string> JSON::string() const
{
    if (auto* text = storedString())
        return *text;
    return std::nullopt;
}

std::optional<std::int64_t> JSON::integer() const
{
    switch (m_repr) {
    case Repr::Int:
        return m_scalar.integer;
    case Repr::UInt:
        return clampToInt64(m_scalar.unsignedInteger);
    case Repr::Double:
        return truncateToInt64(m_scalar.real);
    default:
        return std::nullopt;
    }
}

std::optional<double> JSON::number() const
{
    switch (m_repr) {
    case Repr::Int:
        return static_cast<double>(m_scalar.integer);
    case Repr::UInt:
        return static_cast<double>(m_scalar.unsignedInteger);
    case Repr::Double:
        return m_scalar.real;
    default:
        return std::nullopt;
    }
}

std::optional<bool> JSON::boolean() const
{
    if (m_repr == Repr::Bool)
        return m_scalar.boolean;
    return std::nullopt;
}

std::optional<std::vector<JSON>> JSON::array() const
{
    if (auto* elements = storedElements())
        return *elements;
    return std::nullopt;
}

std::optional<std::map<std::string, JSON>> JSON::dictionary() const
{
    if (m_repr == Repr::Object)
        return dictionaryValue();
    return std::nullopt;
}

std::optional<std::string> JSON::rawString() const
{
    return rawString(JSONWritingOptions {});
}

std::optional<std::string> JSON::rawString(const JSONWritingOptions& options) const
{
    switch (m_repr) {
    case Repr::Null:
        return "null";
    case Repr::Array:
    case Repr::Object: {
        JSONWritingOptions containerOptions = options;
        containerOptions.fragmentsAllowed = true;
        return JSONSerialization::string(*this, containerOptions);
    }
    default:
        return stringValue();
    }
}

void JSON::set(std::string_view key, JSON value)
{
    value.m_missing = false;
    if (m_repr == Repr::Null) {
        Member member(std::string(key), std::move(value));
        *this = fromMembers(std::span(&member, 1));
        return;
    }
    if (m_repr != Repr::Object)
        return;
    if (m_storage.use_count() > 1)
        m_storage = std::make_shared<Storage>(*m_storage);
    auto& members = std::get<std::vector<Member>>(m_storage->value);
    auto it = findKey(members, key);
    if (it != members.end() && it->first == key)
        it->second = std::move(value);
    else
        members.emplace(it, std::string(key), std::move(value));
}

void JSON::push_back(JSON value)
{
    value.m_missing = false;
    if (m_repr == Repr::Null) {
        std::vector<JSON> elements;
        elements.push_back(std::move(value));
        *this = fromElements(std::move(elements));
        return;
    }
    if (m_repr != Repr::Array)
        return;
    if (m_storage.use_count() > 1)
        m_storage = std::make_shared<Storage>(*m_storage);
    std::get<std::vector<JSON>>(m_storage->value).push_back(std::move(value));
}

bool operator==(const JSON& a, const JSON& b)
{
    using Repr = JSON::Repr;
    if (a.type() != b.type())
        return false;
    switch (a.m_repr) {
    case Repr::Null:
        return true;
    case Repr::Bool:
        return a.m_scalar.boolean == b.m_scalar.boolean;
    case Repr::Int:
        if (b.m_repr == Repr::Int)
            return a.m_scalar.integer == b.m_scalar.integer;
        if (b.m_repr == Repr::UInt)
            return false; // UInt only holds values above the int64 range
        return integerEqualsDouble(a.m_scalar.integer, b.m_scalar.real);
    case Repr::UInt:
        if (b.m_repr == Repr::UInt)
            return a.m_scalar.unsignedInteger == b.m_scalar.unsignedInteger;
        if (b.m_repr == Repr::Int)
            return false;
        return unsignedEqualsDouble(a.m_scalar.unsignedInteger, b.m_scalar.real);
    case Repr::Double:
        if (b.m_repr == Repr::Double)
            return a.m_scalar.real == b.m_scalar.real;
        return b == a;
    case Repr::String:
        return a.m_storage == b.m_storage || *a.storedString() == *b.storedString();
    case Repr::Array:
        return a.m_storage == b.m_storage || *a.storedElements() == *b.storedElements();
    case Repr::Object:
        return a.m_storage == b.m_storage || *a.storedMembers() == *b.storedMembers();
    }
    return false;
}

JSON::Slot::Slot(JSON& owner, Slot* ownerSlot, std::string_view key)
    : JSON(std::as_const(owner)[key])
    , m_owner(&owner)
    , m_ownerSlot(ownerSlot)
    , m_key(key)
{ }

JSON::Slot JSON::Slot::operator[](std::string_view key)
{
    return Slot(*this, this, key);
}

JSON::Slot& JSON::Slot::operator=(JSON value) &&
{
    store(std::move(value));
    return *this;
}

JSON::Slot& JSON::Slot::operator=(JSON value) &
{
    store(std::move(value));
    return *this;
}

void JSON::Slot::store(JSON value)
{
    value.m_missing = false;
    static_cast<JSON&>(*this) = value;
    m_owner->set(m_key, std::move(value));
    // A slot of a slot wrote into its parent's copy; carry that copy upward.
    if (m_ownerSlot)
        m_ownerSlot->store(*m_ownerSlot);
}
