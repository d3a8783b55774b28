#pragma once

#include "app/MainController/Chat/Schema/ChatSchema.h"

#include <optional>
#include <string>
#include <vector>

class JSON;

// The local store of chat messages: one row per sequence number, each message kept as the
// schema's JSON text (socket messages as they are; REST objects once turned into a message), so
// every stored row reads back as a Message. The first stored version of a sequence number is
// kept: a later save of the same number changes nothing. Main thread only; synchronous.
//
// Failures are logged and leave the store as it was; the saves answer whether a row was added.
class ActiveSQLiteTool {
public:
    // Stores the message unless a row with its seq exists.
    static bool saveMessage(const Message& message);
    // Stores a REST message object unless a row with its seq exists. The object is read as a
    // Message first, by the schema's field or JSON names; keys outside the schema are ignored
    // (and logged). Anything that does not read as a message is not stored. A missing "seq"
    // counts as 0.
    static bool saveMessage(const JSON& json);
    // Every row that decodes, ascending by seq; rows that do not decode are left out (and stay).
    static std::vector<Message> loadMessages();
    // The seq of the last message loadMessages() would give, without reading the others; none for
    // an empty store.
    static std::optional<std::int64_t> lastMessageSeq();

    // One stored row's text read back as a message: the schema's JSON reader with its default
    // options (JSON or field names, int64 as number or text, no unknown keys). None when it fails.
    static std::optional<Message> decodeMessage(const std::string& json);
    // A REST object as a message, keys outside the schema left out; none when it is no message.
    static std::optional<Message> messageFromJSON(const JSON& json);

private:
    static bool hasRow(std::int64_t seq);
    static bool insert(const Message& message);
};
