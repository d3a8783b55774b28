#include "app/MainController/Chat/Controller/ZV_ChatMainVC.h"

#include "app/BaseController/ZVNavigationController.h"
#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Helpers/SessionHelpers.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Extensions/ViewNib.h"
#include "app/MainController/Chat/Controller/ZV_ChatVC.h"
#include "app/MainController/Chat/Model/MessageTextBuilder.h"
#include "app/MainController/Chat/Model/ZV_MessageCurrentModel.h"
#include "app/MainController/Chat/Socket/ZV_SocketTool.h"
#include "app/MainController/Chat/Store/ActiveSQLiteTool.h"
#include "app/MainController/Chat/Store/ZV_MessageASModel.h"
#include "app/MainController/Chat/View/ZV_ChatHeadView.h"
#include "app/MainController/Chat/View/ZV_ChatInputView.h"
#include "app/MainController/Chat/View/ZV_ChatReactionView.h"
#include "app/MainController/Chat/View/ZV_ChatTipView.h"
#include "app/MainController/Login/Controller/ZV_LoginViewVC.h"
#include "app/MainController/Other/Tool/KeyboardNotificationTool.h"
#include "app/MainController/Other/Tool/NotificationTool.h"
#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/MarqueeLabel.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/messages/MessagesCollectionView.h"
#include "platform/ui/refresh/MJRefreshAttachment.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace {

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

std::string onlineText(std::int64_t count)
{
    return std::to_string(count) + "人在线";
}

}

ZV_ChatMainVC::ZV_ChatMainVC(std::shared_ptr<ZV_SocketTool> socketTool)
    : m_socketTool(socketTool ? std::move(socketTool) : ZV_SocketTool::shared().shared_from_this())
    , m_currentModel(std::make_shared<ZV_MessageCurrentModel>(JSON::object()))
{ }

ZV_ChatMainVC::~ZV_ChatMainVC()
{
    NotificationCenter::defaultCenter().removeObservers(this);
}

std::weak_ptr<ZV_ChatMainVC> ZV_ChatMainVC::weakSelf()
{
    return std::static_pointer_cast<ZV_ChatMainVC>(sharedFromThis());
}

std::optional<std::string> ZV_ChatMainVC::mushinText(std::int64_t isBlock, std::int64_t remainTime)
{
    if (isBlock != 1)
        return std::nullopt;
    if (remainTime == -1)
        return "你已被封禁";
    if (remainTime > 86399)
        return "你已被禁言，" + std::to_string(remainTime / 86400) + "天后解封";
    if (remainTime > 3599)
        return "你已被禁言，" + std::to_string(remainTime / 3600) + "小时后解封";
    return "你已被禁言，" + std::to_string(remainTime / 60) + "分钟后解封";
}

// ---- Views ----

const std::shared_ptr<ZV_ChatHeadView>& ZV_ChatMainVC::zv_headView()
{
    if (!m_headView) {
        m_headView = viewForXib<ZV_ChatHeadView>();
        // The page owns the head: the action may refer to it without owning it.
        m_headView->refreshBtn()->addAction(
            UIControlEventTouchUpInside, [this](UIControl&) { requestRoomCurrent(); });
    }
    return m_headView;
}

const std::shared_ptr<ZV_ChatTipView>& ZV_ChatMainVC::zv_notiView()
{
    if (!m_notiView) {
        m_notiView = viewForXib<ZV_ChatTipView>();
        m_notiView->setType(ZV_ChatTipViewType::noti);
        m_notiView->setHidden(true);
    }
    return m_notiView;
}

const std::shared_ptr<ZV_ChatTipView>& ZV_ChatMainVC::zv_replyView()
{
    if (!m_replyView) {
        m_replyView = viewForXib<ZV_ChatTipView>();
        m_replyView->setType(ZV_ChatTipViewType::reply);
        m_replyView->setHidden(true);
    }
    return m_replyView;
}

const std::shared_ptr<UILabel>& ZV_ChatMainVC::zv_mushinTipLb()
{
    if (!m_mushinTipLb) {
        m_mushinTipLb = std::make_shared<UILabel>();
        m_mushinTipLb->setHidden(true);
        m_mushinTipLb->setTextAlignment(NSTextAlignment::center);
        m_mushinTipLb->setFont(UIFont::systemFont(14));
        m_mushinTipLb->setBackgroundColor(zvadaptive::raisedColor(colorWithHex("E8ECF1")));
        m_mushinTipLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942", 0.4)));
    }
    return m_mushinTipLb;
}

