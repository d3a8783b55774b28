#include "tools/testserver/SampleAccounts.h"

#include "tools/testserver/AccountsState.h"
#include "tools/testserver/JsonText.h"
#include "tools/testserver/PictureCheck.h"
#include "tools/testserver/StaticFiles.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>
#include <variant>

namespace testserver {

namespace {

using State = SampleAccounts::State;

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
    if (text.size() > maxAccountTextBytes || text.find_first_of(" \t\r\n") != std::string::npos)
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

// A text longer than the book keeps, refused with the bound as it is counted: in bytes.
ApiReply tooLong(int errorCode, const std::string& what)
{
    return ApiReply::error(
        errorCode, what + "过长，不能超过" + std::to_string(maxAccountTextBytes) + "个字节");
}

// Both an empty password and one the book cannot keep.
std::optional<ApiReply> refusePassword(const std::string& password)
{
    if (password.empty())
        return ApiReply::error(1008, "请设置密码");
    if (password.size() > maxAccountTextBytes)
        return tooLong(1008, "密码");
    return std::nullopt;
}

ApiReply wrongPassword()
{
    return ApiReply::error(1002, "用户名或密码错误");
}

// A success whose `data` is a message: such data always travels encrypted.
ApiReply textReply(const std::string& text)
{
    ApiReply reply = ApiReply::success(nlohmann::json(text));
    reply.encryption = ApiReply::Encryption::Data;
    return reply;
}

std::mutex g_registryMutex;
// The state of each API's accounts; the API's handlers keep it alive.
std::map<const ApiServer*, std::weak_ptr<State>>& registry()
{
    static std::map<const ApiServer*, std::weak_ptr<State>> map;
    return map;
}

// A password is checked against its slow hash outside the state's lock, so that one login does
// not hold up every other call. It is judged by the password of the time it came: one changed
// meanwhile no longer signs in, whatever was typed.
ApiReply login(State& s, const ApiCall& call)
{
    if (param(call, "captcha").empty())
        return ApiReply::error(1003, "请完成验证");
    const std::string name = param(call, "username");
    std::optional<PasswordHash> checked = s.locked([&]() -> std::optional<PasswordHash> {
        Account* account = s.findByName(name);
        return account ? std::optional(account->password) : std::nullopt;
    });
    const bool right = checked && checked->matches(param(call, "password"));
    return s.change([&] {
        if (auto refusal = s.refuseCaptcha(call))
            return *refusal;
        Account* account = s.findByName(name);
        if (!right || !account || account->password != *checked)
            return wrongPassword();
        return ApiReply::success(
            { { "access_token", s.signIn(*account, s.newToken(*account)) } }, "登录成功");
    });
}

ApiReply refreshToken(State& s, const ApiCall& call)
{
    return s.change([&] {
        Account* account = s.signedIn(call);
        if (!account)
            return signInRequired();
        std::string fresh = account->id == s.sampleId ? s.sampleRefreshedToken : s.newToken(*account);
        return ApiReply::success({ { "refresh_token", s.signIn(*account, fresh) } });
    });
}

ApiReply userInfo(State& s, const ApiCall& call)
{
    return s.locked([&] {
        Account* account = s.signedIn(call);
        return account ? ApiReply::success(account->profile) : signInRequired();
    });
}

ApiReply getCode(State& s, const ApiCall& call)
{
    std::string way = param(call, "send_type");
    if (way != "phone" && way != "email")
        return ApiReply::error(1006, "发送方式错误");
    return s.locked([&] {
        if (auto refusal = s.refuseCaptcha(call))
            return *refusal;
        std::string to = param(call, "to");
        bool byPhone = way == "phone";
        if (byPhone ? !isPhone(to) : !isEmail(to))
            return badFormat(byPhone);
        s.sendCode(to, way);
        return ApiReply::success(nlohmann::json::object(), "验证码已发送");
    });
}

// The new password's hash, made outside the lock; a reply when there is none.
std::variant<PasswordHash, ApiReply> hashOf(const std::string& password)
{
    std::optional<PasswordHash> hashed = PasswordHash::make(password);
    if (!hashed)
        return ApiReply::notKept();
    return std::move(*hashed);
}

ApiReply registerAccount(State& s, const ApiCall& call, bool byPhone)
{
    std::string to = param(call, byPhone ? "phone" : "email");
    std::string code = param(call, byPhone ? "sms_code" : "email_code");
    std::string password = param(call, "password");
    if (byPhone ? !isPhone(to) : !isEmail(to))
        return badFormat(byPhone);
    if (auto refusal = refusePassword(password))
        return *refusal;
    auto hashed = hashOf(password);
    if (auto* refusal = std::get_if<ApiReply>(&hashed))
        return *refusal;
    return s.change([&] {
        if (s.findByName(to))
            return ApiReply::error(1007, byPhone ? "该手机号已注册" : "该邮箱已注册");
        if (auto refusal = s.refuseNewAccount())
            return *refusal;
        if (!s.takeCode(to, code))
            return ApiReply::error(1005, "验证码错误");
        Account& account
            = s.addAccount(byPhone ? to : "", byPhone ? "" : to, std::move(std::get<PasswordHash>(hashed)));
        return ApiReply::success({ { "access_token", s.signIn(account, s.newToken(account)) } }, "注册成功");
    });
}

ApiReply forgetGetToken(State& s, const ApiCall& call)
{
    return s.locked([&] {
        if (auto refusal = s.refuseCaptcha(call))
            return *refusal;
        Account* account = s.findByName(param(call, "username"));
        if (!account)
            return ApiReply::error(1009, "账号不存在");
        std::string token = "fs-" + s.randomHex();
        s.keepSession(token, { account->id, {} });
        return ApiReply::success({ { "session_token", token } });
    });
}

ApiReply forgetSendCode(State& s, const ApiCall& call)
{
    return s.locked([&] {
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
    });
}

// Both entries must be the same non-empty text.
std::optional<ApiReply> refusePasswords(const ApiCall& call)
{
    std::string password = param(call, "password");
    if (auto refusal = refusePassword(password))
        return *refusal;
    if (param(call, "repassword") != password)
        return ApiReply::error(1012, "两次输入的密码不一致");
    return std::nullopt;
}

ApiReply forgetSetPassword(State& s, const ApiCall& call)
{
    const std::string sessionToken = param(call, "session_token");
    auto hasSession = [&] { return s.sessions.contains(sessionToken); };
    if (!s.locked(hasSession))
        return ApiReply::error(1010, "请重新验证账号");
    if (auto refusal = refusePasswords(call))
        return *refusal;
    auto hashed = hashOf(param(call, "password"));
    if (auto* refusal = std::get_if<ApiReply>(&hashed))
        return *refusal;
    return s.change([&] {
        if (!hasSession())
            return ApiReply::error(1010, "请重新验证账号");
        RecoverySession& session = s.sessions.at(sessionToken);
        if (!s.takeCode(session.sentTo, param(call, "forget_code")))
            return ApiReply::error(1005, "验证码错误");
        Account& account = s.accounts.at(session.account);
        account.password = std::move(std::get<PasswordHash>(hashed));
        s.endSignIns(account);
        s.sessions.erase(sessionToken);
        return ApiReply::success(nlohmann::json::object(), "设置成功");
    });
}

ApiReply changeContact(State& s, const ApiCall& call, bool phone)
{
    return s.change([&] {
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
    });
}

ApiReply changeName(State& s, const ApiCall& call, bool nickname)
{
    return s.change([&] {
        Account* account = s.signedIn(call);
        if (!account)
            return signInRequired();
        std::string name = param(call, nickname ? "new_nickname" : "new_username");
        const std::string what = nickname ? "昵称" : "用户名";
        if (name.empty())
            return ApiReply::error(1014, what + "不能为空");
        if (name.size() > maxAccountTextBytes)
            return tooLong(1014, what);
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
    });
}

ApiReply changePassword(State& s, const ApiCall& call)
{
    if (!s.locked([&] { return s.signedIn(call) != nullptr; }))
        return signInRequired();
    if (auto refusal = refusePasswords(call))
        return *refusal;
    auto hashed = hashOf(param(call, "password"));
    if (auto* refusal = std::get_if<ApiReply>(&hashed))
        return *refusal;
    return s.change([&] {
        Account* account = s.signedIn(call);
        if (!account)
            return signInRequired();
        account->password = std::move(std::get<PasswordHash>(hashed));
        s.endSignIns(*account);
        return textReply("密码修改成功，请重新登录");
    });
}

// The file name extension of a picture that may be kept, or its refusal: the declared type must be
// a picture type that agrees with the bytes, and they must decode whole within the bounds.
std::variant<std::string, ApiReply> pictureOf(const FilePart& part)
{
    std::optional<std::string> extension = pictureExtension(part.contentType, part.data);
    if (!extension)
        return ApiReply::error(1015, "请上传 JPEG 或 PNG 图片");
    if (part.data.size() > maxUploadBytes)
        return ApiReply::error(1016, "图片过大");
    std::optional<PictureFault> fault = checkPicture(part.contentType, part.data);
    if (!fault)
        return std::move(*extension);
    if (fault->kind == PictureFault::Kind::tooLarge)
        return ApiReply::error(1016,
            "图片尺寸过大，每边不能超过" + std::to_string(maxPictureSide) + "像素，共不能超过"
                + std::to_string(maxPicturePixels / 10000) + "万像素");
    return ApiReply::error(1015, "图片已损坏，请重新选择");
}

// The picture is decoded outside the state's lock, so that a large one does not hold up every
// other call.
ApiReply changeAvatar(State& s, const ApiCall& call)
{
    if (!s.locked([&] { return s.signedIn(call) != nullptr; }))
        return signInRequired();
    auto picture = pictureOf(*call.upload);
    if (auto* refusal = std::get_if<ApiReply>(&picture))
        return *refusal;
    const std::string& extension = std::get<std::string>(picture);
    return s.change([&] {
        Account* account = s.signedIn(call);
        if (!account)
            return signInRequired();
        const FilePart& part = *call.upload;
        if (s.serial >= std::uint64_t(StateFolder::maxExactInteger))
            return ApiReply::error(1020, "头像数量已达上限");
        std::string name
            = "avatar-" + std::to_string(account->id) + "-" + std::to_string(++s.serial) + "." + extension;
        if (!s.keepUpload(name, { part.contentType, std::make_shared<const std::string>(part.data) }))
            return ApiReply::notKept();
        std::string url = s.uploadsBase + name;
        account->profile["avatar"] = url;
        return ApiReply::success({ { "url", url } }, "头像修改成功");
    });
}

void add(ApiServer& api, const std::shared_ptr<State>& state, std::string path, std::string method,
    std::function<ApiReply(State&, const ApiCall&)> endpoint)
{
    api.handle(std::move(path), [state, method = std::move(method), endpoint](const ApiCall& call) {
        if (call.method != method)
            return ApiReply::error(405, "请求方式错误");
        return endpoint(*state, call);
    });
}

// The sample account of account.json, its password hashed; none, with the reason, when the file
// lacks what it needs or holds more than the book keeps.
std::optional<Account> sampleAccount(const nlohmann::json& accountFile, const State& state,
    std::uint16_t httpPort, std::uint16_t httpsPort, std::string* error)
{
    auto fail = [error](std::string message) -> std::optional<Account> {
        if (error)
            *error = "account.json: " + std::move(message);
        return std::nullopt;
    };
    Account sample;
    sample.id = state.sampleId;
    sample.username = accountFile.value("username", "");
    sample.phone = accountFile.value("phone", "");
    sample.profile = accountFile.value("user", nlohmann::json::object());
    sample.email = textOf(sample.profile.value("email", nlohmann::json()));
    // Kept as the sample data has it, typed by tests and tours; only its hash is kept here.
    std::optional<PasswordHash> password = PasswordHash::make(accountFile.value("password", ""));
    if (!password)
        return fail("cannot hash the sample account's password");
    sample.password = std::move(*password);
    // The sample's token counts as issued by an earlier login.
    sample.signIns.push_back(state.sampleToken);
    if (std::optional<std::string> wrong = accountProblem(keptAccount(sample, httpPort, httpsPort)))
        return fail("the sample account " + *wrong);
    return sample;
}

}

SampleAccounts::SampleAccounts(std::shared_ptr<State> state)
    : m_state(std::move(state))
{ }

std::shared_ptr<SampleAccounts> SampleAccounts::install(ApiServer& api, const nlohmann::json& accountFile,
    std::uint16_t httpPort, std::uint16_t httpsPort, std::string* error)
{
    auto fail = [error](std::string message) -> std::shared_ptr<SampleAccounts> {
        if (error)
            *error = std::move(message);
        return nullptr;
    };
    auto state = std::make_shared<State>();
    state->sampleToken = accountFile.value("access_token", "");
    state->sampleRefreshedToken = accountFile.value("refreshed_token", "");
    state->sampleId = accountFile.value("user", nlohmann::json::object()).value("id", std::int64_t(1));
    if (accountFile.value("username", "").empty() || state->sampleToken.empty())
        return fail("account.json needs username and access_token");
    // The id after it is the first handed out, and must be one the next start reads back.
    if (state->sampleId < 1 || state->sampleId >= StateFolder::maxExactInteger)
        return fail("account.json: the sample account's id is not a whole number from 1 to "
            + std::to_string(StateFolder::maxExactInteger - 1));
    state->folder = api.stateFolder();
    state->httpPort = httpPort;
    state->httpsPort = httpsPort;
    if (state->folder) {
        AccountBookRead kept = readAccountBook(*state->folder, httpPort, httpsPort);
        if (!kept.ok)
            return fail(state->folder->refusal(kept.error));
        if (kept.book)
            static_cast<AccountBook&>(*state) = std::move(*kept.book);
    }
    // The sample account as its file has it the first time; a kept one as it has become since.
    if (!state->accounts.contains(state->sampleId)) {
        std::optional<Account> sample = sampleAccount(accountFile, *state, httpPort, httpsPort, error);
        if (!sample)
            return nullptr;
        if (state->accounts.size() >= maxAccounts)
            return fail("the state file " + (state->folder->path() / accountBookFile).string()
                + " holds as many accounts as a book keeps, and not the sample account");
        state->tokens[state->sampleToken] = state->sampleId;
        state->accounts[state->sampleId] = std::move(*sample);
    }
    state->nextId = std::max(state->nextId, state->sampleId + 1);
    // A first start writes the book, and one on a book of the earlier form writes it anew; the
    // pictures that no account lists go. Both wait until every state file is read and judged, so
    // that a start refused on the way changes nothing (StateFolder::take).
    if (state->folder) {
        std::weak_ptr<State> weak = state;
        state->folder->atTake([weak](std::string* error) {
            std::shared_ptr<State> kept = weak.lock();
            if (!kept)
                return true;
            std::lock_guard lock(kept->mutex);
            if (!kept->keepBook()) {
                *error = "cannot write the state file " + (kept->folder->path() / accountBookFile).string();
                return false;
            }
            removeStrayUploads(*kept->folder, *kept);
            return true;
        });
    }
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
    api.handleUpload("v1/user/change/avatar", "avatar_file",
        [state](const ApiCall& call) { return changeAvatar(*state, call); });

    // The captcha page asks here, on its own origin, once its challenge is passed.
    api.server().route("/captcha/ticket", [state](const Request& request) {
        if (request.method != "POST") {
            Reply refused = Reply::text(405, "method not allowed\n");
            refused.headers.emplace_back("Allow", "POST");
            return refused;
        }
        // Under the lock: a change undone puts back the tickets as they were before it.
        CaptchaTickets::Ticket issued = state->locked([&] { return state->tickets.issue(); });
        Reply reply = Reply::json(
            nlohmann::json { { "ticket", issued.ticket }, { "randstr", issued.randstr } }.dump());
        reply.headers.emplace_back("Cache-Control", "no-store");
        return reply;
    });

    api.server().routePrefix("/uploads/", [state](const Request& request) {
        if (request.method != "GET" && request.method != "HEAD")
            return Reply::text(405, "method not allowed\n");
        std::string name = request.path.substr(std::string_view("/uploads/").size());
        std::optional<StoredUpload> upload = state->locked([&]() -> std::optional<StoredUpload> {
            auto it = state->uploads.find(name);
            return it == state->uploads.end() ? std::nullopt : std::optional(it->second);
        });
        if (!upload)
            return Reply::text(404, "not found\n");
        return Reply::text(
            200, request.method == "HEAD" ? std::string() : *upload->bytes, upload->contentType);
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
    return *it->second.bytes;
}

}
