// Feeds arbitrary bytes, read as a pushed or synced chat package, to what the chat list makes of
// each message: its display values (replies quoting the other messages of the package), its name
// line and the mute text of a restriction. Whatever the server sends is shown without a stop.

#include "app/Core/Config/ConfigSingleton.h"
#include "app/MainController/Chat/Controller/ZV_ChatMainVC.h"
#include "app/MainController/Chat/Controller/ZV_ChatVC.h"
#include "app/MainController/Chat/Model/MessageTextBuilder.h"
#include "app/MainController/Chat/View/ChatSenderName.h"
#include "platform/json/JSON.h"

#include <cstddef>
#include <cstdint>
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
    static const bool signedIn = [] {
        ConfigSingleton::shared().zv_userInfoModel
            = std::make_shared<const ZV_UserInfoModel>(JSON::object({ { "id", JSON("301877") } }));
        return true;
    }();
    (void)signedIn;

    Output output;
    if (!output.ParseFromArray(data, static_cast<int>(size)))
        return 0;
    ZV_ChatVC list;
    if (output.type() == PT_MESSAGE) {
        MessageOutput push;
        if (push.ParseFromString(output.data()))
            list.messageList.push_back(push.message());
    } else if (output.type() == PT_SYNC) {
        SyncOutput sync;
        if (sync.ParseFromString(output.data()))
            list.messageList.assign(sync.messages().begin(), sync.messages().end());
    } else if (output.type() == PT_BLOCK_USER) {
        BlockUserOutput block;
        if (block.ParseFromString(output.data()))
            ZV_ChatMainVC::mushinText(block.is_block(), block.block_remain_time());
        return 0;
    }
    // A bounded page, as the server sends.
    if (list.messageList.size() > 50)
        list.messageList.resize(50);
    for (const Message& message : list.messageList) {
        MockMessage shown = makeMockMessage(message, list);
        check(shown.messageId() == std::to_string(message.seq()));
        nicknameWithAdminBadge(message);
        replyQuoteText(&message);
    }
    return 0;
}
