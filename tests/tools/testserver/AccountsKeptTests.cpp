// The accounts of a test server with a state folder keep their word: a change is answered as done
// only once it is on the disk, and what the next start reads back is what was answered; the
// passwords, sign-ins, pictures and counts that it keeps are what a real server would keep.

#include "tests/support/FullDisk.h"
#include "tests/support/TempDir.h"
#include "tests/tools/testserver/RoomClient.h"
#include "tests/tools/testserver/SampleServer.h"
#include "tools/testserver/AccountBook.h"
#include "tools/testserver/StateFolder.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <set>

using namespace testserver;

namespace {

class AccountsKeptTest : public ::testing::Test, protected zvtest::RoomClient {
protected:
    void TearDown() override { stop(); }

    // A server over the sample data in place of the one before, keeping its state in the test's
    // folder; empty, or why it did not start.
    std::string start()
    {
        stop();
        std::string error;
        std::shared_ptr<StateFolder> folder = StateFolder::open(state.path(), &error);
        if (!folder)
            return error;
        zvtest::SampleServer started
            = zvtest::SampleServer::start(zvtest::SampleServer::dataDir(), SamplePreparation::AtFirstUse, folder);
        server = std::move(started.server);
        api = std::move(started.api);
        return api ? "" : started.error;
    }

    void stop()
    {
        api.reset();
        if (server)
            server->stop();
        server.reset();
    }