const std::unique_ptr<KeyboardNotificationTool>& ZV_ChatMainVC::zv_keyboardNotificationTool()
{
    if (!m_keyboardTool) {
        m_keyboardTool = std::make_unique<KeyboardNotificationTool>(weakFromThis());
        std::weak_ptr<ZV_ChatMainVC> weak = weakSelf();
        m_keyboardTool->keyboardWillShowBlock = [weak](double, CGRect) {
            if (auto self = weak.lock())
                self->keyboardWillShow();
        };
        m_keyboardTool->keyboardWillHiddenBlock = [weak](double, CGRect) {
            if (auto self = weak.lock())
                self->keyboardWillHide();
        };
    }
    return m_keyboardTool;
}

const std::vector<Message>& ZV_ChatMainVC::messageList()
{
    return zv_chatVC()->messageList;
}

// ---- Start ----

void ZV_ChatMainVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    addObservers();
    setupUI();
    setupSocketBlocks();
    requestRoomCurrent();
    requestLastMessages();
    if (isLoggedIn())
        requestRoomUser();
    zv_keyboardNotificationTool()->observeKeyboard(NotificationCenter::defaultCenter());
}

void ZV_ChatMainVC::addObservers()
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    std::weak_ptr<ZV_ChatMainVC> weak = weakSelf();
    center.addObserver(
        std::string(NotificationTool::rawValue(NotificationTool::Notification::loginSuccess)),
        [weak](const Notification&) {
            if (auto self = weak.lock())
                self->loginSuccess();
        },
        this);
    center.addObserver(
        std::string(NotificationTool::rawValue(NotificationTool::Notification::logoutSuccess)),
        [weak](const Notification&) {
            if (auto self = weak.lock())
                self->logoutReset();
        },
        this);
    center.post(std::string(NotificationTool::rawValue(NotificationTool::Notification::chatNum)));
}

void ZV_ChatMainVC::setupUI()
{
    UIView& root = *view();
    const auto& head = zv_headView();
    const auto& input = zv_inputView();
    const auto& chat = zv_chatVC();
    root.addSubview(head);
    root.addSubview(input);
    addChild(chat);
    root.addSubview(chat->view());
    chat->didMove(this);
    root.addSubview(zv_notiView());
    root.addSubview(zv_replyView());
    root.addSubview(zv_mushinTipLb());

    snp(*head).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(root).safeAreaLayoutGuide().top());
        make.left().right().equalToSuperview();
        make.height().equalTo(54);
    });
    snp(*input).makeConstraints(
        [](ConstraintMaker& make) { make.left().bottom().right().equalToSuperview(); });
    snp(*chat->view()).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(*head).bottom());
        make.left().right().equalToSuperview();
        make.bottom().equalTo(snp(*input).top());
    });
    snp(*zv_notiView()).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(*head).bottom()).offset(8);
        make.left().right().equalToSuperview().inset(12);
    });
    snp(*zv_replyView()).makeConstraints([&](ConstraintMaker& make) {
        make.bottom().equalTo(snp(*input).top()).offset(-8);
        make.left().right().equalToSuperview().inset(12);
    });
    snp(*zv_mushinTipLb()).makeConstraints([&](ConstraintMaker& make) {
        make.left().right().equalToSuperview();
        make.bottom().equalTo(snp(root).safeAreaLayoutGuide().bottom());
        make.height().equalTo(56);
    });
}

void ZV_ChatMainVC::setupSocketBlocks()
{
    std::weak_ptr<ZV_ChatMainVC> weak = weakSelf();
    m_socketTool->connectedBlock = [weak](bool connected) {
        if (auto self = weak.lock())
            self->socketConnectionChanged(connected);
    };
    m_socketTool->subscribeRoomBlock = [weak](const SubscribeRoomOutput& output) {
        if (auto self = weak.lock())
            self->roomSubscribed(output);
    };
    m_socketTool->callBackBlock = [weak](const Output& output) {
        if (auto self = weak.lock())
            self->handleSocketOutput(output);
    };
}

// ---- Room state ----

void ZV_ChatMainVC::refreshRoomState()
{
    const auto& chat = zv_chatVC();
    chat->zv_currentModel = m_currentModel;
    chat->reactionView()->zv_currentModel = m_currentModel;
    chat->messagesCollectionView()->reloadData();
    zv_headView()->numLb()->setText(onlineText(m_currentModel->online_devices));
    zv_notiView()->setHidden(m_currentModel->room_notice.empty());
    zv_notiView()->marqueeLabel()->setText(m_currentModel->room_notice);
    zv_notiView()->marqueeLabel()->restartLabel();
    updateMuteState(m_currentModel->is_block, m_currentModel->block_remain_time);
}

