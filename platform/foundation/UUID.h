#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A 128-bit universally unique identifier.
class UUID {
public:
    using Bytes = std::array<std::uint8_t, 16>;

    explicit UUID(const Bytes& bytes)
        : m_bytes(bytes)
    { }

    // A random (version 4) identifier from the secure random generator.
    static UUID random();
    // The 36-character text form, hexadecimal digits in either letter case.
    static std::optional<UUID> fromString(std::string_view text);

    // Upper-case text: "E621E1F8-C36C-495A-93FC-0C247A3E6E5F".
    std::string uuidString() const;
    const Bytes& bytes() const { return m_bytes; }

    bool operator==(const UUID&) const = default;

private:
    Bytes m_bytes;
};
