#include "app/MainController/Chat/Store/ActiveSQLiteTool.h"

#include "app/MainController/Chat/Store/ZV_MessageASModel.h"
#include "platform/foundation/Log.h"
#include "platform/json/JSON.h"

#include <google/protobuf/util/json_util.h>

namespace {

void logStoreLine(const std::string& text)
{
    Log::write("ActiveSQLiteTool: " + text);
}

const google::protobuf::FieldDescriptor* fieldNamed(
    const google::protobuf::Descriptor& descriptor, const std::string& key)
{
    if (const auto* field = descriptor.FindFieldByName(key))
        return field;
    for (int i = 0; i < descriptor.field_count(); ++i) {
        if (descriptor.field(i)->json_name() == key)
            return descriptor.field(i);
    }
    return nullptr;
}

// The keys of the object, at any depth, that name no field of the schema.
void collectUnknownKeys(const JSON& object, const google::protobuf::Descriptor& descriptor,
    const std::string& prefix, std::vector<std::string>& unknown)
{
    for (const auto& [key, value] : object.dictionaryValue()) {
        const google::protobuf::FieldDescriptor* field = fieldNamed(descriptor, key);
        if (!field) {
            unknown.push_back(prefix + key);
            continue;
        }
        if (field->message_type() && value.type() == JSON::Type::Object)
            collectUnknownKeys(value, *field->message_type(), prefix + key + ".", unknown);
    }
}

}

bool ActiveSQLiteTool::hasRow(std::int64_t seq)
{
    auto found = ZV_MessageASModel::findFirst(ASQuery().equal("seq", ASValue(static_cast<long long>(seq))));
    if (!found) {
        // Unknown is not "absent": storing now could make a second row of that seq.
        logStoreLine("cannot look up seq " + std::to_string(seq) + ": " + found.error());
        return true;
    }
    return found->has_value();
}

bool ActiveSQLiteTool::insert(const Message& message)
{
    std::string json;
    auto encoded = google::protobuf::util::MessageToJsonString(message, &json);
    if (!encoded.ok()) {
        logStoreLine("message " + std::to_string(message.seq()) + " not encoded: " + encoded.ToString());
        return false;
    }
    ZV_MessageASModel record;
    record.seq = message.seq();
    record.senderID = std::to_string(message.sender().sender_id());
    record.json = std::move(json);
    ASStatus saved = record.save();
    if (!saved)
        logStoreLine("message " + std::to_string(message.seq()) + " not stored: " + saved.error());
    return saved.ok();
}

bool ActiveSQLiteTool::saveMessage(const Message& message)
{
    if (hasRow(message.seq()))
        return false;
    return insert(message);
}

bool ActiveSQLiteTool::saveMessage(const JSON& json)
{
    std::optional<Message> message = messageFromJSON(json);
    if (!message)
        return false;
    if (hasRow(message->seq()))
        return false;
    return insert(*message);
}

std::optional<Message> ActiveSQLiteTool::messageFromJSON(const JSON& json)
{
    if (json.type() != JSON::Type::Object) {
        logStoreLine("a stored message must be an object");
        return std::nullopt;
    }
    std::optional<std::string> text = json.rawString();
    if (!text) {
        logStoreLine("a message object has no text form");
        return std::nullopt;
    }
    std::vector<std::string> unknown;
    collectUnknownKeys(json, *Message::descriptor(), "", unknown);
    if (!unknown.empty()) {
        std::string keys;
        for (const std::string& key : unknown)
            keys += (keys.empty() ? "" : ", ") + key;
        logStoreLine("message " + json["seq"].stringValue() + ": ignored the keys " + keys);
    }
    Message message;
    google::protobuf::util::JsonParseOptions options;
    options.ignore_unknown_fields = true;
    auto parsed = google::protobuf::util::JsonStringToMessage(*text, &message, options);
    if (!parsed.ok()) {
        logStoreLine(
            "message " + json["seq"].stringValue() + " not stored, it is no message: " + parsed.ToString());
        return std::nullopt;
    }
    return message;
}

std::vector<Message> ActiveSQLiteTool::loadMessages()
{
    std::vector<Message> messages;
    auto rows = ZV_MessageASModel::findAll(ASQuery().orderBy("seq"));
    if (!rows) {
        logStoreLine("cannot read the messages: " + rows.error());
        return messages;
    }
    messages.reserve(rows->size());
    for (const ZV_MessageASModel& row : *rows) {
        std::optional<Message> message = decodeMessage(row.json);
        if (!message) {
            logStoreLine("row of seq " + std::to_string(row.seq) + " skipped: it is no message");
            continue;
        }
        messages.push_back(std::move(*message));
    }
    return messages;
}

std::optional<std::int64_t> ActiveSQLiteTool::lastMessageSeq()
{
    auto last = ZV_MessageASModel::findFirst(ASQuery().orderBy("seq", ASDirection::Descending));
    if (!last) {
        logStoreLine("cannot read the last message: " + last.error());
        return std::nullopt;
    }
    if (!last->has_value())
        return std::nullopt;
    if (decodeMessage((*last)->json))
        return (*last)->seq;
    // A damaged row on top: only a full read knows which one is the last good one.
    std::vector<Message> messages = loadMessages();
    if (messages.empty())
        return std::nullopt;
    return messages.back().seq();
}

std::optional<Message> ActiveSQLiteTool::decodeMessage(const std::string& json)
{
    Message message;
    if (!google::protobuf::util::JsonStringToMessage(json, &message).ok())
        return std::nullopt;
    return message;
}
