#pragma once

#include "tools/testserver/ApiServer.h"
#include "tools/testserver/Deferred.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace testserver {

// The sample API over the files of data/api: one account (login, profile, token refresh), a small
// catalogue (title details with sources and episodes, the home feed with the caller's own strips of
// titles being watched), each account's own lists, the advert and app configuration, the chat
// rooms' highest sequence numbers and the two image uploads. Addresses in the files
// ("https://127.0.0.1:0/...") are pointed at this server.
//
// The account's token (access_token of account.json) is signed in from the start, the refreshed
// one once a refresh gave it out; calls that need a sign-in answer 2000 to any other token.
struct SampleApi {
    // False with a message when a file is missing or not the JSON it should be. Prepared at its
    // first use, the title pages and the search sample answer a damaged file with an error reply.
    static bool install(ApiServer& api, const std::filesystem::path& dataDir, std::uint16_t httpPort,
        std::uint16_t httpsPort, std::string* error = nullptr,
        SamplePreparation preparation = SamplePreparation::AtStart);
};

}
