#include "app/MainController/Chat/Socket/ZV_SocketTool.h"

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Helpers/DeviceIdentity.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_NetworkEnvelope.h"
#include "app/Core/Storage/StoreData.h"
#include "app/MainController/Other/Tool/GCDTimer.h"
#include "app/MainController/Other/Tool/NotificationTool.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/DeviceInfo.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"

#include <charconv>

namespace {

void logSocketLine(std::string_view text)
{
    Log::write("ZV_SocketTool: " + std::string(text));
}

template<class Payload> std::optional<Payload> decodePayload(const Output& output)
{
    Payload payload;
    if (!payload.ParseFromString(output.data())) {
        logSocketLine("the reply is no " + Payload::descriptor()->name());
        return std::nullopt;
    }
    return payload;
}

std::int64_t millisecondsSince1970()
{
    return static_cast<std::int64_t>(Date::now().timeIntervalSince1970() * 1000.0);
}

// The profile's id as a decimal number; 0 when it is none.
std::int64_t userID(const std::string& text)
{
    std::int64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() ? value : 0;
}

}

ZV_SocketTool& ZV_SocketTool::shared()
{
    static const std::shared_ptr<ZV_SocketTool> instance = [] {
        auto tool = create(GCDTimer::shared().shared_from_this());
        std::weak_ptr<ZV_SocketTool> weak = tool;
        // The process's tool listens for the whole run: an observer without an owner.
        NotificationCenter::defaultCenter().addObserver(
            std::string(NotificationTool::rawValue(NotificationTool::Notification::logoutSuccess)),
            [weak](const Notification&) {
                if (auto self = weak.lock())
                    self->logout();
            });
        return tool;
    }();
    return *instance;
}

std::shared_ptr<ZV_SocketTool> ZV_SocketTool::create(std::shared_ptr<GCDTimer> timers)
{
    return std::make_shared<ZV_SocketTool>(Passkey {}, std::move(timers));
}

ZV_SocketTool::ZV_SocketTool(Passkey, std::shared_ptr<GCDTimer> timers)
    : m_timers(std::move(timers))
{ }

ZV_SocketTool::~ZV_SocketTool()
{
    if (m_socket)
        m_socket->detach();
}

void ZV_SocketTool::connect(std::function<void()> setSocketBlock)
{
    m_setSocketBlock = std::move(setSocketBlock);
    openSocket();
}

void ZV_SocketTool::openSocket()
{
    std::string url = BaseURLs::websocket_url();
    if (!WebSocket::isWebSocketURL(url)) {
        logSocketLine("no connection: the chat address is no WebSocket URL: " + url);
        return;
    }
    if (m_socket) {
        m_socket->detach();
        m_socket->disconnect();
    }
    m_isConnected = false;
    m_isSubscribed = false;
    m_pendingReplies.clear();

    URLRequest request(url, 60);
    request.timeoutInterval = connectTimeout;
    m_socket = WebSocket::create(std::move(request), std::make_shared<FoundationSecurity>(true));
    m_socket->delegate = weak_from_this();
    m_isConnecting = true;
    m_socket->connect();
}

void ZV_SocketTool::ensureConnection()
{
    if (!m_isConnected && !m_isConnecting)
        openSocket();
}

void ZV_SocketTool::reconnect()
{
    if (m_reconnectCount >= maximumReconnects)
        return;
    ++m_reconnectCount;
    std::weak_ptr<ZV_SocketTool> weakSelf = weak_from_this();
    DispatchQueue::main().asyncAfter(
        DispatchTime::now() + reconnectDelay, [weakSelf, epoch = m_epoch, socket = std::weak_ptr(m_socket)] {
            auto self = weakSelf.lock();
            if (!self || epoch != self->m_epoch || self->m_isConnected || self->m_isConnecting)
                return;
            // The same socket and request, as long as no other has replaced it meanwhile.
            auto current = socket.lock();
            if (!current || current != self->m_socket)
                return;
            logSocketLine("connecting again, attempt " + std::to_string(self->m_reconnectCount));
            self->m_isConnecting = true;
            current->connect();
        });
}

std::int64_t ZV_SocketTool::nextRequestID()
{
    m_lastRequestID = std::max(millisecondsSince1970(), m_lastRequestID + 1);
    return m_lastRequestID;
}

std::int64_t ZV_SocketTool::send(PackageType type, std::string data)
{
    Input input;
    input.set_type(type);
    input.set_request_id(nextRequestID());
    input.set_data(std::move(data));
    std::string bytes;
    if (!input.SerializeToString(&bytes)) {
        logSocketLine("a request of type " + std::to_string(type) + " could not be written");
        return input.request_id();
    }
    if (m_socket)
        m_socket->write(Data(bytes.begin(), bytes.end()));
    return input.request_id();
}

