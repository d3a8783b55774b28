#pragma once

#include "app/MainController/Chat/Schema/ChatSchema.h"
#include "platform/websocket/WebSocket.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class GCDTimer;

// The chat tab's one live connection to the chat server: a WebSocket to `websocket_url` that
// carries one Input per binary frame out and one Output per frame in. On every connection it
// signs the user in (when a token and a profile exist), subscribes to room 1, arms the heartbeat
// "SocketHeartTimer" (every 30 s, at once after each subscription, one timer whatever happens)
// and then runs the page's hook, `setSocketBlock`, which syncs what is newer than the store.
// After a loss it tries again 5 s later, at most 3 times in a row until a connection succeeds;
// a heartbeat tick while disconnected opens a connection too.
//
// Requests: sync is sent at once while subscribed; otherwise it waits in a one-shot queue that is
// sent after the next subscription (opening a connection when none is open or opening). An
// acknowledgement is sent only while subscribed: it never opens a connection. Every request gets
// a new, increasing `request_id` (milliseconds since 1970, or one more than the last).
//
// Incoming frames: a frame that answers a pending request (same type, and the echoed request id;
// a frame with request id 0 answers the oldest request of its type, except that a PT_MESSAGE
// frame is an answer only with the id of an acknowledgement) goes to that request's handler. A
// push is never taken for a reply. Then every frame reaches `callBackBlock` once, except the
// answers to acknowledgements, which would read as new messages.
//
// Connecting again detaches and closes the previous socket: its late events are dropped.
// logout() closes the socket, cancels the heartbeat and resets the signed-in state; the shared
// instance does it on "logoutSuccess". Main thread only; failures are logged, never shown.
class ZV_SocketTool : public WebSocketDelegate, public std::enable_shared_from_this<ZV_SocketTool> {
    struct Passkey {
        explicit Passkey() = default;
    };

public:
    static constexpr std::int64_t roomID = 1;
    static constexpr std::int64_t successCode = 1;
    static constexpr double connectTimeout = 5.0;
    static constexpr int maximumReconnects = 3;
    static constexpr double reconnectDelay = 5.0;
    static constexpr std::string_view heartTimerName = "SocketHeartTimer";
    static constexpr double heartbeatInterval = 30.0;
    static constexpr int heartbeatLeeway = 100; // milliseconds
    static constexpr std::size_t maximumQueuedRequests = 32;
    static constexpr std::size_t maximumPendingReplies = 64;

    // The process-wide client on the shared timer registry, made on first use, never released.
    static ZV_SocketTool& shared();
    // A client of its own (tests); it observes no notification.
    static std::shared_ptr<ZV_SocketTool> create(std::shared_ptr<GCDTimer> timers);

    ZV_SocketTool(Passkey, std::shared_ptr<GCDTimer> timers);
    ~ZV_SocketTool() override;
    ZV_SocketTool(const ZV_SocketTool&) = delete;
    ZV_SocketTool& operator=(const ZV_SocketTool&) = delete;

    // Told true on a connection, false when it is lost or cancelled.
    std::function<void(bool)> connectedBlock;
    // After every successful sign-in.
    std::function<void()> signInBlock;
    // The reply of every successful subscription.
    std::function<void(const SubscribeRoomOutput&)> subscribeRoomBlock;
    // Frames for the page (see above).
    std::function<void(const Output&)> callBackBlock;

    const std::shared_ptr<WebSocket>& socket() const { return m_socket; }
    bool isConnected() const { return m_isConnected; }
    bool isSignIn() const { return m_isSignIn; }
    bool isSubscribed() const { return m_isSubscribed; }
    int reconnectCount() const { return m_reconnectCount; }
    std::size_t queuedRequestCount() const { return m_queuedRequests.size(); }

    // Keeps the hook for every later subscription and opens a fresh connection.
    void connect(std::function<void()> setSocketBlock);
    // One delayed attempt on the current socket, while fewer than 3 were made since a connection.
    void reconnect();
    // Writes one Input of the type around the bytes on the current socket (dropped without one);
    // its request id.
    std::int64_t send(PackageType type, std::string data);
    // Sends the sign-in when a text token is stored and a profile is known; otherwise nothing.
    void signIn();
    void subscribeRoom();
    // flag 1: messages newer than seq; -1: older.
    void sync(std::int64_t flag, std::int64_t seq);
    void heartbeat();
    void sendMessageAck();
    void logout();

    void didReceive(const WebSocketEvent& event, WebSocket& client) override;

private:
    enum class ReplyKind { signIn, subscribe, sync, heartbeat, ack };
    struct PendingReply {
        PackageType type;
        std::int64_t requestID;
        ReplyKind kind;
    };
    struct QueuedRequest {
        PackageType type;
        std::string data;
        ReplyKind kind;
    };

    void openSocket();
    void ensureConnection();
    void request(PackageType type, std::string data, ReplyKind kind);
    void sendRequest(PackageType type, std::string data, ReplyKind kind);
    void connectionEnded(bool reconnecting);
    void receive(const Data& bytes);
    std::optional<ReplyKind> takePendingReply(const Output& output);
    void signInReply(const Output& output);
    void subscriptionReply(const Output& output);
    void armHeartbeat();
    std::int64_t nextRequestID();
    std::string deviceID() const;

    std::shared_ptr<GCDTimer> m_timers;
    std::shared_ptr<WebSocket> m_socket;
    bool m_isConnected = false;
    bool m_isConnecting = false;
    bool m_isSignIn = false;
    bool m_isSubscribed = false;
    int m_reconnectCount = 0;
    std::function<void()> m_setSocketBlock;
    std::deque<QueuedRequest> m_queuedRequests;
    std::deque<PendingReply> m_pendingReplies;
    std::int64_t m_lastRequestID = 0;
    std::uint64_t m_epoch = 0; // bumped by logout(): delayed attempts of before are void
};
