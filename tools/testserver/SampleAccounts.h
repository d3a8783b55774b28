#pragma once

#include "tools/testserver/ApiServer.h"

#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace testserver {

// The account endpoints of the sample API, with state kept for the server's life: accounts
// (the sample account of account.json, and every one registered since), their tokens, the
// verification codes "sent" by text message or e-mail, the captcha tickets, the password-recovery
// sessions and the uploaded avatars, which the server serves under /uploads/.
//
// With a state folder on the API (ApiServer::setStateFolder) the accounts, their tokens, the next
// id and the uploads outlive the server (AccountBook): read back at install, the sample account
// from account.json only while the folder has none, and written after every call that changed
// them, before its reply. A call whose write the disk refuses is answered ApiReply::notKept()
// and leaves nothing behind: the accounts, codes, tickets and sessions are as before it, and the
// same call may be made again. A damaged book or upload stops the install, and is left as it is.
//
// Rules the endpoints keep, as a real server would:
//  - a captcha result is the captcha page's JSON text of an object with the `ticket` and
//    `randstr` that the page got from POST /captcha/ticket (a route of this server, beside the
//    page) once its challenge was passed; it counts once, within a few minutes;
//  - a code is six random digits (or the digits of ZV_TESTSERVER_CODE, for scripted runs), good
//    for the number or address it went to until it is used or replaced; every code sent is also
//    written to standard output ("testserver: code ...");
//  - a changed or recovered password ends every sign-in of the account, and an account keeps
//    its newest maxSignIns sign-ins (a ninth ends the oldest);
//  - passwords are kept as salted slow hashes (PasswordHash), the sample account's too;
//  - at most maxAccounts accounts, with ids that stay within StateFolder::maxExactInteger: a
//    registration beyond either is refused with a message that says so;
//  - a sign-in is any of the account's user name, phone number or e-mail address;
//  - an avatar is taken only when it decodes whole as the JPEG or PNG it is declared as, within
//    the bounds of PictureCheck.h;
//  - a refusal says its reason: a name or password too long gives the bound, in bytes.
// Wrong methods, missing sign-ins and bad input get an error envelope, never a crash.
class SampleAccounts {
public:
    // Installs the account endpoints on the API, replacing earlier handlers of the same paths,
    // and the /captcha/ticket and /uploads/ routes on its server. `accountFile` is the sample
    // account (username, password, phone, access_token, refreshed_token, user). None, with a
    // message, when the file lacks the user name or the token, or the state folder's book is
    // damaged (the message names its file). The book's first write and the removal of pictures
    // that no account lists wait for the folder to be taken (StateFolder::take).
    static std::shared_ptr<SampleAccounts> install(ApiServer& api, const nlohmann::json& accountFile,
        std::uint16_t httpPort, std::uint16_t httpsPort, std::string* error = nullptr);
    // The accounts installed on that API (tests); none before install().
    static std::shared_ptr<SampleAccounts> of(const ApiServer& api);

    // The code last sent to the phone number or e-mail address and not used since.
    std::optional<std::string> lastCode(const std::string& to) const;
    // The profile of the account that the token signs in, as "v1/user/info" gives it.
    std::optional<nlohmann::json> profileForToken(const std::string& token) const;
    // The profile of the account with this id, whether signed in or not (the chat room names its
    // members by it).
    std::optional<nlohmann::json> profileOf(std::int64_t id) const;
    // An uploaded file by its name under /uploads/.
    std::optional<std::string> upload(const std::string& name) const;

    struct State;
    explicit SampleAccounts(std::shared_ptr<State> state);

private:
    std::shared_ptr<State> m_state;
};

}