void ZV_SocketTool::sendRequest(PackageType type, std::string data, ReplyKind kind)
{
    std::int64_t requestID = send(type, std::move(data));
    m_pendingReplies.push_back({ type, requestID, kind });
    // A server that does not answer must not make the table grow for ever.
    while (m_pendingReplies.size() > maximumPendingReplies)
        m_pendingReplies.pop_front();
}

void ZV_SocketTool::request(PackageType type, std::string data, ReplyKind kind)
{
    if (m_isSubscribed)
        return sendRequest(type, std::move(data), kind);
    m_queuedRequests.push_back({ type, std::move(data), kind });
    while (m_queuedRequests.size() > maximumQueuedRequests) {
        logSocketLine("the oldest waiting request was dropped");
        m_queuedRequests.pop_front();
    }
    ensureConnection();
}

std::string ZV_SocketTool::deviceID() const
{
    return deviceUUID().value_or("");
}

void ZV_SocketTool::signIn()
{
    std::optional<PropertyList> token = StoreData::value(StoreData::access_token);
    const std::shared_ptr<const ZV_UserInfoModel>& profile = ConfigSingleton::shared().zv_userInfoModel;
    if (!token || !token->asString())
        return;
    if (!profile) {
        // Signed in without a profile the connection stays open but never joins: say so.
        logSocketLine("no sign-in: the viewer's profile is not known yet");
        return;
    }
    if (!m_isConnected)
        return ensureConnection(); // the connection signs in when it opens
    SignInInput input;
    input.set_device_id(deviceID());
    input.set_user_id(userID(profile->id));
    input.set_token("Bearer " + *token->asString());
    sendRequest(PT_SIGN_IN, input.SerializeAsString(), ReplyKind::signIn);
}

void ZV_SocketTool::subscribeRoom()
{
    if (!m_isConnected)
        return ensureConnection();
    SubscribeRoomInput input;
    input.set_device_id(deviceID());
    input.set_room_id(roomID);
    ChatDeviceInfo* device = input.mutable_device_info();
    device->set_device_id(deviceID());
    device->set_type(2);
    device->set_brand("Apple");
    device->set_model(ZV_NetworkEnvelope::deviceModelName());
    device->set_system_version(DeviceInfo::systemVersion());
    device->set_sdk_version(std::string(ZV_NetworkEnvelope::clientVersion));
    sendRequest(PT_SUBSCRIBE_ROOM, input.SerializeAsString(), ReplyKind::subscribe);
}

void ZV_SocketTool::sync(std::int64_t flag, std::int64_t seq)
{
    SyncInput input;
    input.set_device_id(deviceID());
    input.set_seq(seq);
    input.set_flag(flag);
    request(PT_SYNC, input.SerializeAsString(), ReplyKind::sync);
}

void ZV_SocketTool::heartbeat()
{
    if (!m_isConnected)
        return ensureConnection(); // outside the count of delayed attempts
    sendRequest(PT_HEARTBEAT, {}, ReplyKind::heartbeat);
}

void ZV_SocketTool::sendMessageAck()
{
    // Only a subscribed connection has anything to acknowledge.
    if (!m_isSubscribed)
        return;
    MessageAckInput input;
    input.set_device_id(deviceID());
    input.set_receive_time(millisecondsSince1970());
    sendRequest(PT_MESSAGE, input.SerializeAsString(), ReplyKind::ack);
}

void ZV_SocketTool::logout()
{
    ++m_epoch;
    if (m_socket) {
        m_socket->detach();
        m_socket->disconnect();
        m_socket.reset();
    }
    m_timers->cancelTimer(heartTimerName);
    m_isConnected = false;
    m_isConnecting = false;
    m_isSignIn = false;
    m_isSubscribed = false;
    m_reconnectCount = 0;
    m_queuedRequests.clear();
    m_pendingReplies.clear();
}

