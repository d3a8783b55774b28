#pragma once

#include "platform/storage/ASModel.h"

#include <cstdint>
#include <string>

// One stored chat message, a row of the default database: its sequence number in the room (at
// most one row per value; indexed, as every save looks it up), the sender's id as decimal text and
// the whole message as JSON text.
struct ZV_MessageASModel : ASModel<ZV_MessageASModel> {
    std::int64_t seq = 0;
    std::string senderID;
    std::string json;

    static const ASTable<ZV_MessageASModel>& table();
};