void ZV_ChatMainVC::updateMuteState(std::int64_t isBlock, std::int64_t remainTime)
{
    std::optional<std::string> text = mushinText(isBlock, remainTime);
    zv_inputView()->setHidden(text.has_value());
    zv_mushinTipLb()->setHidden(!text);
    if (text)
        zv_mushinTipLb()->setText(*text);
}

void ZV_ChatMainVC::requestRoomCurrent()
{
    std::weak_ptr<ZV_ChatMainVC> weak = weakSelf();
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), ZV_API::roomCurrent,
        JSON::object({ { "room_id", JSON(roomID) } }), true,
        [weak](std::optional<JSON> json, std::optional<NSError>) {
            auto self = weak.lock();
            if (!self || !json)
                return;
            ZV_MessageCurrentModel model(*json);
            self->m_currentModel->online_devices = model.online_devices;
            self->m_currentModel->room_notice = model.room_notice;
            self->refreshRoomState();
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
    std::weak_ptr<ZV_ChatMainVC> weak = weakSelf();
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), "v1/room/user", parameters,
        [weak](std::optional<JSON> json, std::optional<NSError>) {
            auto self = weak.lock();
            if (!self || !json)
                return;
            ZV_MessageCurrentModel model(*json);
            self->m_currentModel->is_block = model.is_block;
            self->m_currentModel->block_remain_time = model.block_remain_time;
            self->m_currentModel->member_type = model.member_type;
            self->refreshRoomState();
        });
}

// ---- Joining ----

void ZV_ChatMainVC::joinChat()
{
    if (!isLoggedIn()) {
        auto login = std::make_shared<ZVNavigationController>(std::make_shared<ZV_LoginViewVC>());
        login->setModalPresentationStyle(UIModalPresentationStyle::overFullScreen);
        present(login, true);
        return;
    }
    if (!ConfigSingleton::shared().zv_userInfoModel) {
        // Without it the socket would open and never sign in.
        m_joinOnProfile = true;
        requestProfile();
        return;
    }
    connectSocket();
}

void ZV_ChatMainVC::connectSocket()
{
    std::weak_ptr<ZV_ChatMainVC> weak = weakSelf();
    m_socketTool->connect([weak] {
        if (auto self = weak.lock())
            self->syncNewMessages();
    });
    m_socketTool->signInBlock = [weak] {
        auto self = weak.lock();
        if (!self)
            return;
        self->zv_inputView()->joinView()->setHidden(true);
        self->zv_inputView()->textBgView()->setHidden(false);
    };
}

void ZV_ChatMainVC::requestProfile()
{
    if (m_profileRequestEpoch == m_signInEpoch)
        return;
    m_profileRequestEpoch = m_signInEpoch;
    std::weak_ptr<ZV_ChatMainVC> weak = weakSelf();
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), "v1/user/info", JSON::object(),
        [weak, epoch = m_signInEpoch](std::optional<JSON> json, std::optional<NSError>) {
            if (auto self = weak.lock())
                self->profileReceived(json, epoch);
        });
}

void ZV_ChatMainVC::profileReceived(const std::optional<JSON>& json, std::uint64_t signInEpoch)
{
    if (signInEpoch != m_signInEpoch)
        return; // for an account that has gone since
    m_profileRequestEpoch.reset();
    bool join = std::exchange(m_joinOnProfile, false);
    if (!isLoggedIn())
        return;
    auto& profile = ConfigSingleton::shared().zv_userInfoModel;
    // A failed request leaves alone whatever another screen has fetched meanwhile.
    if (json && json->type() == JSON::Type::Object && !json->isEmpty())
        profile = std::make_shared<const ZV_UserInfoModel>(*json);
    if (!profile) {
        logLine("no profile for the signed-in viewer: the room is not joined");
        return;
    }
    // The viewer's own messages are told apart by the profile.
    rebuildList();
    if (join)
        connectSocket();
}

void ZV_ChatMainVC::syncNewMessages()
{
    if (std::optional<std::int64_t> from = zv_chatVC()->resync.subscribed())
        syncNewer(*from);
}

void ZV_ChatMainVC::syncNewer(std::int64_t from)
{
    // A newer page: its reply must not be read as the answer to an earlier pull for older ones.
    zv_chatVC()->flag = 1;
    m_socketTool->sync(1, from);
}

