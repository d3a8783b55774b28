#pragma once

#include "tools/testserver/StateFolder.h"

#include <cstdint>
#include <deque>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace testserver {

struct Account {
    std::int64_t id = 0;
    std::string username;
    std::string password;
    std::string phone;
    std::string email;
    nlohmann::json profile; // as "v1/user/info" answers it
};

struct StoredUpload {
    std::string contentType;
    std::string bytes;
};

// What of the sample accounts outlives the server in a state folder: the accounts, the tokens
// signed in, the next id and the uploaded avatars. Codes, captcha tickets and recovery sessions are
// short-lived and start again empty.
struct AccountBook {
    std::map<std::int64_t, Account> accounts;
    std::int64_t nextId = 0;
    std::map<std::string, std::int64_t> tokens; // signed-in token -> account
    std::map<std::string, StoredUpload> uploads; // by name under /uploads/
    std::deque<std::string> uploadOrder; // oldest first
    std::uint64_t serial = 0; // numbers the uploads' names
};

// The book's file in the folder; each upload's bytes are a file of their own (uploadFile).
inline constexpr const char* accountBookFile = "accounts.json";
std::string uploadFile(const std::string& name);

// The book as its file keeps it, with this server's addresses on port 0 (StoredAddresses).
nlohmann::json accountBookJSON(const AccountBook& book, std::uint16_t httpPort, std::uint16_t httpsPort);

struct AccountBookRead {
    bool ok = true; // false: a file is damaged or missing (error names it); nothing is changed
    std::optional<AccountBook> book; // none when the folder has no book yet
    std::string error;
};
// The book of the folder, its addresses pointed at these ports, with the bytes of its uploads
// (each at most `maxUploadBytes`).
AccountBookRead readAccountBook(
    const StateFolder& folder, std::uint16_t httpPort, std::uint16_t httpsPort, std::size_t maxUploadBytes);

}
