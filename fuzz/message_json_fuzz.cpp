// Feeds arbitrary text to the message store's row decoder, as a damaged or foreign database row
// would. Whatever decodes must write out in the schema's JSON form and read back to the same
// message, as the store's own rows do.

#include "app/MainController/Chat/Store/ActiveSQLiteTool.h"

#include <cstddef>
#include <cstdint>
#include <google/protobuf/util/json_util.h>
#include <string>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    std::optional<Message> message = ActiveSQLiteTool::decodeMessage(text);
    if (!message)
        return 0;
    std::string written;
    check(google::protobuf::util::MessageToJsonString(*message, &written).ok());
    std::optional<Message> again = ActiveSQLiteTool::decodeMessage(written);
    check(again.has_value());
    check(again->SerializeAsString() == message->SerializeAsString());
    return 0;
}
