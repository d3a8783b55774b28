#include "platform/foundation/Base64.h"
#include "platform/foundation/SecureRandom.h"

#include <gtest/gtest.h>

namespace {

TEST(Base64, KnownVectors)
{
    const std::pair<const char*, const char*> vectors[] = {
        { "", "" },
        { "f", "Zg==" },
        { "fo", "Zm8=" },
        { "foo", "Zm9v" },
        { "foob", "Zm9vYg==" },
        { "fooba", "Zm9vYmE=" },
        { "foobar", "Zm9vYmFy" },
        { "\xFB\xFF", "+/8=" },
    };
    for (auto& [plain, encoded] : vectors) {
        EXPECT_EQ(Base64::encode(dataFromString(plain)), encoded);
        EXPECT_EQ(Base64::decode(encoded), dataFromString(plain));
    }
}

TEST(Base64, DecodingIsStrict)
{
    for (const char* bad :
        { "Zg", "Zg=", "Zm9", "Zg=\n", "Z g==", "Zg==Zg==", "====", "Z===", "Zm9v\n", "Zm-_", "=Zm9" })
        EXPECT_FALSE(Base64::decode(bad)) << bad;
    // Unused bits of the last character are ignored, as the platform does.
    EXPECT_EQ(Base64::decode("Zh=="), dataFromString("f"));
}

}
