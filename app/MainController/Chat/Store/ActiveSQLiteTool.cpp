#include "app/MainController/Chat/Store/ActiveSQLiteTool.h"

#include "app/MainController/Chat/Store/ZV_MessageASModel.h"
#include "platform/foundation/Log.h"
#include "platform/json/JSON.h"

#include <google/protobuf/util/json_util.h>

namespace {

void logLine(const std::string& text)
{
    Log::write("ActiveSQLiteTool: " + text);
}

}

bool ActiveSQLiteTool::hasRow(std::int64_t seq)
{
    auto found = ZV_MessageASModel::findFirst(ASQuery().equal("seq", ASValue(static_cast<long long>(seq))));
    if (!found) {
        // Unknown is not "absent": storing now could make a second row of that seq.
        logLine("cannot look up seq " + std::to_string(seq) + ": " + found.error());
        return true;
    }
    return found->has_value();
}

bool ActiveSQLiteTool::insert(std::int64_t seq, std::string senderID, std::string json)
{
    ZV_MessageASModel record;
    record.seq = seq;
    record.senderID = std::move(senderID);
    record.json = std::move(json);
    ASStatus saved = record.save();
    if (!saved)
        logLine("message " + std::to_string(seq) + " not stored: " + saved.error());
    return saved.ok();
}

bool ActiveSQLiteTool::saveMessage(const Message& message)
{
    if (hasRow(message.seq()))
        return false;
    std::string json;
    auto encoded = google::protobuf::util::MessageToJsonString(message, &json);
    if (!encoded.ok()) {
        logLine("message " + std::to_string(message.seq()) + " not encoded: " + encoded.ToString());
        return false;
    }
    return insert(message.seq(), std::to_string(message.sender().sender_id()), std::move(json));
}

bool ActiveSQLiteTool::saveMessage(const JSON& json)
{
    if (json.type() != JSON::Type::Object) {
        // It could never read back as a message, yet it would block seq 0 for good.
        logLine("a stored message must be an object");
        return false;
    }
    std::int64_t seq = json["seq"].intValue();
    if (hasRow(seq))
        return false;
    std::optional<std::string> text = json.rawString();
    if (!text) {
        logLine("message " + std::to_string(seq) + " has no text form");
        return false;
    }
    return insert(seq, json["sender"]["sender_id"].stringValue(), std::move(*text));
}

std::vector<Message> ActiveSQLiteTool::loadMessages()
{
    std::vector<Message> messages;
    auto rows = ZV_MessageASModel::findAll(ASQuery().orderBy("seq"));
    if (!rows) {
        logLine("cannot read the messages: " + rows.error());
        return messages;
    }
    messages.reserve(rows->size());
    for (const ZV_MessageASModel& row : *rows) {
        std::optional<Message> message = decodeMessage(row.json);
        if (!message) {
            logLine("row of seq " + std::to_string(row.seq) + " skipped: it is no message");
            continue;
        }
        messages.push_back(std::move(*message));
    }
    return messages;
}

std::optional<Message> ActiveSQLiteTool::decodeMessage(const std::string& json)
{
    Message message;
    if (!google::protobuf::util::JsonStringToMessage(json, &message).ok())
        return std::nullopt;
    return message;
}