std::optional<std::int64_t> ZV_ChatMainVC::newestKnownSeq()
{
    // The store may hold what the list does not show yet, and a cleared cache leaves the list
    // ahead of an empty store.
    std::optional<std::int64_t> last = ActiveSQLiteTool::lastMessageSeq();
    if (const std::vector<Message>& shown = messageList(); !shown.empty())
        last = std::max(last.value_or(shown.back().seq()), shown.back().seq());
    return last;
}

void ZV_ChatMainVC::socketConnectionChanged(bool connected)
{
    if (connected) {
        // Before anything comes on it: what is known now is where a gap may begin.
        zv_chatVC()->resync.connectionOpened(newestKnownSeq());
        return;
    }
    if (!messageList().empty())
        m_socketTool->sendMessageAck();
    // A page asked for on the lost connection is never answered: its spinner must not run on.
    auto& collection = *zv_chatVC()->messagesCollectionView();
    if (auto header = mjHeader(collection); header && header->isRefreshing())
        header->endRefreshing();
    if (auto footer = mjFooter(collection); footer && footer->isRefreshing())
        endFooterRefreshing(collection, zv_chatVC()->has_more);
}

void ZV_ChatMainVC::roomSubscribed(const SubscribeRoomOutput& output)
{
    m_currentModel->online_devices = output.room_conns();
    zv_headView()->numLb()->setText(onlineText(output.room_conns()));
    auto& collection = *zv_chatVC()->messagesCollectionView();
    const std::vector<Message>& shown = messageList();
    if (auto header = mjHeader(collection))
        header->setHidden(shown.empty() || shown.front().seq() == 1);
    if (auto footer = mjFooter(collection); footer && !zv_chatVC()->has_more)
        footer->endRefreshingWithNoMoreData();
}

// ---- Socket packages ----

void ZV_ChatMainVC::handleSocketOutput(const Output& output)
{
    const auto& chat = zv_chatVC();
    auto& collection = *chat->messagesCollectionView();
    switch (output.type()) {
    case PT_SYNC: {
        std::optional<SyncOutput> sync = decode<SyncOutput>(output);
        if (!sync)
            return;
        for (const Message& message : sync->messages()) {
            ActiveSQLiteTool::saveMessage(message);
            list(message);
        }
        rebuildList();
        if (chat->flag == -1) {
            if (auto header = mjHeader(collection)) {
                header->endRefreshing();
                header->setHidden(!sync->has_more());
            }
        } else {
            chat->has_more = sync->has_more();
            endFooterRefreshing(collection, sync->has_more());
        }
        if (sync->messages_size() > 0)
            m_socketTool->sendMessageAck();
        if (chat->flag != -1) {
            std::optional<std::int64_t> lastInPage;
            if (sync->messages_size() > 0)
                lastInPage = sync->messages(sync->messages_size() - 1).seq();
            std::optional<std::int64_t> newest;
            if (!chat->messageList.empty())
                newest = chat->messageList.back().seq();
            if (std::optional<std::int64_t> from
                = chat->resync.pageReceived(lastInPage, sync->has_more(), newest))
                syncNewer(*from);
        }
        return;
    }
    case PT_HEARTBEAT:
        if (std::optional<HeartBeatOutput> beat = decode<HeartBeatOutput>(output)) {
            m_currentModel->online_devices = beat->room_conns();
            zv_headView()->numLb()->setText(onlineText(beat->room_conns()));
        }
        return;
    case PT_MESSAGE: {
        std::optional<MessageOutput> push = decode<MessageOutput>(output);
        // A push without a message has nothing to show: an empty bubble would be made up.
        if (!push || !push->has_message())
            return;
        ActiveSQLiteTool::saveMessage(push->message());
        list(push->message());
        rebuildList();
        std::weak_ptr<ZV_ChatMainVC> weak = weakSelf();
        collection.performBatchUpdates({}, [weak](bool) {
            if (auto self = weak.lock())
                self->scrollToBottomIfNearBottom();
        });
        m_socketTool->sendMessageAck();
        if (m_socketTool->isSubscribed()) {
            if (std::optional<std::int64_t> from = chat->resync.pushReceived(push->message().seq()))
                syncNewer(*from);
        }
        return;
    }
    case PT_REVOKE: {
        std::optional<RevokeMessageOutput> revoke = decode<RevokeMessageOutput>(output);
        if (!revoke)
            return;
        for (std::int64_t seq : revoke->seqs()) {
            auto row
                = ZV_MessageASModel::findFirst(ASQuery().equal("seq", ASValue(static_cast<long long>(seq))));
            if (row && row->has_value()) {
                if (ASStatus deleted = (*row)->deleteRecord(); !deleted)
                    logLine("revoked message " + std::to_string(seq) + " not deleted: " + deleted.error());
            }
            // Gone for the room, so gone from the list, stored or not.
            std::erase_if(chat->messageList, [seq](const Message& message) { return message.seq() == seq; });
            rebuildList();
        }
        return;
    }
    case PT_BLOCK_USER:
        if (std::optional<BlockUserOutput> block = decode<BlockUserOutput>(output)) {
            m_currentModel->is_block = block->is_block();
            m_currentModel->block_remain_time = block->block_remain_time();
            updateMuteState(block->is_block(), block->block_remain_time());
        }
        return;
    default:
        return; // sign-in and subscription are the socket client's
    }
}

