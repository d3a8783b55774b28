#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace testserver {

// A password as the accounts keep it: PBKDF2-HMAC-SHA256 over the password and a random salt of
// its own, with the number of rounds it was made with, so that a password typed at login can be
// checked but not read back, from memory or from the state folder.
struct PasswordHash {
    // Rounds of a new hash: about 40 ms of one core, slow enough to make guessing costly and
    // short enough for the tests' many sign-ins. Kept with each hash, so a later count can differ.
    static constexpr std::uint32_t defaultRounds = 100'000;
    // A kept hash with more is refused: a login must not be made to wait for ever.
    static constexpr std::uint32_t maxRounds = 10'000'000;
    static constexpr std::size_t saltBytes = 16;
    static constexpr std::size_t hashBytes = 32;

    std::uint32_t rounds = 0;
    std::string salt; // saltBytes raw bytes
    std::string hash; // hashBytes raw bytes

    // A hash of the password under a fresh salt; none when the system's random source or the
    // digest failed.
    static std::optional<PasswordHash> make(std::string_view password, std::uint32_t rounds = defaultRounds);
    // Whether the password is the one hashed; compared in constant time.
    bool matches(std::string_view password) const;

    // {"kdf": "pbkdf2-sha256", "rounds": N, "salt": hex, "hash": hex}
    nlohmann::json toJSON() const;
    // None, with what is wrong, for anything else than what toJSON() writes, or rounds past the
    // bound.
    static std::optional<PasswordHash> fromJSON(const nlohmann::json& value, std::string* problem = nullptr);

    bool operator==(const PasswordHash&) const = default;
};

}
