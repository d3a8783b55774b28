#pragma once

// The state behind the account endpoints (SampleAccounts), and how a change of it is kept: every
// change runs under the state's lock as one step that is either written to the state folder
// before its reply, or undone whole.

#include "tools/testserver/AccountBook.h"
#include "tools/testserver/ApiServer.h"
#include "tools/testserver/CaptchaTickets.h"
#include "tools/testserver/SampleAccounts.h"

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace testserver {

struct RecoverySession {
    std::int64_t account = 0;
    std::string sentTo; // where the last code of the session went
};

// The book (accounts, tokens, uploads) is what a state folder keeps; the rest starts again.
struct SampleAccounts::State : AccountBook {
    mutable std::mutex mutex;
    std::int64_t sampleId = 0;
    std::string sampleToken;
    std::string sampleRefreshedToken;
    std::map<std::string, std::string> codes; // phone number or e-mail address -> code
    CaptchaTickets tickets;
    std::map<std::string, RecoverySession> sessions;
    std::deque<std::string> sessionOrder;
    std::string uploadsBase;
    std::string fixedCode;
    std::mt19937_64 random { std::random_device {}() };

    // Where the book is kept, when anywhere; what was last written there.
    std::shared_ptr<const StateFolder> folder;
    std::uint16_t httpPort = 0;
    std::uint16_t httpsPort = 0;
    std::string written;
    std::vector<std::string> droppedUploads; // their files go once the book no longer lists them
    std::vector<std::string> newUploads; // files written by the change under way

    std::string randomHex();
    Account* signedIn(const ApiCall& call);
    // A user name, phone number or e-mail address of an account.
    Account* findByName(const std::string& name);
    // Signs the account in with the token, as its newest sign-in; the oldest beyond maxSignIns end.
    std::string signIn(Account& account, std::string token);
    // A fresh token of the account (the sample account's is its file's, which tests know).
    std::string newToken(const Account& account);
    void endSignIns(Account& account);
    // Refuses a missing or malformed captcha result, and one whose ticket the captcha page did
    // not get from this server or was used already; none when it passes (the ticket is used up).
    std::optional<ApiReply> refuseCaptcha(const ApiCall& call);
    void sendCode(const std::string& to, const std::string& way);
    // A right code is used up; a wrong one leaves the sent one for another try.
    bool takeCode(const std::string& to, const std::string& code);
    // None when a new account may be added, else the refusal (the book is full, or its ids are).
    std::optional<ApiReply> refuseNewAccount() const;
    Account& addAccount(const std::string& phone, const std::string& email, PasswordHash password);
    void keepSession(const std::string& token, RecoverySession session);
    // False when the state folder refused the bytes: an upload the next start would not find is
    // not taken.
    bool keepUpload(const std::string& name, StoredUpload upload);
    // Writes the book when it differs from the one written last; false when the disk refused it.
    bool keepBook();

    // What a change may alter, saved before it to be put back when its write fails.
    struct Saved {
        AccountBook book;
        std::map<std::string, std::string> codes;
        std::map<std::string, RecoverySession> sessions;
        std::deque<std::string> sessionOrder;
        CaptchaTickets::Saved tickets;
        std::vector<std::string> droppedUploads;
    };
    Saved save() const;
    void restore(Saved saved);

    // Runs `body` under the lock as one change: its reply goes out only once the book it left is
    // written; when the write fails, or the body itself answers notKept(), everything is as it was
    // before (the book, the codes, sessions and tickets it used, the upload files it wrote) and
    // the reply is notKept().
    template<typename Body> ApiReply change(Body&& body);
    // Runs `body` under the lock, for what changes nothing that is kept.
    template<typename Body> auto locked(Body&& body)
    {
        std::lock_guard lock(mutex);
        return body();
    }

private:
    void undo(Saved saved);
};

template<typename Body> ApiReply SampleAccounts::State::change(Body&& body)
{
    std::lock_guard lock(mutex);
    if (!folder)
        return body();
    Saved before = save();
    newUploads.clear();
    ApiReply reply = body();
    if (reply.errorCode != ApiReply::notKept().errorCode && keepBook())
        return reply;
    undo(std::move(before));
    return ApiReply::notKept();
}

}
