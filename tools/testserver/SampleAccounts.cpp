#include "tools/testserver/SampleAccounts.h"

#include "tools/testserver/AccountBook.h"
#include "tools/testserver/CaptchaTickets.h"
#include "tools/testserver/StaticFiles.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <iostream>
#include <map>
#include <mutex>
#include <random>
#include <vector>

namespace testserver {

namespace {

// Parameters longer than this are refused rather than stored.
constexpr std::size_t kMaxTextBytes = 128;
constexpr std::size_t kMaxAvatarBytes = 5 * 1024 * 1024;
// Kept uploads and recovery sessions; the oldest go first.
constexpr std::size_t kMaxUploads = 64;
constexpr std::size_t kMaxSessions = 256;

struct RecoverySession {
    std::int64_t account = 0;
    std::string sentTo; // where the last code of the session went
};

std::string textOf(const nlohmann::json& value)
{
    if (value.is_string())
        return value.get<std::string>();
    if (value.is_number_integer())
        return std::to_string(value.get<long long>());
    return {};
}

std::string param(const ApiCall& call, const char* key)
{
    if (!call.parameters.is_object())
        return {};
    return textOf(call.parameters.value(key, nlohmann::json()));
}

bool isDigits(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool isPhone(const std::string& text)
{
    return text.size() == 11 && text[0] == '1' && text[1] >= '3' && text[1] <= '9' && isDigits(text);
}

bool isEmail(const std::string& text)
{
    if (text.size() > kMaxTextBytes || text.find_first_of(" \t\r\n") != std::string::npos)
        return false;
    auto at = text.find('@');
    if (at == 0 || at == std::string::npos || text.find('@', at + 1) != std::string::npos)
        return false;
    auto dot = text.find('.', at + 2);
    return dot != std::string::npos && dot + 1 < text.size();
}

ApiReply signInRequired()
{
    return ApiReply::error(2000, "请先登录");
}

ApiReply badFormat(bool phone)
{
    return ApiReply::error(1006, phone ? "手机号格式不正确" : "邮箱格式不正确");
}

// A success whose `data` is a message: such data always travels encrypted.
ApiReply textReply(const std::string& text)
{
    ApiReply reply = ApiReply::success(nlohmann::json(text));
    reply.encryption = ApiReply::Encryption::Data;
    return reply;
}

bool sniffs(const std::string& bytes, std::string_view signature)
{
    return bytes.size() >= signature.size()
        && std::string_view(bytes).substr(0, signature.size()) == signature;
}

}

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

    std::string randomHex()
    {
        static constexpr char digits[] = "0123456789abcdef";
        std::uint64_t value = random();
        std::string text;
        for (int i = 0; i < 16; ++i, value >>= 4)
            text += digits[value & 15];
        return text;
    }

    Account* signedIn(const ApiCall& call)
    {
        if (!call.token)
            return nullptr;
        auto it = tokens.find(*call.token);
        return it == tokens.end() ? nullptr : &accounts.at(it->second);
    }

    // A user name, phone number or e-mail address of an account.
    Account* findByName(const std::string& name)
    {
        if (name.empty())
            return nullptr;
        for (auto& [id, account] : accounts) {
            if (account.username == name || account.phone == name || account.email == name)
                return &account;
        }
        return nullptr;
    }

    std::string issueToken(const Account& account)
    {
        // The sample account signs in with its file's token, which tests know.
        std::string token
            = account.id == sampleId ? sampleToken : "tk-" + std::to_string(account.id) + "-" + randomHex();
        tokens[token] = account.id;
        return token;
    }

    void endSignIns(std::int64_t id)
    {
        std::erase_if(tokens, [id](const auto& entry) { return entry.second == id; });
    }

