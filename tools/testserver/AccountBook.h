#pragma once

#include "tools/testserver/PasswordHash.h"
#include "tools/testserver/StateFolder.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace testserver {

// What an account may hold, so that a book of maxAccounts accounts stays below what the next
// start reads back (StateFolder::maxJSONBytes). The endpoints refuse longer input; a kept file
// past a bound is damaged.
inline constexpr std::size_t maxAccounts = 2000;
inline constexpr std::size_t maxAccountTextBytes = 128; // a user name, phone, e-mail, token, profile text
inline constexpr std::size_t maxProfileMembers = 16;
inline constexpr std::size_t maxProfileKeyBytes = 32;
// The newest sign-ins an account keeps: a ninth ends the oldest.
inline constexpr std::size_t maxSignIns = 8;
// The uploaded pictures kept (the oldest go first), and the size of one.
inline constexpr std::size_t maxUploads = 64;
inline constexpr std::size_t maxUploadBytes = 5 * 1024 * 1024;

struct Account {
    std::int64_t id = 0;
    std::string username;
    PasswordHash password;
    std::string phone;
    std::string email;
    nlohmann::json profile; // as "v1/user/info" answers it
    std::deque<std::string> signIns; // its tokens, oldest first
};

struct StoredUpload {
    std::string contentType;
    std::shared_ptr<const std::string> bytes; // shared: a saved copy of the book costs no bytes
};

// What of the sample accounts outlives the server in a state folder: the accounts, the tokens
// signed in, the next id and the uploaded avatars. Codes, captcha tickets and recovery sessions are
// short-lived and start again empty.
struct AccountBook {
    std::map<std::int64_t, Account> accounts;
    std::int64_t nextId = 0;
    std::map<std::string, std::int64_t> tokens; // every account's signIns -> the account
    std::map<std::string, StoredUpload> uploads; // by name under /uploads/
    std::deque<std::string> uploadOrder; // oldest first
    std::uint64_t serial = 0; // numbers the uploads' names
};

// The book's file in the folder; each upload's bytes are a file of their own (uploadFile).
inline constexpr const char* accountBookFile = accountsStateFile;
inline constexpr const char* uploadsFolder = uploadsStateFolder;
std::string uploadFile(const std::string& name);

// What is wrong with an account that the book could not keep within its bounds; none when
// nothing is.
std::optional<std::string> accountProblem(const Account& account);

// The file name extension of a picture whose declared type agrees with its bytes' signature
// ("png", "jpg"); none for anything else. Its size is checked apart.
std::optional<std::string> pictureExtension(const std::string& contentType, const std::string& bytes);

// Whether the account signs in by this name: its user name, phone number or e-mail address.
bool signsInAs(const Account& account, const std::string& name);
// A user name for the account of this id that no account of the book signs in by: "zv<id>", or
// "zv<id>_2", "zv<id>_3"... when that is taken (an account may have chosen it for itself).
std::string freeUserName(const AccountBook& book, std::int64_t id);

// The account as the book's file keeps it: its picture, the one field of an account that holds an
// address of this server (one it stored, or the sample data's), on port 0 (StoredAddresses); every
// text that a person typed (names, phone, e-mail) as typed.
Account keptAccount(Account account, std::uint16_t httpPort, std::uint16_t httpsPort);

// The book's file as written, its accounts as keptAccount() keeps them.
std::string accountBookText(const AccountBook& book, std::uint16_t httpPort, std::uint16_t httpsPort);

struct AccountBookRead {
    bool ok = true; // false: a file is damaged or missing (error names it); nothing is changed
    std::optional<AccountBook> book; // none when the folder has no book yet
    std::string error;
};
// The book of the folder, its accounts' pictures pointed at these ports, with the bytes of its
// uploads, each checked as the upload route checks one arriving (its type, its size, decoded
// whole). A book of the earlier form (passwords as typed, the tokens in one object) is read too:
// its passwords are hashed here, so that the next write keeps the new form. So is one of a server
// that kept every text beginning with its origin on port 0: its pictures follow the ports as they
// did, and every other text is read as it stands, since nothing tells what was typed so. A user name
// that an account of a lower id signs in by already (a book that only a fault of an earlier server
// left) stays that account's, the only one that a sign-in by it ever reached; the later account is
// given a name of its own (freeUserName), said on the log, and keeps its phone, e-mail and
// sign-ins.
AccountBookRead readAccountBook(const StateFolder& folder, std::uint16_t httpPort, std::uint16_t httpsPort);

// Removes the files of uploads/ that the book does not list: the bytes of a picture whose book was
// never written (the server was stopped in between). Each one removed is a line on the log.
void removeStrayUploads(const StateFolder& folder, const AccountBook& book);

}
