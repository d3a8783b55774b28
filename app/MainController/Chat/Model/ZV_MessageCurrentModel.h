#pragma once

#include <cstdint>
#include <string>

class JSON;

// A member's standing in the chat room as the server reports it ("v1/room/user",
// "v1/room/current"): the restriction, the online count, the room's notice and the role.
// Shared between the screens that hold it.
class ZV_MessageCurrentModel {
public:
    ZV_MessageCurrentModel() = default;
    // Each field from its key; numbers leniently (0 when missing or not a number), the notice as
    // text (empty when missing). Never fails.
    explicit ZV_MessageCurrentModel(const JSON& json);

    std::int64_t block_remain_time = 0; // seconds until the restriction ends; -1 for a ban
    std::int64_t is_block = 0; // 1 while the member may not post
    std::int64_t online_devices = 0;
    std::string room_notice;
    std::int64_t member_type = 0; // 1: an administrator of the room
};
