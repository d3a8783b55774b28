// Feeds arbitrary bytes to the chat client's frame decoding: the Output envelope, then the payload
// its type names, as the socket client and the chat page read them. Whatever parses must write
// out and read back to the same value.

#include "app/MainController/Chat/Schema/ChatSchema.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

template<class Payload> void roundTrip(const std::string& bytes)
{
    Payload payload;
    if (!payload.ParseFromString(bytes))
        return;
    std::string written = payload.SerializeAsString();
    Payload again;
    check(again.ParseFromString(written));
    check(again.SerializeAsString() == written);
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Output output;
    if (!output.ParseFromArray(data, static_cast<int>(size)))
        return 0;
    roundTrip<Output>(output.SerializeAsString());
    switch (output.type()) {
    case PT_SIGN_IN:
        roundTrip<SignInOutput>(output.data());
        break;
    case PT_SYNC:
        roundTrip<SyncOutput>(output.data());
        break;
    case PT_HEARTBEAT:
        roundTrip<HeartBeatOutput>(output.data());
        break;
    case PT_MESSAGE:
        roundTrip<MessageOutput>(output.data());
        break;
    case PT_SUBSCRIBE_ROOM:
        roundTrip<SubscribeRoomOutput>(output.data());
        break;
    case PT_REVOKE:
        roundTrip<RevokeMessageOutput>(output.data());
        break;
    case PT_BLOCK_USER:
        roundTrip<BlockUserOutput>(output.data());
        break;
    default:
        break;
    }
    return 0;
}
