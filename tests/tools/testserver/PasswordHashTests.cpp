// A password kept as a salted slow hash: it signs in as typed and only so, and a kept hash that is
// not what the server writes is refused rather than trusted.

#include "tools/testserver/PasswordHash.h"

#include <gtest/gtest.h>

using testserver::PasswordHash;

namespace {

// Few rounds: these cases are about what is compared, not about the cost of a guess.
constexpr std::uint32_t kRounds = 1000;

TEST(PasswordHash, OnlyThePasswordAsTypedMatches)
{
    std::optional<PasswordHash> hash = PasswordHash::make("rain-over-2023", kRounds);
    ASSERT_TRUE(hash);
    struct Case {
        const char* typed;
        bool matches;
    };
    const Case cases[] = {
        { "rain-over-2023", true },
        { "rain-over-2024", false },
        { "Rain-over-2023", false },
        { "rain-over-202", false },
        { "rain-over-2023 ", false },
        { "", false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(hash->matches(c.typed), c.matches) << c.typed;
}

TEST(PasswordHash, EachHashHasASaltOfItsOwnAndKeepsItsRounds)
{
    std::optional<PasswordHash> first = PasswordHash::make("pass-1", kRounds);
    std::optional<PasswordHash> second = PasswordHash::make("pass-1", kRounds + 1);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first->salt, second->salt);
    EXPECT_NE(first->hash, second->hash);
    EXPECT_EQ(second->toJSON()["rounds"], kRounds + 1);
    for (const PasswordHash& hash : { *first, *second }) {
        std::optional<PasswordHash> read = PasswordHash::fromJSON(hash.toJSON());
        ASSERT_TRUE(read);
        EXPECT_EQ(*read, hash);
        EXPECT_TRUE(read->matches("pass-1"));
        EXPECT_EQ(hash.toJSON().dump().find("pass-1"), std::string::npos);
    }
    EXPECT_EQ(PasswordHash::make("pass-1")->rounds, PasswordHash::defaultRounds);
    EXPECT_FALSE(PasswordHash::make("pass-1", PasswordHash::maxRounds + 1)) << "no hash a login waits for ever on";
}

TEST(PasswordHash, AKeptHashOfAnotherShapeIsRefused)
{
    const nlohmann::json good = PasswordHash::make("pass-1", kRounds)->toJSON();
    auto with = [&good](const char* key, nlohmann::json value) {
        nlohmann::json changed = good;
        changed[key] = std::move(value);
        return changed;
    };
    auto without = [&good](const char* key) {
        nlohmann::json changed = good;
        changed.erase(key);
        return changed;
    };
    const std::string salt = good["salt"];
    const std::string hash = good["hash"];
    struct Case {
        const char* what;
        nlohmann::json value;
    };
    const Case cases[] = {
        { "plain text", "pass-1" },
        { "no kind", without("kdf") },
        { "another kind", with("kdf", "scrypt") },
        { "no rounds", without("rounds") },
        { "no rounds at all", with("rounds", 0) },
        { "rounds past the bound", with("rounds", PasswordHash::maxRounds + 1) },
        { "negative rounds", with("rounds", -5) },
        { "rounds as text", with("rounds", "1000") },
        { "a short salt", with("salt", salt.substr(2)) },
        { "a salt not in hex", with("salt", "zz" + salt.substr(2)) },
        { "a salt in capitals", with("salt", std::string(32, 'A')) },
        { "a short hash", with("hash", hash.substr(2)) },
        { "a hash that is no text", with("hash", 7) },
        { "a member more", with("password", "pass-1") },
    };
    for (const Case& c : cases) {
        std::string problem;
        EXPECT_FALSE(PasswordHash::fromJSON(c.value, &problem)) << c.what;
        EXPECT_FALSE(problem.empty()) << c.what;
    }
    ASSERT_TRUE(PasswordHash::fromJSON(with("rounds", PasswordHash::maxRounds))) << "the bound itself";
}

}
