#include "app/MainController/Chat/Controller/ZV_ChatMainVC.h"

#include "app/BaseController/ZVNavigationController.h"
#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Helpers/SessionHelpers.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/MainController/Chat/Model/ZV_MessageCurrentModel.h"
#include "app/MainController/Chat/Socket/ZV_SocketTool.h"
#include "app/MainController/Chat/Store/ActiveSQLiteTool.h"
#include "app/MainController/Chat/Store/ZV_MessageASModel.h"
#include "app/MainController/Login/Controller/ZV_LoginViewVC.h"
#include "app/MainController/Other/Tool/KeyboardNotificationTool.h"
#include "app/MainController/Other/Tool/NotificationTool.h"
#include "app/MainController/Root/ZVTabPageTitle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"

#include <algorithm>
#include <charconv>

namespace {

constexpr std::int64_t roomID = 1;

void logLine(const std::string& text)
{
    Log::write("ZV_ChatMainVC: " + text);
}

template<class Payload> std::optional<Payload> decode(const Output& output)
{
    Payload payload;
    if (!payload.ParseFromString(output.data())) {
        logLine(
            "a package of type " + std::to_string(output.type()) + " is no " + Payload::descriptor()->name());
        return std::nullopt;
    }
    return payload;
}

}

ZV_ChatMainVC::ZV_ChatMainVC(std::shared_ptr<ZV_SocketTool> socketTool)
    : m_socketTool(socketTool ? std::move(socketTool) : ZV_SocketTool::shared().shared_from_this())
    , m_currentModel(std::make_shared<ZV_MessageCurrentModel>())
{ }

ZV_ChatMainVC::~ZV_ChatMainVC()
{
    NotificationCenter::defaultCenter().removeObservers(this);
}

void ZV_ChatMainVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    addTabPageTitle(*view(), "聊天");
    addObservers();
    setupSocketBlocks();
    requestRoomCurrent();
    requestLastMessages();
    if (isLoggedIn()) {
        requestRoomUser();
        joinChat();
    }
    std::weak_ptr<ZV_ChatMainVC> weakSelf = std::static_pointer_cast<ZV_ChatMainVC>(sharedFromThis());
    m_keyboardTool = std::make_unique<KeyboardNotificationTool>(weakSelf);
    m_keyboardTool->observeKeyboard(NotificationCenter::defaultCenter());
}

void ZV_ChatMainVC::addObservers()
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    std::weak_ptr<ZV_ChatMainVC> weakSelf = std::static_pointer_cast<ZV_ChatMainVC>(sharedFromThis());
    center.addObserver(
        std::string(NotificationTool::rawValue(NotificationTool::Notification::loginSuccess)),
        [weakSelf](const Notification&) {
            if (auto self = weakSelf.lock())
                self->loginSuccess();
        },
        this);
    center.addObserver(
        std::string(NotificationTool::rawValue(NotificationTool::Notification::logoutSuccess)),
        [weakSelf](const Notification&) {
            if (auto self = weakSelf.lock())
                self->logoutReset();
        },
        this);
    center.post(std::string(NotificationTool::rawValue(NotificationTool::Notification::chatNum)));
}

void ZV_ChatMainVC::setupSocketBlocks()
{
    std::weak_ptr<ZV_ChatMainVC> weakSelf = std::static_pointer_cast<ZV_ChatMainVC>(sharedFromThis());
    m_socketTool->connectedBlock = [weakSelf](bool connected) {
        if (auto self = weakSelf.lock())
            self->socketConnectionChanged(connected);
    };
    m_socketTool->subscribeRoomBlock = [weakSelf](const SubscribeRoomOutput& output) {
        if (auto self = weakSelf.lock())
            self->roomSubscribed(output);
    };
    m_socketTool->callBackBlock = [weakSelf](const Output& output) {
        if (auto self = weakSelf.lock())
            self->handleSocketOutput(output);
    };
}

void ZV_ChatMainVC::joinChat()
{
    if (!isLoggedIn()) {
        auto login = std::make_shared<ZVNavigationController>(std::make_shared<ZV_LoginViewVC>());
        login->setModalPresentationStyle(UIModalPresentationStyle::overFullScreen);
        present(login, true);
        return;
    }
    std::weak_ptr<ZV_ChatMainVC> weakSelf = std::static_pointer_cast<ZV_ChatMainVC>(sharedFromThis());
    m_socketTool->connect([weakSelf] {
        if (auto self = weakSelf.lock())
            self->syncNewMessages();
    });
}

void ZV_ChatMainVC::syncNewMessages()
{
    // From the store, not from what the list shows: nothing stored is missed after a loss.
    if (std::optional<std::int64_t> last = ActiveSQLiteTool::lastMessageSeq())
        m_socketTool->sync(1, *last);
}

void ZV_ChatMainVC::socketConnectionChanged(bool connected)
{
    if (!connected && !m_messageList.empty())
        m_socketTool->sendMessageAck();
}

void ZV_ChatMainVC::roomSubscribed(const SubscribeRoomOutput& output)
{
    m_currentModel->online_devices = output.room_conns();
}

