#pragma once

// A signed-in app against the local test server's chat rooms, with a socket client of its own.

#include "app/Core/Config/ConfigSingleton.h"
#include "app/MainController/Chat/Socket/ZV_SocketTool.h"
#include "app/MainController/Other/Tool/GCDTimer.h"
#include "platform/dispatch/Clock.h"
#include "platform/foundation/AppContainer.h"
#include "platform/json/JSON.h"
#include "platform/storage/ASConfigration.h"
#include "tests/app/support/ApiTestSupport.h"

namespace zvtest {

class ChatSocketTest : public ApiServerTest {
protected:
    static constexpr const char* token = "tk-301877-first";
    static constexpr std::int64_t accountID = 301877;

    void SetUp() override
    {
        ApiServerTest::SetUp();
        if (HasFatalFailure())
            return;
        ASConfigration::setDefaultDB(
            (AppContainer::documentsDirectory() / "zvlist.db").string(), "zvlist.db");
        setToken(token);
        signInProfile();
        timers = GCDTimer::create();
        tool = ZV_SocketTool::create(timers);
    }

    void TearDown() override
    {
        if (tool)
            tool->logout();
        tool.reset();
        timers.reset();
        ASConfigration::closeDefaultDB();
        ApiServerTest::TearDown();
    }

    static void signInProfile()
    {
        ConfigSingleton::shared().zv_userInfoModel = std::make_shared<const ZV_UserInfoModel>(
            JSON::parse(R"({"id":301877,"nickname":"听雨的小鱼"})"));
    }

    // Waits (real time) while work comes in from other threads, without moving the virtual clock.
    static bool waitFor(const std::function<bool()>& done, double seconds = 10)
    {
        double deadline = Clock::realNow() + seconds;
        while (!done()) {
            if (Clock::realNow() > deadline)
                return false;
            runUntil(done, 0.02);
        }
        return true;
    }
    // Lets anything that would come in within a short while come in.
    static void settle()
    {
        waitFor([] { return false; }, 0.3);
    }

    // The envelopes the server got, in order.
    static std::vector<Input> inputs()
    {
        std::vector<Input> result;
        for (const testserver::ChatFrame& frame : chatRoom().received()) {
            if (frame.input)
                result.push_back(*frame.input);
        }
        return result;
    }
    static std::vector<PackageType> inputTypes()
    {
        std::vector<PackageType> types;
        for (const Input& input : inputs())
            types.push_back(input.type());
        return types;
    }
    static std::size_t countOf(PackageType type)
    {
        std::vector<PackageType> types = inputTypes();
        return std::count(types.begin(), types.end(), type);
    }
    static std::size_t upgradeRequests() { return server().requestsTo(chatRoom().path()).size(); }

    // Connects and waits for the subscription.
    bool connectAndSubscribe(std::function<void()> setSocketBlock = {})
    {
        tool->connect(std::move(setSocketBlock));
        return waitFor([&] { return tool->isSubscribed(); });
    }

    std::shared_ptr<GCDTimer> timers;
    std::shared_ptr<ZV_SocketTool> tool;
};

}
