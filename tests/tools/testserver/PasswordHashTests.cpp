// A password kept as a salted slow hash signs in as typed and only so; a kept hash that is not
// what the server writes is refused rather than trusted.

#include "tools/testserver/PasswordHash.h"

#include <gtest/gtest.h>

using testserver::PasswordHash;

namespace {

// Few rounds: these cases are about what is compared, not about the cost of a guess.
constexpr std::uint32_t kRounds = 1000;

TEST(PasswordHash, OnlyThePasswordAsTypedMatchesAndEachHasASaltOfItsOwn)
{
    std::optional<PasswordHash> hash = PasswordHash::make("rain-over-2023", kRounds);
    std::optional<PasswordHash> again = PasswordHash::make("rain-over-2023", kRounds + 1);
    ASSERT_TRUE(hash && again);
    EXPECT_NE(hash->salt, again->salt);
    for (const PasswordHash& kept : { *hash, *again, *PasswordHash::fromJSON(again->toJSON()) }) {
        for (const char* typed : { "rain-over-2024", "Rain-over-2023", "rain-over-202", "rain-over-2023 ", "" })
            EXPECT_FALSE(kept.matches(typed)) << typed;
        EXPECT_TRUE(kept.matches("rain-over-2023"));
    }
    EXPECT_EQ(again->toJSON()["rounds"], kRounds + 1);
    EXPECT_EQ(again->toJSON().dump().find("rain"), std::string::npos);
}

TEST(PasswordHash, AKeptHashOfAnotherShapeIsRefused)
{
    const nlohmann::json good = PasswordHash::make("pass-1", kRounds)->toJSON();
    auto with = [&good](const char* key, nlohmann::json value) {
        nlohmann::json changed = good;
        changed[key] = std::move(value);
        return changed;
    };
    const std::string salt = good["salt"];
    const nlohmann::json cases[] = { "pass-1", with("kdf", "scrypt"), with("rounds", 0),
        with("rounds", PasswordHash::maxRounds + 1), with("rounds", "1000"), with("salt", salt.substr(2)),
        with("salt", "zz" + salt.substr(2)), with("hash", 7), with("password", "pass-1") };
    for (const nlohmann::json& value : cases)
        EXPECT_FALSE(PasswordHash::fromJSON(value)) << value.dump();
    EXPECT_TRUE(PasswordHash::fromJSON(with("rounds", PasswordHash::maxRounds))) << "the bound itself";
    EXPECT_FALSE(PasswordHash::make("pass-1", PasswordHash::maxRounds + 1)) << "no hash a login waits for ever on";
}

}
