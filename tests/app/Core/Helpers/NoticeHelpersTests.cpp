#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Helpers/NoticeHelpers.h"
#include "platform/foundation/AppContainer.h"
#include "platform/foundation/UserDefaults.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {

class NewNotice : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppContainer::setHome(m_home.path());
        UserDefaults::resetStandardForTesting();
        ConfigSingleton::shared().zv_configData.reset();
    }
    void TearDown() override
    {
        ConfigSingleton::shared().zv_configData.reset();
        UserDefaults::resetStandardForTesting();
        AppContainer::setHome({});
    }

    static void configure(std::optional<std::string> newNotice)
    {
        if (!newNotice) {
            ConfigSingleton::shared().zv_configData.reset();
            return;
        }
        auto config = std::make_shared<ZV_ConfigData>();
        config->new_notice = *newNotice;
        ConfigSingleton::shared().zv_configData = config;
    }
    static void store(std::optional<std::string> count)
    {
        if (count)
            UserDefaults::standard().set(PropertyList(*count), "new_notice");
        else
            UserDefaults::standard().removeObjectForKey("new_notice");
    }

    zvtest::TempDir m_home;
};

TEST_F(NewNotice, MissingSidesCountAsValuesOfTheirOwn)
{
    struct Row {
        std::optional<std::string> configured, stored;
        bool expected;
    };
    const Row table[] = {
        { std::nullopt, std::nullopt, false }, { std::nullopt, "3", true }, { "3", std::nullopt, true },
        { "", std::nullopt, true }, // an empty configured count is still a value
        { "3", "3", false }, { "3", "4", true }, { "", "", false },
        { "3", "03", true }, // text comparison, not numbers
    };
    for (const Row& row : table) {
        configure(row.configured);
        store(row.stored);
        EXPECT_EQ(hasNewNotice(), row.expected) << "configured " << row.configured.value_or("<none>")
                                                << ", stored " << row.stored.value_or("<none>");
    }
}

}
