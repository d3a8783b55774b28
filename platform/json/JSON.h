#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct JSONWritingOptions;
namespace detail {
class JSONTextReader;
class JSONTextWriter;
}

// A parsed or built JSON value with lenient, never-failing reads.
//
// Reading: subscripts give the null value for a missing key, an index out of
// range or a container of the wrong kind, so chains like json["a"]["b"][0] are
// always safe; such a value reports exists() == false. The *Value() accessors
// convert leniently (a number read as text gives its decimal text, a numeric
// text read as a number gives its value, null gives "", 0, false or empty);
// the optional accessors give a value only when the kind matches.
//
// Sharing: strings, arrays and objects live in immutable shared storage, so
// copies and subscripts never copy a tree. Writing (set, push_back, or
// json["key"] = value on a non-const value) copies only the one container it
// changes, and only when that container is shared.
//
// Objects keep their keys sorted by the bytes of their UTF-8 text; a key given
// twice keeps its last value.
class JSON {
public:
    enum class Type : std::uint8_t { Null, Bool, Number, String, Array, Object };
    using Member = std::pair<std::string, JSON>;
    class Slot;

    JSON() = default;
    JSON(std::nullptr_t) { }
    JSON(bool value);
    template<std::integral T>
    requires(!std::same_as<T, bool>) JSON(T value)
    {
        if constexpr (std::is_signed_v<T>)
            setInteger(static_cast<std::int64_t>(value));
        else
            setUnsigned(static_cast<std::uint64_t>(value));
    }
    JSON(double value);
    JSON(float value)
        : JSON(static_cast<double>(value))
    { }
    JSON(const char* text);
    JSON(std::string_view text);
    JSON(std::string text);
    template<class T> JSON(T*) = delete; // would silently become a Boolean otherwise
    explicit JSON(std::vector<JSON> elements);
    explicit JSON(const std::map<std::string, JSON>& members);

    // JSON::array({}) is the empty array (JSON::array() is the optional accessor).
    static JSON array(std::initializer_list<JSON> elements);
    static JSON object(std::initializer_list<std::pair<std::string_view, JSON>> members = {});

    // The text parser: text that is not JSON gives the null value. Top-level
    // scalars are accepted; nesting deeper than maxDepth is refused as not JSON.
    static JSON parse(std::string_view text);
    static constexpr std::size_t maxDepth = 512;

    JSON(const JSON&) = default;
    JSON(JSON&& other) noexcept;
    // Ref-qualified so that json[0] = x on a temporary does not compile silently.
    JSON& operator=(const JSON&) & = default;
    JSON& operator=(JSON&& other) & noexcept;
    ~JSON() = default;

    Type type() const;
    bool exists() const { return !m_missing; }
    bool isNull() const { return m_repr == Repr::Null; }
    std::size_t count() const; // elements or members; 0 for anything else
    bool isEmpty() const { return count() == 0; }

    JSON operator[](std::string_view key) const;
    JSON operator[](std::size_t index) const;
    Slot operator[](std::string_view key);
    JSON operator[](std::size_t index) { return std::as_const(*this)[index]; }

    std::string stringValue() const;
    std::int64_t intValue() const;
    double doubleValue() const;
    bool boolValue() const;
    std::vector<JSON> arrayValue() const;
    std::map<std::string, JSON> dictionaryValue() const;

    std::optional<std::string> string() const;
    std::optional<std::int64_t> integer() const; // numbers only; a fraction is cut off
    std::optional<double> number() const;
    std::optional<bool> boolean() const;
    std::optional<std::vector<JSON>> array() const;
    std::optional<std::map<std::string, JSON>> dictionary() const;

    // A string as it is, a number as its decimal text, true/false, "null", and
    // the written JSON of arrays and objects; nullopt when writing fails.
    std::optional<std::string> rawString() const;
    std::optional<std::string> rawString(const JSONWritingOptions& options) const;

    // Null (missing included) turns into an object or an array on first write;
    // other kinds ignore writes of the wrong shape. A missing value is stored as null.
    void set(std::string_view key, JSON value);
    void push_back(JSON value);

    friend bool operator==(const JSON& a, const JSON& b);

private:
    friend class detail::JSONTextReader;
    friend class detail::JSONTextWriter;

    struct Storage;
    enum class Repr : std::uint8_t { Null, Bool, Int, UInt, Double, String, Array, Object };

    void setInteger(std::int64_t value);
    void setUnsigned(std::uint64_t value);
    static JSON missing();
    static JSON fromElements(std::vector<JSON>&& elements);
    // Sorts by key and keeps the last of equal keys.
    static JSON fromMembers(std::span<Member> members); // moves the members out
    const std::string* storedString() const;
    const std::vector<JSON>* storedElements() const;
    const std::vector<Member>* storedMembers() const;

    Repr m_repr { Repr::Null };
    bool m_missing { false };
    union {
        bool boolean;
        std::int64_t integer;
        std::uint64_t unsignedInteger;
        double real;
    } m_scalar { .integer = 0 };
    std::shared_ptr<Storage> m_storage; // never changed while shared
};

// What json["key"] gives on a non-const value: reads like the member's value;
// assigning to it stores into the owner (nested slots store all the way up).
class JSON::Slot : public JSON {
public:
    Slot(const Slot&) = default;
    Slot& operator=(JSON value) &&;
    Slot& operator=(JSON value) &;
    Slot& operator=(const Slot& other) & { return *this = JSON(other); }

    using JSON::operator[];
    Slot operator[](std::string_view key);

private:
    friend class JSON;
    Slot(JSON& owner, Slot* ownerSlot, std::string_view key);
    void store(JSON value);

    JSON* m_owner;
    Slot* m_ownerSlot;
    std::string m_key;
};
