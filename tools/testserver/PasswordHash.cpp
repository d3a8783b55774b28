#include "tools/testserver/PasswordHash.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

namespace testserver {

namespace {

constexpr std::string_view kKind = "pbkdf2-sha256";

std::optional<std::string> derive(std::string_view password, const std::string& salt, std::uint32_t rounds)
{
    std::string out(PasswordHash::hashBytes, '\0');
    if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()),
            reinterpret_cast<const unsigned char*>(salt.data()), static_cast<int>(salt.size()),
            static_cast<int>(rounds), EVP_sha256(), static_cast<int>(out.size()),
            reinterpret_cast<unsigned char*>(out.data()))
        != 1)
        return std::nullopt;
    return out;
}

std::string toHex(const std::string& bytes)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

// Lowercase hex of exactly `size` bytes, as toHex writes it.
std::optional<std::string> fromHex(const std::string& text, std::size_t size)
{
    auto value = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    if (text.size() != size * 2)
        return std::nullopt;
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        int high = value(text[i]);
        int low = value(text[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

}

std::optional<PasswordHash> PasswordHash::make(std::string_view password, std::uint32_t rounds)
{
    if (rounds == 0 || rounds > maxRounds)
        return std::nullopt;
    PasswordHash made;
    made.rounds = rounds;
    made.salt.assign(saltBytes, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(made.salt.data()), static_cast<int>(saltBytes)) != 1)
        return std::nullopt;
    std::optional<std::string> hash = derive(password, made.salt, rounds);
    if (!hash)
        return std::nullopt;
    made.hash = std::move(*hash);
    return made;
}

bool PasswordHash::matches(std::string_view password) const
{
    std::optional<std::string> typed = derive(password, salt, rounds);
    return typed && typed->size() == hash.size() && CRYPTO_memcmp(typed->data(), hash.data(), hash.size()) == 0;
}

nlohmann::json PasswordHash::toJSON() const
{
    return { { "kdf", kKind }, { "rounds", rounds }, { "salt", toHex(salt) }, { "hash", toHex(hash) } };
}

std::optional<PasswordHash> PasswordHash::fromJSON(const nlohmann::json& value, std::string* problem)
{
    auto fail = [problem](std::string message) -> std::optional<PasswordHash> {
        if (problem)
            *problem = std::move(message);
        return std::nullopt;
    };
    if (!value.is_object() || value.size() != 4)
        return fail("is not an object of kdf, rounds, salt and hash");
    auto kind = value.find("kdf");
    if (kind == value.end() || *kind != kKind)
        return fail("is not of the kind pbkdf2-sha256");
    auto rounds = value.find("rounds");
    if (rounds == value.end() || !rounds->is_number_unsigned() || rounds->get<std::uint64_t>() == 0
        || rounds->get<std::uint64_t>() > maxRounds)
        return fail("has no rounds from 1 to " + std::to_string(maxRounds));
    auto text = [&value](const char* key) {
        auto it = value.find(key);
        return it != value.end() && it->is_string() ? it->get<std::string>() : std::string();
    };
    PasswordHash read;
    read.rounds = static_cast<std::uint32_t>(rounds->get<std::uint64_t>());
    std::optional<std::string> salt = fromHex(text("salt"), saltBytes);
    std::optional<std::string> hash = fromHex(text("hash"), hashBytes);
    if (!salt || !hash)
        return fail("has no salt of " + std::to_string(saltBytes) + " and hash of " + std::to_string(hashBytes)
            + " bytes in hex");
    read.salt = std::move(*salt);
    read.hash = std::move(*hash);
    return read;
}

}