bool ZV_ChatMainVC::isNearBottom()
{
    const std::vector<Message>& shown = messageList();
    if (shown.empty())
        return false;
    // The message that was last before the newest one.
    IndexPath previous(0, static_cast<int>(shown.size()) - 2);
    std::vector<IndexPath> visible = zv_chatVC()->messagesCollectionView()->indexPathsForVisibleItems();
    return std::find(visible.begin(), visible.end(), previous) != visible.end();
}

void ZV_ChatMainVC::scrollToBottomIfNearBottom()
{
    if (isNearBottom())
        zv_chatVC()->messagesCollectionView()->scrollToLastItem(true);
}

// ---- History ----

void ZV_ChatMainVC::requestLastMessages()
{
    JSON parameters = JSON::object({ { "room_id", JSON(roomID) } });
    std::optional<std::int64_t> last = ActiveSQLiteTool::lastMessageSeq();
    if (last)
        parameters.set("seq", JSON(*last));
    std::weak_ptr<ZV_ChatMainVC> weak = weakSelf();
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), "v1/room/lastmsg", parameters,
        [weak, last](std::optional<JSON> json, std::optional<NSError>) {
            auto self = weak.lock();
            if (!self || !json)
                return;
            self->zv_chatVC()->resync.historyReceived(last, (*json)["has_more"].boolValue());
            self->handleLastMessages(*json);
        });
}

void ZV_ChatMainVC::handleLastMessages(const JSON& json)
{
    for (const JSON& message : json["messages"].arrayValue())
        ActiveSQLiteTool::saveMessage(message);
    const auto& chat = zv_chatVC();
    chat->messageList = ActiveSQLiteTool::loadMessages();
    rebuildList();
    chat->has_more = json["has_more"].boolValue();
    chat->more_msg_count = static_cast<int>(json["more_msg_count"].intValue());
    std::weak_ptr<ZV_ChatVC> weakList = chat;
    chat->messagesCollectionView()->performBatchUpdates({}, [weakList](bool) {
        if (auto list = weakList.lock())
            list->messagesCollectionView()->scrollToLastItem(true);
    });
}

// ---- Sign-in changes ----

void ZV_ChatMainVC::loginSuccess()
{
    ++m_signInEpoch;
    m_joinOnProfile = false;
    requestRoomUser();
    // Fetched here, the tap on join finds it and joins at once.
    if (!ConfigSingleton::shared().zv_userInfoModel)
        requestProfile();
}

void ZV_ChatMainVC::logoutReset()
{
    ++m_signInEpoch;
    m_joinOnProfile = false;
    zv_inputView()->joinView()->setHidden(false);
    zv_inputView()->textBgView()->setHidden(true);
    m_currentModel->is_block = 0;
    m_currentModel->block_remain_time = 0;
    m_currentModel->member_type = 0;
    m_socketTool->logout();
}

// ---- The list ----

void ZV_ChatMainVC::list(const Message& message)
{
    // In seq order, once: a message a sync has just delivered may be pushed as well.
    std::vector<Message>& shown = zv_chatVC()->messageList;
    auto at = std::lower_bound(shown.begin(), shown.end(), message.seq(),
        [](const Message& listed, std::int64_t seq) { return listed.seq() < seq; });
    if (at == shown.end() || at->seq() != message.seq())
        shown.insert(at, message);
}

std::vector<MockMessage> ZV_ChatMainVC::mockMessage(const std::vector<Message>& messages)
{
    std::vector<MockMessage> result;
    result.reserve(messages.size());
    for (const Message& message : messages)
        result.push_back(makeMockMessage(message, *zv_chatVC()));
    return result;
}

void ZV_ChatMainVC::rebuildList()
{
    const auto& chat = zv_chatVC();
    chat->messages = mockMessage(chat->messageList);
    chat->messagesCollectionView()->reloadData();
}
