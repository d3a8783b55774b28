#include "tools/testserver/AccountsState.h"

#include "tools/testserver/JsonText.h"

#include <algorithm>
#include <chrono>
#include <iostream>

namespace testserver {

namespace {

// Recovery sessions kept; the oldest go first.
constexpr std::size_t kMaxSessions = 256;

}

std::string SampleAccounts::State::randomHex()
{
    static constexpr char digits[] = "0123456789abcdef";
    std::uint64_t value = random();
    std::string text;
    for (int i = 0; i < 16; ++i, value >>= 4)
        text += digits[value & 15];
    return text;
}

Account* SampleAccounts::State::signedIn(const ApiCall& call)
{
    if (!call.token)
        return nullptr;
    auto it = tokens.find(*call.token);
    return it == tokens.end() ? nullptr : &accounts.at(it->second);
}

Account* SampleAccounts::State::findByName(const std::string& name)
{
    // In the order of the ids: a name that two accounts of an earlier server's book shared was
    // always the lower one's (readAccountBook renames the other).
    for (auto& [id, account] : accounts) {
        if (signsInAs(account, name))
            return &account;
    }
    return nullptr;
}

std::string SampleAccounts::State::signIn(Account& account, std::string token)
{
    // A token signed in again (the sample's) becomes the newest rather than a second entry.
    std::erase(account.signIns, token);
    account.signIns.push_back(token);
    tokens[token] = account.id;
    while (account.signIns.size() > maxSignIns) {
        tokens.erase(account.signIns.front());
        account.signIns.pop_front();
    }
    return token;
}

std::string SampleAccounts::State::newToken(const Account& account)
{
    return account.id == sampleId ? sampleToken : "tk-" + std::to_string(account.id) + "-" + randomHex();
}

void SampleAccounts::State::endSignIns(Account& account)
{
    for (const std::string& token : account.signIns)
        tokens.erase(token);
    account.signIns.clear();
}

std::optional<ApiReply> SampleAccounts::State::refuseCaptcha(const ApiCall& call)
{
    std::string text
        = call.parameters.is_object() ? textOf(call.parameters.value("captcha", nlohmann::json())) : "";
    if (text.empty())
        return ApiReply::error(1003, "请完成验证");
    nlohmann::json result = nlohmann::json::parse(text, nullptr, false);
    if (!result.is_object())
        return ApiReply::error(1004, "验证失败，请重试");
    std::string ticket = textOf(result.value("ticket", nlohmann::json()));
    std::string randstr = textOf(result.value("randstr", nlohmann::json()));
    if (!tickets.take(ticket, randstr))
        return ApiReply::error(1004, "验证失败，请重试");
    return std::nullopt;
}

void SampleAccounts::State::sendCode(const std::string& to, const std::string& way)
{
    std::string code = fixedCode;
    if (code.empty())
        code = std::to_string(100000 + random() % 900000);
    codes[to] = code;
    std::cout << "testserver: code " << code << " sent by " << way << " to " << to << std::endl;
}

bool SampleAccounts::State::takeCode(const std::string& to, const std::string& code)
{
    auto it = codes.find(to);
    if (to.empty() || code.empty() || it == codes.end() || it->second != code)
        return false;
    codes.erase(it);
    return true;
}

std::optional<ApiReply> SampleAccounts::State::refuseNewAccount() const
{
    if (accounts.size() >= maxAccounts)
        return ApiReply::error(1018, "注册人数已满，暂不能注册新账号");
    // The id after the new one must still be one that the next start reads back.
    if (nextId >= StateFolder::maxExactInteger)
        return ApiReply::error(1019, "账号编号已用完，暂不能注册新账号");
    return std::nullopt;
}

Account& SampleAccounts::State::addAccount(
    const std::string& phone, const std::string& email, PasswordHash password)
{
    Account account;
    account.id = nextId++;
    // An account may have taken "zv<this id>" for itself already.
    account.username = freeUserName(*this, account.id);
    account.password = std::move(password);
    account.phone = phone;
    account.email = email;
    auto now = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::system_clock::now().time_since_epoch())
                   .count();
    account.profile = {
        { "avatar", "" },
        { "create_time", now },
        { "email", email },
        { "id", account.id },
        { "login_addr", "本机" },
        { "login_ip", "127.0.0.1" },
        { "nickname", "用户" + std::to_string(account.id) },
        { "phone", phone },
        { "status", 1 },
        { "username", account.username },
    };
    return accounts[account.id] = std::move(account);
}

void SampleAccounts::State::keepSession(const std::string& token, RecoverySession session)
{
    sessions[token] = std::move(session);
    sessionOrder.push_back(token);
    while (sessionOrder.size() > kMaxSessions) {
        sessions.erase(sessionOrder.front());
        sessionOrder.pop_front();
    }
}

bool SampleAccounts::State::keepUpload(const std::string& name, StoredUpload upload)
{
    // The bytes go to the folder ahead of the book that names them: a server stopped in between
    // leaves a stray file (removed at the next start), never a book without its picture.
    if (folder) {
        if (!folder->writeBytes(uploadFile(name), *upload.bytes))
            return false;
        newUploads.push_back(name);
    }
    uploads[name] = std::move(upload);
    uploadOrder.push_back(name);
    while (uploadOrder.size() > maxUploads) {
        uploads.erase(uploadOrder.front());
        if (folder)
            droppedUploads.push_back(uploadOrder.front());
        uploadOrder.pop_front();
    }
    return true;
}

bool SampleAccounts::State::keepBook()
{
    if (!folder)
        return true;
    // Compared whole rather than flagged by each endpoint, so that no change can be missed.
    std::string text = accountBookText(*this, httpPort, httpsPort);
    if (text != written) {
        // Refused by the disk: the old book stays whole, and still names the dropped uploads.
        if (!folder->writeBytes(accountBookFile, text))
            return false;
        written = std::move(text);
    }
    for (const std::string& name : droppedUploads)
        folder->remove(uploadFile(name));
    droppedUploads.clear();
    return true;
}

SampleAccounts::State::Saved SampleAccounts::State::save() const
{
    return { static_cast<const AccountBook&>(*this), codes, sessions, sessionOrder, tickets.save(),
        droppedUploads };
}

void SampleAccounts::State::restore(Saved saved)
{
    static_cast<AccountBook&>(*this) = std::move(saved.book);
    codes = std::move(saved.codes);
    sessions = std::move(saved.sessions);
    sessionOrder = std::move(saved.sessionOrder);
    tickets.restore(std::move(saved.tickets));
    droppedUploads = std::move(saved.droppedUploads);
}

void SampleAccounts::State::undo(Saved saved)
{
    // The pictures the change wrote are named by no book the next start reads.
    for (const std::string& name : newUploads)
        folder->remove(uploadFile(name));
    newUploads.clear();
    restore(std::move(saved));
}

}
