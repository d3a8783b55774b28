#include "platform/websocket/WebSocketEvent.h"

WebSocketEvent WebSocketEvent::connected(std::map<std::string, std::string> headers)
{
    WebSocketEvent event;
    event.kind = Kind::connected;
    event.headers = std::move(headers);
    return event;
}

WebSocketEvent WebSocketEvent::disconnected(std::string reason, std::uint16_t code)
{
    WebSocketEvent event;
    event.kind = Kind::disconnected;
    event.reason = std::move(reason);
    event.code = code;
    return event;
}

WebSocketEvent WebSocketEvent::text(std::string string)
{
    WebSocketEvent event;
    event.kind = Kind::text;
    event.string = std::move(string);
    return event;
}

WebSocketEvent WebSocketEvent::binary(Data data)
{
    WebSocketEvent event;
    event.kind = Kind::binary;
    event.data = std::move(data);
    return event;
}

WebSocketEvent WebSocketEvent::ping(Data data)
{
    WebSocketEvent event;
    event.kind = Kind::ping;
    event.data = std::move(data);
    return event;
}

WebSocketEvent WebSocketEvent::pong(Data data)
{
    WebSocketEvent event;
    event.kind = Kind::pong;
    event.data = std::move(data);
    return event;
}

WebSocketEvent WebSocketEvent::failed(WSError error)
{
    WebSocketEvent event;
    event.kind = Kind::error;
    event.error = std::move(error);
    return event;
}

WebSocketEvent WebSocketEvent::reconnectSuggested(bool flag)
{
    WebSocketEvent event;
    event.kind = Kind::reconnectSuggested;
    event.flag = flag;
    return event;
}

WebSocketEvent WebSocketEvent::cancelled()
{
    return WebSocketEvent();
}
