#pragma once

#include "app/MainController/Chat/Schema/ChatSchema.h"

#include <optional>
#include <string>
#include <vector>

class JSON;

// The local store of chat messages: one row per sequence number, each message kept as JSON text
// (the schema's JSON form for socket messages, the server's own text for REST objects; both read
// back as Message). The first stored version of a sequence number is kept: a later save of the
// same number changes nothing. Main thread only; synchronous.
//
// Failures are logged and leave the store as it was; the saves answer whether a row was added.
class ActiveSQLiteTool {
public:
    // Stores the message unless a row with its seq exists.
    static bool saveMessage(const Message& message);
    // Stores a REST message object unless a row with its "seq" exists (a missing or non-numeric
    // "seq" counts as 0). Anything but an object is refused.
    static bool saveMessage(const JSON& json);
    // Every row that decodes, ascending by seq; rows that do not decode are left out (and stay).
    static std::vector<Message> loadMessages();

    // One stored row's text read back as a message: the schema's JSON reader with its default
    // options (JSON or field names, int64 as number or text, no unknown keys). None when it fails.
    static std::optional<Message> decodeMessage(const std::string& json);

private:
    static bool hasRow(std::int64_t seq);
    static bool insert(std::int64_t seq, std::string senderID, std::string json);
};