    std::string bytesOf(const std::string& name)
    {
        std::ifstream file(state / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

    void put(const std::string& name, const std::string& bytes)
    {
        std::filesystem::create_directories((state / name).parent_path());
        std::ofstream(state / name, std::ios::binary) << bytes;
    }

    std::set<std::string> uploadFiles()
    {
        std::set<std::string> names;
        std::error_code ec;
        for (auto it = std::filesystem::directory_iterator(state / "uploads", ec);
             !ec && it != std::filesystem::directory_iterator(); it.increment(ec))
            names.insert(it->path().filename().string());
        return names;
    }

    // The code sent for a captcha passed, as the app asks for it.
    std::string codeFor(const std::string& to, const char* way)
    {
        call("GET", "v1/user/get_code", { { "to", to }, { "send_type", way }, { "captcha", captcha() } }, "");
        return SampleAccounts::of(*api)->lastCode(to).value_or("");
    }

    std::int64_t idOf(const std::string& token) { return profile(token).value("id", std::int64_t(0)); }

    // Numbers of its own for each account a test makes.
    std::string newPhone() { return "1391235" + std::to_string(1000 + ++m_phones); }

    // A book whose accounts are the filler's, beside what `edit` puts in; its accounts' password is
    // "pass-1".
    static nlohmann::json bookWith(std::int64_t nextId, std::size_t fillers)
    {
        nlohmann::json accounts = nlohmann::json::array();
        const nlohmann::json hash = PasswordHash::make(kPassword, 1)->toJSON();
        for (std::size_t i = 0; i < fillers; ++i) {
            accounts.push_back({ { "id", i + 1 }, { "username", "filler" + std::to_string(i + 1) },
                { "password_hash", hash }, { "phone", "" }, { "email", "" },
                { "profile", { { "id", i + 1 } } }, { "tokens", nlohmann::json::array() } });
        }
        return { { "next_id", nextId }, { "upload_serial", 0 }, { "accounts", std::move(accounts) },
            { "uploads", nlohmann::json::array() } };
    }

    zvtest::TempDir state;

private:
    int m_phones = 0;
};

TEST_F(AccountsKeptTest, AChangeTheDiskRefusesIsUndoneAndTheSameCallSucceedsAfter)
{
    ASSERT_EQ(start(), "");
    struct Who {
        std::string token;
        std::string phone;
    };
    using Call = std::function<nlohmann::json()>;
    struct Case {
        const char* what;
        // Made ready while the disk still takes writes (codes sent, a ticket issued); the call made
        // twice, refused and then kept.
        std::function<Call(const Who&)> ready;
    };
    const Case cases[] = {
        { "a registration by phone",
            [&](const Who&) -> Call {
                std::string phone = newPhone();
                std::string code = codeFor(phone, "phone");
                return [=, this] {
                    return call("POST", "v1/user/register/phone",
                        { { "phone", phone }, { "password", kPassword }, { "sms_code", code } }, "");
                };
            } },
        { "a registration by e-mail",
            [&](const Who&) -> Call {
                std::string email = "kept" + newPhone() + "@mail.example";
                std::string code = codeFor(email, "email");
                return [=, this] {
                    return call("POST", "v1/user/register/email",
                        { { "email", email }, { "password", kPassword }, { "email_code", code } }, "");
                };
            } },
        { "a login",
            [&](const Who& who) -> Call {
                std::string ticket = captcha();
                return [=, this] {
                    return call("POST", "v1/user/login",
                        { { "username", who.phone }, { "password", kPassword }, { "captcha", ticket } }, "");
                };
            } },
        { "a token refreshed",
            [&](const Who& who) -> Call {
                return [=, this] { return call("GET", "v1/user/refresh_token", {}, who.token); };
            } },
        { "a nickname",
            [&](const Who& who) -> Call {
                return [=, this] {
                    return call("POST", "v1/user/change/nickname", { { "new_nickname", "满盘之后" } }, who.token);
                };
            } },
        { "a user name",
            [&](const Who& who) -> Call {
                return [=, this] {
                    return call(
                        "POST", "v1/user/change/username", { { "new_username", "u" + who.phone } }, who.token);
                };
            } },
        { "a phone number bound",
            [&](const Who& who) -> Call {
                std::string phone = newPhone();
                std::string code = codeFor(phone, "phone");
                return [=, this] {
                    return call("POST", "v1/user/change/phone", { { "new_phone", phone }, { "sms_code", code } },
                        who.token);
                };
            } },
        { "an e-mail address bound",
            [&](const Who& who) -> Call {
                std::string email = "bound" + who.phone + "@mail.example";
                std::string code = codeFor(email, "email");
                return [=, this] {
                    return call("POST", "v1/user/change/email", { { "new_email", email }, { "email_code", code } },
                        who.token);
                };
            } },
        { "a password changed",
            [&](const Who& who) -> Call {
                return [=, this] {
                    return call("POST", "v1/user/change/password",
                        { { "password", "pass-2" }, { "repassword", "pass-2" } }, who.token);
                };
            } },
        { "a password recovered",
            [&](const Who& who) -> Call {
                std::string session = call("GET", "v1/user/forget/get_token",
                    { { "username", who.phone }, { "captcha", captcha() } }, "")["data"]
                                          .value("session_token", "");
                call("GET", "v1/user/forget/send_code", { { "session_token", session }, { "send_type", "phone" } },
                    "");
                std::string code = SampleAccounts::of(*api)->lastCode(who.phone).value_or("");
                return [=, this] {
                    return call("POST", "v1/user/forget/set_pass",
                        { { "session_token", session }, { "password", "pass-3" }, { "repassword", "pass-3" },
                            { "forget_code", code } },
                        "");
                };
            } },
        { "an avatar",
            [&](const Who& who) -> Call { return [=, this] { return uploadAvatar(who.token, "-full-disk-"); }; } },
    };

    // Every token handed out, and what the server last answered for it (its own addresses written
    // without their port, which the next server does not share).
    std::map<std::string, std::string> answered;
    auto answer = [&] {
        const std::string origin = "127.0.0.1:" + std::to_string(server->httpsPort()) + "/";
        for (auto& [token, profileNow] : answered) {
            profileNow = call("GET", "v1/user/info", {}, token).dump();
            for (std::size_t at = profileNow.find(origin); at != std::string::npos; at = profileNow.find(origin, at))
                profileNow.replace(at, origin.size(), "127.0.0.1:PORT/");
        }
    };
    answered[kSampleToken] = {};
    std::int64_t lastId = idOf(kSampleToken);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Who who { "", newPhone() };
        who.token = registerAccount(who.phone, true);
        ASSERT_EQ(idOf(who.token), ++lastId);
        answered[who.token] = {};
        Call again = c.ready(who);
        answer();
        const std::map<std::string, std::string> before = answered;
        const std::string bookBefore = bytesOf(accountBookFile);
        const std::set<std::string> uploadsBefore = uploadFiles();
        {
            zvtest::FullDisk full;
            ASSERT_TRUE(full.active());
            nlohmann::json refused = again();
            EXPECT_EQ(refused["errorCode"], ApiReply::notKept().errorCode) << refused.dump();
            EXPECT_EQ(refused["msg"], ApiReply::notKept().msg);
            EXPECT_FALSE(refused.contains("data")) << refused.dump();
        }
        // Nothing of it is anywhere: in the answers, the book or the pictures.
        answer();
        EXPECT_EQ(answered, before);
        EXPECT_EQ(bytesOf(accountBookFile), bookBefore);
        EXPECT_EQ(uploadFiles(), uploadsBefore);

        // Whatever it would have used up (a code, a ticket, a session, an id) is still there.
        nlohmann::json kept = again();
        ASSERT_EQ(kept["errorCode"], 0) << kept.dump();
        const nlohmann::json& data = kept["data"];
        for (const char* key : { "access_token", "refresh_token" }) {
            if (data.is_object() && data.contains(key))
                answered[data[key].get<std::string>()] = {};
        }
        if (data.is_object() && data.contains("access_token") && std::string(c.what).starts_with("a registration")) {
            EXPECT_EQ(idOf(data["access_token"]), ++lastId);
        }
        answer();
    }

    // The next start reads back exactly what was answered, and no sign-in that was not handed out.
    const std::map<std::string, std::string> acknowledged = answered;
    ASSERT_EQ(start(), "");
    answer();
    EXPECT_EQ(answered, acknowledged);
    nlohmann::json book = nlohmann::json::parse(bytesOf(accountBookFile));
    for (const nlohmann::json& account : book["accounts"]) {
        for (const nlohmann::json& token : account["tokens"])
            EXPECT_TRUE(acknowledged.contains(token.get<std::string>())) << token;
    }
    EXPECT_EQ(book["next_id"], lastId + 1);
}

TEST_F(AccountsKeptTest, APictureWhoseBookIsNotWrittenLeavesNoFile)
{
    ASSERT_EQ(start(), "");
    const std::string token = registerAccount(newPhone(), true);
    // The book cannot replace a folder that stands in its place; the picture's bytes go in first.
    std::filesystem::rename(state / accountBookFile, state / "book.aside");
    std::filesystem::create_directory(state / accountBookFile);
    nlohmann::json refused = uploadAvatar(token);
    EXPECT_EQ(refused["errorCode"], ApiReply::notKept().errorCode) << refused.dump();
    EXPECT_TRUE(uploadFiles().empty());
    EXPECT_EQ(profile(token).value("avatar", "?"), "");

    std::filesystem::remove(state / accountBookFile);
    std::filesystem::rename(state / "book.aside", state / accountBookFile);
    nlohmann::json kept = uploadAvatar(token);
    ASSERT_EQ(kept["errorCode"], 0) << kept.dump();
    EXPECT_EQ(uploadFiles().size(), 1u);
}

TEST_F(AccountsKeptTest, ADamagedPictureStopsTheStartByNameAndIsLeftAsItWas)
{
    ASSERT_EQ(start(), "");
    nlohmann::json uploaded = uploadAvatar(registerAccount(newPhone(), true));
    ASSERT_EQ(uploaded["errorCode"], 0);
    const std::string url = uploaded["data"]["url"];
    const std::string name = uploadFile(url.substr(url.rfind('/') + 1));
    const std::string picture = bytesOf(name);
    stop();

    struct Case {
        const char* what;
        std::string bytes;
        const char* problem;
    };
    const Case cases[] = {
        { "cut to nothing", "", "not a picture of the type image/png" },
        { "zero-filled", std::string(picture.size(), '\0'), "not a picture of the type image/png" },
        { "replaced by text", "a note, not a picture\n", "not a picture of the type image/png" },
        { "a JPEG where a PNG is listed", "\xFF\xD8\xFF\xE0-jpeg-", "not a picture of the type image/png" },
        { "larger than an upload may be", picture + std::string(maxUploadBytes, '\0'), "larger than" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        put(name, c.bytes);
        std::string error = start();
        EXPECT_NE(error.find((state / name).string()), std::string::npos) << error;
        EXPECT_NE(error.find(c.problem), std::string::npos) << error;
        EXPECT_FALSE(api);
        EXPECT_EQ(bytesOf(name), c.bytes);
    }
    put(name, picture);
    EXPECT_EQ(start(), "");
}

TEST_F(AccountsKeptTest, PicturesThatNoAccountListsAreRemovedAtTheStart)
{
    ASSERT_EQ(start(), "");
    nlohmann::json uploaded = uploadAvatar(registerAccount(newPhone(), true));
    ASSERT_EQ(uploaded["errorCode"], 0);
    const std::string url = uploaded["data"]["url"];
    const std::string listed = url.substr(url.rfind('/') + 1);
    stop();
    // What a server killed between a picture's bytes and its book leaves.
    put(uploadFile("avatar-301878-2.png"), "\x89PNG\r\n\x1A\n-never-answered-");

    ::testing::internal::CaptureStderr();
    std::string error = start();
    std::string log = ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(error, "");
    EXPECT_EQ(uploadFiles(), std::set<std::string> { listed });
    EXPECT_NE(log.find((state / uploadFile("avatar-301878-2.png")).string() + ", which no account lists"),
        std::string::npos)
        << log;
}

TEST_F(AccountsKeptTest, PasswordsAreKeptAsSaltedHashesOnly)
{
    ASSERT_EQ(start(), "");
    const std::string phone = newPhone();
    ASSERT_FALSE(registerAccount(phone, true).empty());

    ASSERT_EQ(start(), "");
    const std::string book = bytesOf(accountBookFile);
    for (const char* typed : { kPassword, "rain-over-2023" })
        EXPECT_EQ(book.find(typed), std::string::npos) << typed;
    // Slow to guess: a hash costs as many rounds as the tests' sign-ins can afford, no fewer.
    const nlohmann::json written = nlohmann::json::parse(book);
    for (const nlohmann::json& account : written.at("accounts"))
        EXPECT_GE(account["password_hash"].value("rounds", 0), 100000) << account.dump();
    struct Case {
        std::string name, password;
        bool signsIn;
    };
    const Case cases[] = {
        { phone, kPassword, true },
        { "xiaoyu2023", "rain-over-2023", true },
        { phone, "pass-2", false },
        { "xiaoyu2023", kPassword, false },
    };
    for (const Case& c : cases) {
        nlohmann::json reply = call("POST", "v1/user/login",
            { { "username", c.name }, { "password", c.password }, { "captcha", captcha() } }, "");
        EXPECT_EQ(reply["errorCode"], c.signsIn ? 0 : 1002) << c.name << " " << c.password;
    }
}

// Folders that people kept with an earlier server: passwords as typed, the sign-ins in one object.
TEST_F(AccountsKeptTest, ABookOfTheEarlierFormIsReadAndWrittenInTheNewOne)
{
    nlohmann::json sample = nlohmann::json::parse(
        std::ifstream(zvtest::SampleServer::dataDir() / "api/account.json"));
    nlohmann::json earlier = {
        { "next_id", 301879 },
        { "upload_serial", 0 },
        { "accounts",
            { { { "id", kSampleID }, { "username", "xiaoyu2023" }, { "password", "rain-over-2023" },
                  { "phone", "13800005621" }, { "email", "xiaoyu@mail.example" }, { "profile", sample["user"] } },
                { { "id", 301878 }, { "username", "zv301878" }, { "password", kPassword }, { "phone", "13912350001" },
                    { "email", "" }, { "profile", { { "id", 301878 }, { "nickname", "老用户" } } } } } },
        { "tokens", { { kSampleToken, kSampleID }, { "tk-301878-old", 301878 } } },
        { "uploads", nlohmann::json::array() },
    };
    put(accountBookFile, earlier.dump());
    ASSERT_EQ(start(), "");

    EXPECT_EQ(profile("tk-301878-old").value("nickname", ""), "老用户");
    EXPECT_EQ(idOf(kSampleToken), kSampleID);
    EXPECT_FALSE(login("13912350001", kPassword).empty());
    EXPECT_FALSE(login("xiaoyu2023", "rain-over-2023").empty());
    const std::string book = bytesOf(accountBookFile);
    for (const char* gone : { kPassword, "rain-over-2023", "\"password\"" })
        EXPECT_EQ(book.find(gone), std::string::npos) << gone;
    const nlohmann::json written = nlohmann::json::parse(book);
    EXPECT_FALSE(written.contains("tokens")) << "the sign-ins are the accounts' own";
    for (const nlohmann::json& account : written["accounts"])
        EXPECT_TRUE(PasswordHash::fromJSON(account["password_hash"])) << account.dump();
}

TEST_F(AccountsKeptTest, AnAccountKeepsItsNewestSignIns)
{
    ASSERT_EQ(start(), "");
    const std::string phone = newPhone();
    // The registration's sign-in and eight logins: nine, then a tenth by a refresh.
    std::vector<std::string> tokens { registerAccount(phone, true) };
    for (int i = 0; i < 8; ++i)
        tokens.push_back(login(phone, kPassword));
    tokens.push_back(call("GET", "v1/user/refresh_token", {}, tokens.back())["data"].value("refresh_token", ""));
    // The registration's and the first login's ended as the ninth and the tenth began.
    for (bool restarted : { false, true }) {
        if (restarted) {
            ASSERT_EQ(start(), "");
        }
        for (std::size_t i = 0; i < tokens.size(); ++i)
            EXPECT_EQ(call("GET", "v1/user/info", {}, tokens[i])["errorCode"], i < 2 ? 2000 : 0)
                << "sign-in " << i << (restarted ? " after a restart" : "");
    }
}

TEST_F(AccountsKeptTest, ARegistrationPastWhatTheNextStartReadsIsRefused)
{
    struct Case {
        const char* what;
        nlohmann::json book;
        int refusal;
        const char* msg;
    };
    const Case cases[] = {
        { "ids at their bound", bookWith(StateFolder::maxExactInteger - 1, 0), 1019,
            "账号编号已用完，暂不能注册新账号" },
        // The sample account joins them at the start.
        { "as many accounts as a book keeps", bookWith(maxAccounts, maxAccounts - 2), 1018,
            "注册人数已满，暂不能注册新账号" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(state.path());
        put(accountBookFile, c.book.dump());
        ASSERT_EQ(start(), "");
        const std::string last = registerAccount(newPhone(), true);
        ASSERT_FALSE(last.empty());
        const std::int64_t lastId = idOf(last);
        nlohmann::json refused = call("POST", "v1/user/register/phone",
            { { "phone", "13912359999" }, { "password", kPassword },
                { "sms_code", codeFor("13912359999", "phone") } },
            "");
        EXPECT_EQ(refused["errorCode"], c.refusal) << refused.dump();
        EXPECT_EQ(refused["msg"], c.msg);

        ASSERT_EQ(start(), "") << "the next start reads back what was handed out";
        EXPECT_EQ(idOf(last), lastId);
    }
}

}
