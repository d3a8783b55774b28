#pragma once

// A signed-in app against the local test server's chat rooms, with a socket client of its own;
// and the chat page in a key window on top of it.

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/MainController/Chat/Controller/ZV_ChatMainVC.h"
#include "app/MainController/Chat/Controller/ZV_ChatVC.h"
#include "app/MainController/Chat/Model/ZV_MessageCurrentModel.h"
#include "app/MainController/Chat/Socket/ZV_SocketTool.h"
#include "app/MainController/Chat/View/ZV_ChatInputView.h"
#include "app/MainController/Chat/View/ZV_ChatMushinAlertView.h"
#include "app/MainController/Other/Tool/GCDTimer.h"
#include "platform/dispatch/Clock.h"
#include "platform/foundation/AppContainer.h"
#include "platform/json/JSON.h"
#include "platform/storage/ASConfigration.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/qmui/QMUIModalPresentationViewController.h"
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

// The chat page, signed in, as the root of a key window, its requests going to the local server
// through the shared client (with a screen side that only counts).
class ChatScreenTest : public ChatSocketTest {
protected:
    class WindowDelegate : public UIApplicationDelegate {
    public:
        std::shared_ptr<UIWindow> window() const override { return m_window; }
        std::shared_ptr<UIWindow> m_window = std::make_shared<UIWindow>();
    };

    void SetUp() override
    {
        ChatSocketTest::SetUp();
        if (HasFatalFailure())
            return;
        ZV_Network::shared().setUI(ui);
        UIApplication::shared().resetForTesting();
        UIScreen::main().resetForTesting();
        UIApplication::shared().setDelegate(delegate);
        delegate->m_window->makeKeyAndVisible();
        ZV_ChatMushinAlertView::registerInBottomSheet();
        page = std::make_shared<ZV_ChatMainVC>(tool);
        delegate->m_window->setRootViewController(page);
        drain();
    }

    void TearDown() override
    {
        QMUITips::hideAllTips();
        // A sheet a test opened and did not close must not sit over the next test's screens.
        QMUIModalPresentationViewController::hideAllVisibleModalPresentationViewControllerIfCan();
        if (delegate)
            delegate->m_window->setRootViewController(nullptr);
        drain();
        page.reset();
        delegate.reset();
        UIApplication::shared().resetForTesting();
        ZV_Network::shared().setUI(nullptr);
        ChatSocketTest::TearDown();
    }

    const std::shared_ptr<UIWindow>& window() const { return delegate->m_window; }
    ZV_ChatVC& list() { return *page->zv_chatVC(); }

    // The history in the list and, signed in, the member's role.
    bool open()
    {
        page->loadViewIfNeeded();
        bool loaded = waitFor(
            [&] { return page->messageList().size() >= 20 && page->zv_currentModel()->member_type == 1; });
        window()->layoutIfNeeded();
        return loaded;
    }
    // Join taps the join button; done once the room is subscribed and the text field shows.
    bool join()
    {
        page->zv_inputView()->joinBtn()->sendActions(UIControlEventTouchUpInside);
        return waitFor(
            [&] { return tool->isSubscribed() && !page->zv_inputView()->textBgView()->isHidden(); });
    }
    // The parameters of each request to the path so far.
    static std::vector<nlohmann::json> sent(std::string_view path)
    {
        std::vector<nlohmann::json> result;
        for (const auto& record : api().recordsTo(path))
            result.push_back(record.parameters.value_or(nlohmann::json()));
        return result;
    }
    // Waits for the n-th request to the path.
    static bool waitForRequests(std::string_view path, std::size_t count)
    {
        return waitFor([&] { return api().recordsTo(path).size() >= count; });
    }
    static std::vector<std::string> toasts()
    {
        std::vector<std::string> texts;
        for (const QMUITips::Info& tip : QMUITips::visibleTips())
            texts.push_back(tip.text);
        return texts;
    }

    std::shared_ptr<FakeNetworkUI> ui = std::make_shared<FakeNetworkUI>();
    std::shared_ptr<WindowDelegate> delegate = std::make_shared<WindowDelegate>();
    std::shared_ptr<ZV_ChatMainVC> page;
    TouchDriver driver;
};

}
