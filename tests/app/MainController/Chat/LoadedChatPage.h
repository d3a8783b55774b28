#pragma once

// The chat page as the chat tab keeps it while the viewer registers or signs in on other screens:
// loaded, off screen, with a socket client and a store of its own, listening for "loginSuccess".
// The shared API client's replies are counted on the app's own screen side meanwhile, so a test
// knows when a reply has been acted on, and whether one ended the sign-in.

#include "app/Core/Network/ZV_Network.h"
#include "app/MainController/Chat/Controller/ZV_ChatMainVC.h"
#include "app/MainController/Chat/Model/ZV_MessageCurrentModel.h"
#include "app/MainController/Chat/Socket/ZV_SocketTool.h"
#include "app/MainController/Chat/View/ZV_ChatInputView.h"
#include "app/MainController/Other/Tool/GCDTimer.h"
#include "platform/foundation/AppContainer.h"
#include "platform/storage/ASConfigration.h"
#include "platform/ui/controls/UIButton.h"
#include "tests/app/support/CountingScreenUI.h"
#include "tools/testserver/ApiServer.h"

#include <memory>
#include <string_view>

namespace zvtest {

class LoadedChatPage {
public:
    // Made while no request of the shared client is under way.
    explicit LoadedChatPage(const testserver::ApiServer& api)
        : m_api(api)
        , m_before(api.records().size())
    {
        ASConfigration::setDefaultDB(
            (AppContainer::documentsDirectory() / "zvlist.db").string(), "zvlist.db");
        ZV_Network::shared().setUI(ui);
        page = std::make_shared<ZV_ChatMainVC>(tool);
        page->loadViewIfNeeded();
    }
    ~LoadedChatPage()
    {
        tool->logout();
        page.reset();
        tool.reset();
        timers.reset();
        ZV_Network::shared().setUI(nullptr);
        ASConfigration::closeDefaultDB();
    }
    LoadedChatPage(const LoadedChatPage&) = delete;
    LoadedChatPage& operator=(const LoadedChatPage&) = delete;

    // The path asked `count` times so far, and every request to the API answered and its reply
    // handled.
    bool answered(std::string_view path, std::size_t count) const
    {
        return m_api.recordsTo(path).size() == count && m_before + static_cast<std::size_t>(ui->hides) == m_api.records().size();
    }
    // The history in the list, and the replies to the page's first requests handled.
    bool loaded() const { return page->messageList().size() >= 20 && answered("v1/room/lastmsg", 1); }
    void tapJoin() const { page->zv_inputView()->joinBtn()->sendActions(UIControlEventTouchUpInside); }
    // In the room: subscribed, with the text field in place of the join button.
    bool joined() const { return tool->isSubscribed() && !page->zv_inputView()->textBgView()->isHidden(); }

    std::shared_ptr<CountingScreenUI> ui = std::make_shared<CountingScreenUI>();
    std::shared_ptr<GCDTimer> timers = GCDTimer::create();
    std::shared_ptr<ZV_SocketTool> tool = ZV_SocketTool::create(timers);
    std::shared_ptr<ZV_ChatMainVC> page;

private:
    const testserver::ApiServer& m_api;
    std::size_t m_before;
};

}
