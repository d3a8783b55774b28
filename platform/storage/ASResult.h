#pragma once

#include <optional>
#include <string>
#include <utility>

// Why a store operation failed, in words for the log.
struct ASError {
    std::string message;
};

// The value of a store operation, or the reason it failed. Nothing in the store throws.
template<typename T> class ASResult {
public:
    ASResult(T value)
        : m_value(std::move(value))
    { }
    ASResult(ASError error)
        : m_error(std::move(error.message))
    { }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }

    // Only valid when ok().
    T& value() & { return *m_value; }
    const T& value() const& { return *m_value; }
    T&& value() && { return std::move(*m_value); }
    T* operator->() { return &*m_value; }
    const T* operator->() const { return &*m_value; }
    T& operator*() & { return *m_value; }
    const T& operator*() const& { return *m_value; }

    T valueOr(T fallback) const& { return m_value ? *m_value : std::move(fallback); }

    // Empty when ok().
    const std::string& error() const { return m_error; }

private:
    std::optional<T> m_value;
    std::string m_error;
};

// Success or the reason of a failure, for operations without a value.
class ASStatus {
public:
    ASStatus() = default;
    ASStatus(ASError error)
        : m_error(std::move(error.message))
        , m_failed(true)
    { }

    static ASStatus success() { return {}; }

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const std::string& error() const { return m_error; }

private:
    std::string m_error;
    bool m_failed = false;
};