void ZV_ChatMainVC::handleSocketOutput(const Output& output)
{
    switch (output.type()) {
    case PT_SYNC: {
        std::optional<SyncOutput> sync = decode<SyncOutput>(output);
        if (!sync)
            return;
        for (const Message& message : sync->messages()) {
            ActiveSQLiteTool::saveMessage(message);
            list(message);
        }
        if (sync->messages_size() > 0)
            m_socketTool->sendMessageAck();
        return;
    }
    case PT_HEARTBEAT:
        if (std::optional<HeartBeatOutput> beat = decode<HeartBeatOutput>(output))
            m_currentModel->online_devices = beat->room_conns();
        return;
    case PT_MESSAGE: {
        std::optional<MessageOutput> push = decode<MessageOutput>(output);
        // A push without a message has nothing to show: an empty bubble would be made up.
        if (!push || !push->has_message())
            return;
        ActiveSQLiteTool::saveMessage(push->message());
        list(push->message());
        m_socketTool->sendMessageAck();
        return;
    }
    case PT_REVOKE: {
        std::optional<RevokeMessageOutput> revoke = decode<RevokeMessageOutput>(output);
        if (!revoke)
            return;
        for (std::int64_t seq : revoke->seqs()) {
            auto row
                = ZV_MessageASModel::findFirst(ASQuery().equal("seq", ASValue(static_cast<long long>(seq))));
            if (!row || !row->has_value())
                continue;
            if (ASStatus deleted = (*row)->deleteRecord(); !deleted)
                logLine("revoked message " + std::to_string(seq) + " not deleted: " + deleted.error());
            std::erase_if(m_messageList, [seq](const Message& message) { return message.seq() == seq; });
        }
        return;
    }
    case PT_BLOCK_USER:
        if (std::optional<BlockUserOutput> block = decode<BlockUserOutput>(output)) {
            m_currentModel->is_block = block->is_block();
            m_currentModel->block_remain_time = block->block_remain_time();
        }
        return;
    default:
        return; // sign-in and subscription are the socket client's
    }
}

void ZV_ChatMainVC::requestRoomCurrent()
{
    std::weak_ptr<ZV_ChatMainVC> weakSelf = std::static_pointer_cast<ZV_ChatMainVC>(sharedFromThis());
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), ZV_API::roomCurrent,
        JSON::object({ { "room_id", JSON(roomID) } }), true,
        [weakSelf](std::optional<JSON> json, std::optional<NSError>) {
            auto self = weakSelf.lock();
            if (!self || !json)
                return;
            ZV_MessageCurrentModel model(*json);
            self->m_currentModel->online_devices = model.online_devices;
            self->m_currentModel->room_notice = model.room_notice;
        });
}

void ZV_ChatMainVC::requestRoomUser()
{
    JSON parameters = JSON::object({ { "room_id", JSON(roomID) } });
    if (const auto& profile = ConfigSingleton::shared().zv_userInfoModel) {
        std::int64_t userID = 0;
        std::from_chars(profile->id.data(), profile->id.data() + profile->id.size(), userID);
        parameters.set("user_id", JSON(userID));
    }
    std::weak_ptr<ZV_ChatMainVC> weakSelf = std::static_pointer_cast<ZV_ChatMainVC>(sharedFromThis());
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), "v1/room/user", parameters,
        [weakSelf](std::optional<JSON> json, std::optional<NSError>) {
            auto self = weakSelf.lock();
            if (!self || !json)
                return;
            ZV_MessageCurrentModel model(*json);
            self->m_currentModel->is_block = model.is_block;
            self->m_currentModel->block_remain_time = model.block_remain_time;
            self->m_currentModel->member_type = model.member_type;
        });
}

void ZV_ChatMainVC::requestLastMessages()
{
    JSON parameters = JSON::object({ { "room_id", JSON(roomID) } });
    if (std::optional<std::int64_t> last = ActiveSQLiteTool::lastMessageSeq())
        parameters.set("seq", JSON(*last));
    std::weak_ptr<ZV_ChatMainVC> weakSelf = std::static_pointer_cast<ZV_ChatMainVC>(sharedFromThis());
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), "v1/room/lastmsg", parameters,
        [weakSelf](std::optional<JSON> json, std::optional<NSError>) {
            if (auto self = weakSelf.lock(); self && json)
                self->handleLastMessages(*json);
        });
}

void ZV_ChatMainVC::handleLastMessages(const JSON& json)
{
    for (const JSON& message : json["messages"].arrayValue())
        ActiveSQLiteTool::saveMessage(message);
    reloadMessageList();
}

void ZV_ChatMainVC::loginSuccess()
{
    requestRoomUser();
    joinChat();
}

void ZV_ChatMainVC::logoutReset()
{
    m_currentModel->is_block = 0;
    m_currentModel->block_remain_time = 0;
    m_currentModel->member_type = 0;
    m_socketTool->logout();
}

void ZV_ChatMainVC::list(const Message& message)
{
    // In seq order, once; a whole reload from the store would read every stored row again.
    auto at = std::lower_bound(m_messageList.begin(), m_messageList.end(), message.seq(),
        [](const Message& shown, std::int64_t seq) { return shown.seq() < seq; });
    if (at == m_messageList.end() || at->seq() != message.seq())
        m_messageList.insert(at, message);
}

void ZV_ChatMainVC::reloadMessageList()
{
    m_messageList = ActiveSQLiteTool::loadMessages();
}
