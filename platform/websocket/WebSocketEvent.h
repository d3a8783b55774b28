#pragma once

#include "platform/foundation/Data.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

// Close codes of the WebSocket protocol that callers name.
namespace CloseCode {
inline constexpr std::uint16_t normal = 1000;
inline constexpr std::uint16_t goingAway = 1001;
inline constexpr std::uint16_t protocolError = 1002;
inline constexpr std::uint16_t messageTooBig = 1009;
}

// Why a connection failed.
struct WSError {
    enum class ErrorType {
        invalidRequest, // the address is no ws or wss URL
        connectionError, // no connection, time-out, or the connection broke without a close
        securityError, // TLS failed: certificate, host name, handshake
        upgradeError, // the server did not switch to the WebSocket protocol
        protocolError, // a frame broke the protocol or exceeded the size limit
        writeError, // a frame could not be queued (too big, or too much waiting)
    };

    ErrorType type = ErrorType::connectionError;
    std::string message;
    std::uint16_t code = 0; // the close code sent because of it, when there was one
};

// What a WebSocket reports to its delegate, one event at a time, on the main queue.
struct WebSocketEvent {
    enum class Kind {
        connected, // headers: the response of the opening handshake
        disconnected, // reason and code: the connection was closed with a close handshake
        text,
        binary,
        pong,
        ping,
        error, // error: the connection failed or broke
        viabilityChanged,
        reconnectSuggested,
        cancelled, // forceDisconnect(): the connection was dropped at once
    };

    Kind kind = Kind::cancelled;
    std::map<std::string, std::string> headers; // connected
    std::string reason; // disconnected
    std::uint16_t code = 0; // disconnected
    std::string string; // text
    Data data; // binary, ping, pong
    std::optional<WSError> error; // error
    bool flag = false; // viabilityChanged, reconnectSuggested

    static WebSocketEvent connected(std::map<std::string, std::string> headers);
    static WebSocketEvent disconnected(std::string reason, std::uint16_t code);
    static WebSocketEvent text(std::string string);
    static WebSocketEvent binary(Data data);
    static WebSocketEvent ping(Data data);
    static WebSocketEvent pong(Data data);
    static WebSocketEvent failed(WSError error);
    static WebSocketEvent reconnectSuggested(bool flag);
    static WebSocketEvent cancelled();
};