    // Refuses a missing or malformed captcha result, and one whose ticket the captcha page did
    // not get from this server or was used already; none when it passes (the ticket is used up).
    std::optional<ApiReply> refuseCaptcha(const ApiCall& call)
    {
        std::string text = param(call, "captcha");
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

    void sendCode(const std::string& to, const std::string& way)
    {
        std::string code = fixedCode;
        if (code.empty())
            code = std::to_string(100000 + random() % 900000);
        codes[to] = code;
        std::cout << "testserver: code " << code << " sent by " << way << " to " << to << std::endl;
    }

    // A right code is used up; a wrong one leaves the sent one for another try.
    bool takeCode(const std::string& to, const std::string& code)
    {
        auto it = codes.find(to);
        if (to.empty() || code.empty() || it == codes.end() || it->second != code)
            return false;
        codes.erase(it);
        return true;
    }

    Account& addAccount(const std::string& phone, const std::string& email, const std::string& password)
    {
        Account account;
        account.id = nextId++;
        account.username = "zv" + std::to_string(account.id);
        account.password = password;
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

    void keepSession(const std::string& token, RecoverySession session)
    {
        sessions[token] = std::move(session);
        sessionOrder.push_back(token);
        while (sessionOrder.size() > kMaxSessions) {
            sessions.erase(sessionOrder.front());
            sessionOrder.pop_front();
        }
    }

    // False when a state folder refused the bytes: an upload the next start would not find is
    // not taken.
    bool keepUpload(const std::string& name, StoredUpload upload)
    {
        // The bytes go to the folder ahead of the book that names them: a server stopped in between
        // leaves a stray file, never a book without its picture.
        if (folder && !folder->writeBytes(uploadFile(name), upload.bytes))
            return false;
        uploads[name] = std::move(upload);
        uploadOrder.push_back(name);
        while (uploadOrder.size() > kMaxUploads) {
            uploads.erase(uploadOrder.front());
            droppedUploads.push_back(uploadOrder.front());
            uploadOrder.pop_front();
        }
        return true;
    }

    // Writes the book when a call changed it, before the call's reply goes out. Compared whole
    // rather than flagged by each endpoint, so that no change can be missed.
    void keepBook()
    {
        if (!folder)
            return;
        std::string text = accountBookJSON(*this, httpPort, httpsPort)
                               .dump(1, ' ', false, nlohmann::json::error_handler_t::replace)
            + "\n";
        if (text != written) {
            // Refused by the disk: the old book stays whole, and still names the dropped uploads.
            if (!folder->writeBytes(accountBookFile, text))
                return;
            written = std::move(text);
        }
        for (const std::string& name : droppedUploads)
            folder->remove(uploadFile(name));
        droppedUploads.clear();
    }
};

namespace {

using State = SampleAccounts::State;

std::mutex g_registryMutex;
// The state of each API's accounts; the API's handlers keep it alive.
std::map<const ApiServer*, std::weak_ptr<State>>& registry()
{
    static std::map<const ApiServer*, std::weak_ptr<State>> map;
    return map;
}

ApiReply login(State& s, const ApiCall& call)
{
    if (auto refusal = s.refuseCaptcha(call))
        return *refusal;
    Account* account = s.findByName(param(call, "username"));
    if (!account || account->password != param(call, "password"))
        return ApiReply::error(1002, "用户名或密码错误");
    return ApiReply::success({ { "access_token", s.issueToken(*account) } }, "登录成功");
}

ApiReply refreshToken(State& s, const ApiCall& call)
{
    Account* account = s.signedIn(call);
    if (!account)
        return signInRequired();
    std::string fresh = account->id == s.sampleId ? s.sampleRefreshedToken
                                                  : "tk-" + std::to_string(account->id) + "-" + s.randomHex();
    s.tokens[fresh] = account->id;
    return ApiReply::success({ { "refresh_token", fresh } });
}

ApiReply userInfo(State& s, const ApiCall& call)
{
    Account* account = s.signedIn(call);
    return account ? ApiReply::success(account->profile) : signInRequired();
}

ApiReply getCode(State& s, const ApiCall& call)
{
    std::string way = param(call, "send_type");
    if (way != "phone" && way != "email")
        return ApiReply::error(1006, "发送方式错误");
    if (auto refusal = s.refuseCaptcha(call))
        return *refusal;
    std::string to = param(call, "to");
    bool byPhone = way == "phone";
    if (byPhone ? !isPhone(to) : !isEmail(to))
        return badFormat(byPhone);
    s.sendCode(to, way);
    return ApiReply::success(nlohmann::json::object(), "验证码已发送");
}

ApiReply registerAccount(State& s, const ApiCall& call, bool byPhone)
{
    std::string to = param(call, byPhone ? "phone" : "email");
    std::string code = param(call, byPhone ? "sms_code" : "email_code");
    std::string password = param(call, "password");
    if (byPhone ? !isPhone(to) : !isEmail(to))
        return badFormat(byPhone);
    if (password.empty() || password.size() > kMaxTextBytes)
        return ApiReply::error(1008, "请设置密码");
    if (s.findByName(to))
        return ApiReply::error(1007, byPhone ? "该手机号已注册" : "该邮箱已注册");
    if (!s.takeCode(to, code))
        return ApiReply::error(1005, "验证码错误");
    Account& account = s.addAccount(byPhone ? to : "", byPhone ? "" : to, password);
    return ApiReply::success({ { "access_token", s.issueToken(account) } }, "注册成功");
}

ApiReply forgetGetToken(State& s, const ApiCall& call)
{
    if (auto refusal = s.refuseCaptcha(call))
        return *refusal;
    Account* account = s.findByName(param(call, "username"));
    if (!account)
        return ApiReply::error(1009, "账号不存在");
    std::string token = "fs-" + s.randomHex();
    s.keepSession(token, { account->id, {} });
    return ApiReply::success({ { "session_token", token } });
}

ApiReply forgetSendCode(State& s, const ApiCall& call)
{
    auto session = s.sessions.find(param(call, "session_token"));
    if (session == s.sessions.end())
        return ApiReply::error(1010, "请重新验证账号");
    const Account& account = s.accounts.at(session->second.account);
    std::string way = param(call, "send_type");
    if (way != "phone" && way != "email")
        return ApiReply::error(1006, "发送方式错误");
    const std::string& to = way == "phone" ? account.phone : account.email;
    if (to.empty())
        return ApiReply::error(1011, way == "phone" ? "该账号未绑定手机号" : "该账号未绑定邮箱");
    s.sendCode(to, way);
    session->second.sentTo = to;
    return ApiReply::success(nlohmann::json::object(), "验证码已发送");
}

// Both entries must be the same non-empty text.
std::optional<ApiReply> refusePasswords(const ApiCall& call)
{
    std::string password = param(call, "password");
    if (password.empty() || password.size() > kMaxTextBytes)
        return ApiReply::error(1008, "请设置密码");
    if (param(call, "repassword") != password)
        return ApiReply::error(1012, "两次输入的密码不一致");
    return std::nullopt;
}

ApiReply forgetSetPassword(State& s, const ApiCall& call)
{
    auto session = s.sessions.find(param(call, "session_token"));
    if (session == s.sessions.end())
        return ApiReply::error(1010, "请重新验证账号");
    if (auto refusal = refusePasswords(call))
        return *refusal;
    if (!s.takeCode(session->second.sentTo, param(call, "forget_code")))
        return ApiReply::error(1005, "验证码错误");
    Account& account = s.accounts.at(session->second.account);
    account.password = param(call, "password");
    s.endSignIns(account.id);
    s.sessions.erase(session);
    return ApiReply::success(nlohmann::json::object(), "设置成功");
}

ApiReply changeContact(State& s, const ApiCall& call, bool phone)
{
    Account* account = s.signedIn(call);
    if (!account)
        return signInRequired();
    std::string to = param(call, phone ? "new_phone" : "new_email");
    if (phone ? !isPhone(to) : !isEmail(to))
        return badFormat(phone);
    Account* holder = s.findByName(to);
    if (holder && holder != account)
        return ApiReply::error(1007, phone ? "该手机号已被绑定" : "该邮箱已被绑定");
    if (!s.takeCode(to, param(call, phone ? "sms_code" : "email_code")))
        return ApiReply::error(1005, "验证码错误");
    (phone ? account->phone : account->email) = to;
    account->profile[phone ? "phone" : "email"] = to;
    return textReply(phone ? "手机号绑定成功" : "邮箱绑定成功");
}

ApiReply changeName(State& s, const ApiCall& call, bool nickname)
{
    Account* account = s.signedIn(call);
    if (!account)
        return signInRequired();
    std::string name = param(call, nickname ? "new_nickname" : "new_username");
    if (name.empty() || name.size() > kMaxTextBytes)
        return ApiReply::error(1014, nickname ? "昵称不能为空" : "用户名不能为空");
    if (nickname) {
        account->profile["nickname"] = name;
        return textReply("昵称修改成功");
    }
    Account* holder = s.findByName(name);
    if (holder && holder != account)
        return ApiReply::error(1013, "用户名已存在");
    account->username = name;
    account->profile["username"] = name;
    return textReply("用户名修改成功");
}

ApiReply changePassword(State& s, const ApiCall& call)
{
    Account* account = s.signedIn(call);
    if (!account)
        return signInRequired();
    if (auto refusal = refusePasswords(call))
        return *refusal;
    account->password = param(call, "password");
    s.endSignIns(account->id);
    return textReply("密码修改成功，请重新登录");
}

ApiReply changeAvatar(State& s, const ApiCall& call)
{
    Account* account = s.signedIn(call);
    if (!account)
        return signInRequired();
    const FilePart& part = *call.upload;
    // The declared type must be a picture type and agree with the bytes.
    std::string extension;
    if (part.contentType == "image/jpeg" && sniffs(part.data, "\xFF\xD8\xFF"))
        extension = "jpg";
    else if (part.contentType == "image/png" && sniffs(part.data, "\x89PNG\r\n\x1A\n"))
        extension = "png";
    if (extension.empty())
        return ApiReply::error(1015, "请上传 JPEG 或 PNG 图片");
    if (part.data.size() > kMaxAvatarBytes)
        return ApiReply::error(1016, "图片过大");
    std::string name
        = "avatar-" + std::to_string(account->id) + "-" + std::to_string(++s.serial) + "." + extension;
    if (!s.keepUpload(name, { part.contentType, part.data }))
        return ApiReply::error(1017, "头像保存失败，请稍后重试");
    std::string url = s.uploadsBase + name;
    account->profile["avatar"] = url;
    return ApiReply::success({ { "url", url } }, "头像修改成功");
}

void add(ApiServer& api, const std::shared_ptr<State>& state, std::string path, std::string method,
    std::function<ApiReply(State&, const ApiCall&)> endpoint)
{
    api.handle(std::move(path), [state, method = std::move(method), endpoint](const ApiCall& call) {
        if (call.method != method)
            return ApiReply::error(405, "请求方式错误");
        std::lock_guard lock(state->mutex);
        ApiReply reply = endpoint(*state, call);
        state->keepBook();
        return reply;
    });
}

}

SampleAccounts::SampleAccounts(std::shared_ptr<State> state)
    : m_state(std::move(state))
{ }

std::shared_ptr<SampleAccounts> SampleAccounts::install(ApiServer& api, const nlohmann::json& accountFile,
    std::uint16_t httpPort, std::uint16_t httpsPort, std::string* error)
{
    auto state = std::make_shared<State>();
    Account sample;
    sample.username = accountFile.value("username", "");
    sample.password = accountFile.value("password", "");
    sample.phone = accountFile.value("phone", "");
    sample.profile = accountFile.value("user", nlohmann::json::object());
    sample.email = textOf(sample.profile.value("email", nlohmann::json()));
    sample.id = sample.profile.value("id", std::int64_t(1));
    state->sampleToken = accountFile.value("access_token", "");
    state->sampleRefreshedToken = accountFile.value("refreshed_token", "");
    if (sample.username.empty() || state->sampleToken.empty()) {
        if (error)
            *error = "account.json needs username and access_token";
        return nullptr;
    }
    state->sampleId = sample.id;
    state->folder = api.stateFolder();
    state->httpPort = httpPort;
    state->httpsPort = httpsPort;
    if (state->folder) {
        AccountBookRead kept = readAccountBook(*state->folder, httpPort, httpsPort, kMaxAvatarBytes);
        if (!kept.ok) {
            if (error)
                *error = std::move(kept.error);
            return nullptr;
        }
        if (kept.book)
            static_cast<AccountBook&>(*state) = std::move(*kept.book);
    }
    // The sample account as its file has it the first time; a kept one as it has become since.
    if (!state->accounts.contains(sample.id)) {
        // The sample's token counts as issued by an earlier login.
        state->tokens[state->sampleToken] = sample.id;
        state->accounts[sample.id] = std::move(sample);
    }
    state->nextId = std::max(state->nextId, state->sampleId + 1);
    state->keepBook();
    state->uploadsBase = pointAtLoopback("https://127.0.0.1:0/uploads/", httpPort, httpsPort);
    if (const char* code = std::getenv("ZV_TESTSERVER_CODE")) {
        std::string text = code;
        if (text.size() >= 4 && text.size() <= 8 && isDigits(text))
            state->fixedCode = text;
    }

    add(api, state, "v1/user/login", "POST", login);
    add(api, state, "v1/user/refresh_token", "GET", refreshToken);
    add(api, state, "v1/user/info", "GET", userInfo);
    add(api, state, "v1/user/get_code", "GET", getCode);
    add(api, state, "v1/user/register/phone", "POST",
        [](State& s, const ApiCall& call) { return registerAccount(s, call, true); });
    add(api, state, "v1/user/register/email", "POST",
        [](State& s, const ApiCall& call) { return registerAccount(s, call, false); });
    add(api, state, "v1/user/forget/get_token", "GET", forgetGetToken);
    add(api, state, "v1/user/forget/send_code", "GET", forgetSendCode);
    add(api, state, "v1/user/forget/set_pass", "POST", forgetSetPassword);
    add(api, state, "v1/user/change/phone", "POST",
        [](State& s, const ApiCall& call) { return changeContact(s, call, true); });
    add(api, state, "v1/user/change/email", "POST",
        [](State& s, const ApiCall& call) { return changeContact(s, call, false); });
    add(api, state, "v1/user/change/nickname", "POST",
        [](State& s, const ApiCall& call) { return changeName(s, call, true); });
    add(api, state, "v1/user/change/username", "POST",
        [](State& s, const ApiCall& call) { return changeName(s, call, false); });
    add(api, state, "v1/user/change/password", "POST", changePassword);
    api.handleUpload("v1/user/change/avatar", "avatar_file", [state](const ApiCall& call) {
        std::lock_guard lock(state->mutex);
        ApiReply reply = changeAvatar(*state, call);
        state->keepBook();
        return reply;
    });

    // The captcha page asks here, on its own origin, once its challenge is passed.
    api.server().route("/captcha/ticket", [state](const Request& request) {
        if (request.method != "POST") {
            Reply refused = Reply::text(405, "method not allowed\n");
            refused.headers.emplace_back("Allow", "POST");
            return refused;
        }
        CaptchaTickets::Ticket issued = state->tickets.issue();
        Reply reply = Reply::json(
            nlohmann::json { { "ticket", issued.ticket }, { "randstr", issued.randstr } }.dump());
        reply.headers.emplace_back("Cache-Control", "no-store");
        return reply;
    });

    api.server().routePrefix("/uploads/", [state](const Request& request) {
        if (request.method != "GET" && request.method != "HEAD")
            return Reply::text(405, "method not allowed\n");
        std::string name = request.path.substr(std::string_view("/uploads/").size());
        std::lock_guard lock(state->mutex);
        auto it = state->uploads.find(name);
        if (it == state->uploads.end())
            return Reply::text(404, "not found\n");
        return Reply::text(
            200, request.method == "HEAD" ? std::string() : it->second.bytes, it->second.contentType);
    });

    std::lock_guard lock(g_registryMutex);
    std::erase_if(registry(), [](const auto& entry) { return entry.second.expired(); });
    registry()[&api] = state;
    return std::make_shared<SampleAccounts>(state);
}

std::shared_ptr<SampleAccounts> SampleAccounts::of(const ApiServer& api)
{
    std::lock_guard lock(g_registryMutex);
    auto it = registry().find(&api);
    std::shared_ptr<State> state = it == registry().end() ? nullptr : it->second.lock();
    return state ? std::make_shared<SampleAccounts>(std::move(state)) : nullptr;
}

std::optional<std::string> SampleAccounts::lastCode(const std::string& to) const
{
    std::lock_guard lock(m_state->mutex);
    auto it = m_state->codes.find(to);
    if (it == m_state->codes.end())
        return std::nullopt;
    return it->second;
}

std::optional<nlohmann::json> SampleAccounts::profileForToken(const std::string& token) const
{
    std::lock_guard lock(m_state->mutex);
    auto it = m_state->tokens.find(token);
    if (it == m_state->tokens.end())
        return std::nullopt;
    return m_state->accounts.at(it->second).profile;
}

std::optional<nlohmann::json> SampleAccounts::profileOf(std::int64_t id) const
{
    std::lock_guard lock(m_state->mutex);
    auto it = m_state->accounts.find(id);
    if (it == m_state->accounts.end())
        return std::nullopt;
    return it->second.profile;
}

std::optional<std::string> SampleAccounts::upload(const std::string& name) const
{
    std::lock_guard lock(m_state->mutex);
    auto it = m_state->uploads.find(name);
    if (it == m_state->uploads.end())
        return std::nullopt;
    return it->second.bytes;
}

}
