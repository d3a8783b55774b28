#pragma once

// The viewer's own pages against the sample API: the account screens' window and navigation
// stack, fresh history, favourites and notices on the server for every test, and the sample
// configuration and advert placements on demand.

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Models/ZV_AdvertConfigModel.h"
#include "app/Core/Models/ZV_ConfigData.h"
#include "platform/json/JSON.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UINavigationController.h"
#include "tests/app/support/AccountTestSupport.h"
#include "tools/testserver/SampleMine.h"

#include <fstream>
#include <sstream>
#include <string>

namespace zvtest {

class MineScreenTest : public AccountScreenTest {
protected:
    // The sample account's token (account.json), signed in from the server's start.
    static constexpr const char* sampleToken = "tk-301877-first";

    void SetUp() override
    {
        AccountScreenTest::SetUp();
        if (HasFatalFailure())
            return;
        std::string error;
        ASSERT_TRUE(testserver::SampleMine::install(
            api(), dataDir(), server().httpPort(), server().httpsPort(), &error))
            << error;
    }

    static std::filesystem::path dataDir() { return sourceDir() / "tools/testserver/data"; }

    static JSON sampleFile(const std::string& name)
    {
        std::ifstream stream(dataDir() / "api" / name);
        std::stringstream text;
        text << stream.rdbuf();
        return JSON::parse(text.str());
    }

    // The server configuration as the home tab hands it over; `newNotice` replaces its count.
    static void loadConfiguration(std::optional<std::string> newNotice = std::nullopt)
    {
        JSON json = sampleFile("app_config.json");
        if (newNotice)
            json.set("new_notice", JSON(*newNotice));
        ConfigSingleton::shared().zv_configData = std::make_shared<const ZV_ConfigData>(json);
    }

    // Every advert placement of the sample, or only with the given picture.
    static void loadAdverts(std::optional<std::string> image = std::nullopt)
    {
        JSON json = sampleFile("advert_config.json");
        auto config = std::make_shared<ZV_AdvertConfigModel>(json);
        if (image) {
            for (ZV_AdvertModel* placement :
                { &config->user_index, &config->play_record_up, &config->collect_up, &config->notice_up })
                placement->data.image = *image;
        }
        ConfigSingleton::shared().advertConfigModel = config;
    }

    static std::string lastTip()
    {
        std::vector<QMUITips::Info> tips = QMUITips::visibleTips();
        return tips.empty() ? std::string() : tips.back().text;
    }

    std::size_t requestsTo(std::string_view path) { return api().recordsTo(path).size(); }

    // Waits for `count` replies of the path more than `before` to have been answered and
    // delivered on the main queue.
    bool waitForRequests(std::string_view path, std::size_t count)
    {
        bool sent = waitFor([&] { return requestsTo(path) >= count; });
        settle(0.1);
        drain();
        return sent;
    }

    std::shared_ptr<UIViewController> top() const { return navigation->topViewController(); }
};

}