void ZV_SocketTool::didReceive(const WebSocketEvent& event, WebSocket& client)
{
    if (&client != m_socket.get())
        return; // a socket that was replaced
    using Kind = WebSocketEvent::Kind;
    switch (event.kind) {
    case Kind::connected:
        logSocketLine("connected to " + BaseURLs::websocket_url());
        m_isConnected = true;
        m_isConnecting = false;
        m_reconnectCount = 0;
        signIn();
        if (connectedBlock)
            connectedBlock(true);
        return;
    case Kind::disconnected:
        logSocketLine("the server closed the connection (code " + std::to_string(event.code)
            + (event.reason.empty() ? std::string() : ": " + event.reason) + ")");
        connectionEnded(true);
        return;
    case Kind::error:
        logSocketLine("the connection failed: "
            + (event.error ? event.error->message : std::string("no reason given")));
        connectionEnded(true);
        return;
    case Kind::cancelled:
        logSocketLine("the connection was cancelled");
        connectionEnded(false);
        return;
    case Kind::text:
        logSocketLine("a text frame of " + std::to_string(event.string.size()) + " bytes was ignored");
        return;
    case Kind::binary:
        receive(event.data);
        return;
    case Kind::reconnectSuggested:
        reconnect();
        return;
    case Kind::ping:
    case Kind::pong:
    case Kind::viabilityChanged:
        return;
    }
}

void ZV_SocketTool::connectionEnded(bool reconnecting)
{
    m_isConnected = false;
    m_isConnecting = false;
    m_isSubscribed = false;
    m_pendingReplies.clear();
    if (connectedBlock)
        connectedBlock(false);
    if (reconnecting)
        reconnect();
}

std::optional<ZV_SocketTool::ReplyKind> ZV_SocketTool::takePendingReply(const Output& output)
{
    bool exactOnly = output.type() == PT_MESSAGE || output.request_id() != 0;
    auto match = std::find_if(
        m_pendingReplies.begin(), m_pendingReplies.end(), [&](const PendingReply& pending) {
            return pending.type == output.type() && (!exactOnly || pending.requestID == output.request_id());
        });
    if (match == m_pendingReplies.end())
        return std::nullopt;
    ReplyKind kind = match->kind;
    m_pendingReplies.erase(match);
    return kind;
}

void ZV_SocketTool::receive(const Data& bytes)
{
    Output output;
    if (!output.ParseFromArray(bytes.data(), static_cast<int>(bytes.size()))) {
        logSocketLine("a frame of " + std::to_string(bytes.size()) + " bytes is no Output");
        return;
    }
    std::optional<ReplyKind> reply = takePendingReply(output);
    if (reply) {
        switch (*reply) {
        case ReplyKind::signIn:
            signInReply(output);
            break;
        case ReplyKind::subscribe:
            subscriptionReply(output);
            break;
        case ReplyKind::ack:
            return; // it would read as a new message
        case ReplyKind::sync:
        case ReplyKind::heartbeat:
            break;
        }
    }
    if (callBackBlock)
        callBackBlock(output);
}

void ZV_SocketTool::signInReply(const Output& output)
{
    std::optional<SignInOutput> reply = decodePayload<SignInOutput>(output);
    if (!reply)
        return;
    if (reply->code() != successCode) {
        logSocketLine("the sign-in was refused (code " + std::to_string(reply->code()) + ")");
        return;
    }
    logSocketLine("signed in");
    m_isSignIn = true;
    if (signInBlock)
        signInBlock();
    subscribeRoom();
}

void ZV_SocketTool::subscriptionReply(const Output& output)
{
    std::optional<SubscribeRoomOutput> reply = decodePayload<SubscribeRoomOutput>(output);
    if (!reply)
        return;
    if (reply->code() != successCode) {
        logSocketLine("the subscription to room " + std::to_string(roomID) + " was refused (code "
            + std::to_string(reply->code()) + ")");
        return;
    }
    logSocketLine("subscribed to room " + std::to_string(roomID) + ", " + std::to_string(reply->room_conns())
        + " online");
    m_isSubscribed = true;
    armHeartbeat();
    if (subscribeRoomBlock)
        subscribeRoomBlock(*reply);
    if (m_setSocketBlock)
        m_setSocketBlock();
    // What was asked while no subscribed connection was there, once.
    std::deque<QueuedRequest> queued = std::exchange(m_queuedRequests, {});
    for (QueuedRequest& request : queued)
        sendRequest(request.type, std::move(request.data), request.kind);
}

void ZV_SocketTool::armHeartbeat()
{
    std::weak_ptr<ZV_SocketTool> weakSelf = weak_from_this();
    m_timers->scheduledDispatchTimer(std::string(heartTimerName), heartbeatInterval, heartbeatLeeway, nullptr,
        true, false, [weakSelf, epoch = m_epoch] {
            // A beat already on its way when the user logged out must not connect again.
            if (auto self = weakSelf.lock(); self && self->m_epoch == epoch)
                self->heartbeat();
        });
}
