// The accounts of a test server with a state folder keep their word: a change is answered as done
// only once it is on the disk, and the next start reads back what was answered; passwords,
// sign-ins, pictures and counts are kept as a real server would keep them.

#include "tests/support/FullDisk.h"
#include "tests/support/TempDir.h"
#include "tests/tools/testserver/RoomClient.h"
#include "tests/tools/testserver/SampleServer.h"
#include "tools/testserver/AccountBook.h"

#include <deque>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace testserver;
using json = nlohmann::json;

namespace {

class AccountsKeptTest : public ::testing::Test, protected zvtest::RoomClient {
protected:
    void TearDown() override { stop(); }

    // A server in place of the one before, on the test's folder; empty, or why it did not start.
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
        if (api && !folder->take(&started.error))
            api.reset();
        return api ? "" : started.error;
    }

    void stop()
    {
        api.reset();
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

    // The code sent once a captcha was passed, as the app asks for it.
    std::string codeFor(const std::string& to, const char* way)
    {
        call("GET", "v1/user/get_code", { { "to", to }, { "send_type", way }, { "captcha", captcha() } }, "");
        return SampleAccounts::of(*api)->lastCode(to).value_or("");
    }

    // 0 for a token that signs in nobody (a refused sign-in's empty one).
    std::int64_t idOf(const std::string& token)
    {
        json signedIn = profile(token);
        return signedIn.is_object() ? signedIn.value("id", std::int64_t(0)) : 0;
    }
    int errorOf(const std::string& method, const std::string& path, json parameters, const std::string& token = "")
    {
        return call(method, path, std::move(parameters), token).value("errorCode", -1);
    }

    std::string newPhone() { return "1391235" + std::to_string(1000 + ++m_phones); }
    std::string pictureName(const json& uploaded)
    {
        const std::string url = uploaded["data"].value("url", "");
        return url.substr(url.rfind('/') + 1);
    }

    zvtest::TempDir state;

private:
    int m_phones = 0;
};

TEST_F(AccountsKeptTest, AChangeTheDiskRefusesIsUndoneAndTheSameCallSucceedsAfter)
{
    ASSERT_EQ(start(), "");
    using Call = std::function<json()>;
    auto later = [this](std::string method, std::string path, json parameters, std::string token = "") -> Call {
        return [=, this] { return call(method, path, parameters, token); };
    };
    // Each case is made ready while the disk still takes writes (codes sent, a ticket issued, by
    // an account of its own); its call is made twice, refused and then kept.
    struct Case {
        const char* what;
        std::function<Call(const std::string& token, const std::string& phone)> ready;
    };
    const Case cases[] = {
        // A picture first: each change refused after it must leave its file where it is.
        { "an avatar",
            [&](auto& token, auto&) -> Call { return [=, this] { return uploadAvatar(token, "-full-disk-"); }; } },
        { "a registration by phone",
            [&](auto&, auto&) {
                std::string to = newPhone();
                return later("POST", "v1/user/register/phone",
                    { { "phone", to }, { "password", kPassword }, { "sms_code", codeFor(to, "phone") } });
            } },
        { "a login",
            [&](auto&, auto& phone) {
                return later("POST", "v1/user/login",
                    { { "username", phone }, { "password", kPassword }, { "captcha", captcha() } });
            } },
        { "a token refreshed",
            [&](auto& token, auto&) { return later("GET", "v1/user/refresh_token", json::object(), token); } },
        { "a nickname",
            [&](auto& token, auto&) {
                return later("POST", "v1/user/change/nickname", { { "new_nickname", "满盘之后" } }, token);
            } },
        { "a phone number bound",
            [&](auto& token, auto&) {
                std::string to = newPhone();
                return later("POST", "v1/user/change/phone", { { "new_phone", to }, { "sms_code", codeFor(to, "phone") } },
                    token);
            } },
        { "a password changed",
            [&](auto& token, auto&) {
                return later("POST", "v1/user/change/password", { { "password", "pass-2" }, { "repassword", "pass-2" } },
                    token);
            } },
        { "a password recovered",
            [&](auto&, auto& phone) {
                std::string session = call("GET", "v1/user/forget/get_token",
                    { { "username", phone }, { "captcha", captcha() } }, "")["data"]
                                          .value("session_token", "");
                call("GET", "v1/user/forget/send_code", { { "session_token", session }, { "send_type", "phone" } }, "");
                return later("POST", "v1/user/forget/set_pass",
                    { { "session_token", session }, { "password", "pass-3" }, { "repassword", "pass-3" },
                        { "forget_code", SampleAccounts::of(*api)->lastCode(phone).value_or("") } });
            } },
    };

    // Every token handed out, and what the server last answered for it, its own addresses
    // without their port (which the next server does not share).
    std::map<std::string, std::string> answered { { kSampleToken, "" } };
    auto answer = [&] {
        const std::string origin = "127.0.0.1:" + std::to_string(server->httpsPort()) + "/";
        for (auto& [token, answer] : answered) {
            answer = call("GET", "v1/user/info", {}, token).dump();
            for (auto at = answer.find(origin); at != std::string::npos; at = answer.find(origin, at))
                answer.replace(at, origin.size(), "127.0.0.1:PORT/");
        }
    };
    std::int64_t lastId = idOf(kSampleToken);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string phone = newPhone();
        const std::string token = registerAccount(phone, true);
        ASSERT_EQ(idOf(token), ++lastId);
        answered[token] = "";
        Call again = c.ready(token, phone);
        answer();
        const auto before = std::tuple(answered, bytesOf(accountBookFile), uploadFiles());
        {
            zvtest::FullDisk full;
            ASSERT_TRUE(full.active());
            json refused = again();
            EXPECT_EQ(refused, json({ { "errorCode", 5001 }, { "msg", "保存失败，请稍后重试" } }));
        }
        // Nothing of it is anywhere, and whatever it would have used up (a code, a ticket, a
        // session, an id) is still there.
        answer();
        EXPECT_EQ(std::tuple(answered, bytesOf(accountBookFile), uploadFiles()), before);
        json kept = again();
        ASSERT_EQ(kept["errorCode"], 0) << kept.dump();
        for (const char* key : { "access_token", "refresh_token" }) {
            if (kept["data"].is_object() && kept["data"].contains(key))
                answered[kept["data"][key]] = "";
        }
        if (std::string_view(c.what).starts_with("a registration")) {
            EXPECT_EQ(idOf(kept["data"]["access_token"]), ++lastId);
        }
        answer();
    }

    // The next start reads back exactly what was answered, and no sign-in that was not handed out.
    const std::map<std::string, std::string> acknowledged = answered;
    ASSERT_EQ(start(), "");
    answer();
    EXPECT_EQ(answered, acknowledged);
    const json book = json::parse(bytesOf(accountBookFile));
    EXPECT_EQ(book["next_id"], lastId + 1);
    for (const json& account : book["accounts"]) {
        for (const json& token : account["tokens"])
            EXPECT_TRUE(acknowledged.contains(token)) << token;
    }
}

TEST_F(AccountsKeptTest, APictureWhoseBookIsNotWrittenLeavesNoFile)
{
    ASSERT_EQ(start(), "");
    const std::string token = registerAccount(newPhone(), true);
    // The book cannot replace a folder in its place; the picture's bytes go first, and fine.
    std::filesystem::rename(state / accountBookFile, state / "book.aside");
    std::filesystem::create_directory(state / accountBookFile);
    EXPECT_EQ(uploadAvatar(token)["errorCode"], 5001);
    EXPECT_EQ(uploadFiles(), std::set<std::string> {});
    EXPECT_EQ(profile(token).value("avatar", "?"), "");

    std::filesystem::remove(state / accountBookFile);
    std::filesystem::rename(state / "book.aside", state / accountBookFile);
    json kept = uploadAvatar(token);
    EXPECT_EQ(uploadFiles(), std::set<std::string> { pictureName(kept) });
}

TEST_F(AccountsKeptTest, KeptPicturesAreCheckedAtTheStartAndThoseNoAccountListsRemoved)
{
    ASSERT_EQ(start(), "");
    const std::string token = registerAccount(newPhone(), true);
    const std::string name = uploadFile(pictureName(uploadAvatar(token)));
    const std::string jpegName
        = uploadFile(pictureName(uploadPicture(token, "image/jpeg", samplePicture("advert-banner.jpg"))));
    const std::string picture = bytesOf(name);
    const std::string jpeg = bytesOf(jpegName);
    const std::string png = "image/png";
    auto notWhole = [this](const std::string& type, const std::string& problem) {
        return "it is not a whole picture of the type " + type + " that " + (state / accountBookFile).string()
            + " lists it with: " + problem;
    };
    const std::string cut = "its data ends before the picture does";
    struct Case {
        const char* what;
        std::string bytes, problem;
        bool jpeg = false;
    };
    const Case cases[] = {
        { "cut to nothing", "", "not a picture of the type " + png },
        { "zero-filled", std::string(picture.size(), '\0'), "not a picture of the type " + png },
        { "replaced by text", "a note, not a picture\n", "not a picture of the type " + png },
        { "a JPEG where a PNG is listed", "\xFF\xD8\xFF\xE0-jpeg-", "not a picture of the type " + png },
        { "larger than an upload may be", picture + std::string(maxUploadBytes, '\0'), "larger than" },
        // Pictures whose first bytes are right, and nothing after them.
        { "cut in half", picture.substr(0, picture.size() / 2), notWhole(png, cut) },
        { "the PNG signature followed by text", "\x89PNG\r\n\x1A\na note, not a picture\n",
            notWhole(png, "it has no PNG header") },
        { "a JPEG cut in half", jpeg.substr(0, jpeg.size() / 2), notWhole("image/jpeg", cut), true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string& file = c.jpeg ? jpegName : name;
        put(file, c.bytes);
        std::string error = start();
        EXPECT_NE(error.find((state / file).string() + " "), std::string::npos) << error;
        EXPECT_NE(error.find(c.problem), std::string::npos) << error;
        EXPECT_EQ(bytesOf(file), c.bytes);
        put(name, picture);
        put(jpegName, jpeg);
    }

    // What a server killed between a picture's bytes and its book leaves goes, the rest stays.
    const std::string stray = uploadFile("avatar-301878-9.png");
    put(stray, "\x89PNG\r\n\x1A\n-never-answered-");
    ::testing::internal::CaptureStderr();
    std::string error = start();
    std::string log = ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(error, "");
    EXPECT_EQ(uploadFiles(),
        (std::set<std::string> {
            name.substr(name.rfind('/') + 1), jpegName.substr(jpegName.rfind('/') + 1) }));
    EXPECT_NE(log.find((state / stray).string() + ", which no account lists"), std::string::npos) << log;
}

TEST_F(AccountsKeptTest, APictureThatDoesNotDecodeWholeIsRefusedAsItArrivesAndNothingIsKept)
{
    ASSERT_EQ(start(), "");
    const std::string token = registerAccount(newPhone(), true);
    const std::string png = samplePicture("cover.png"), jpeg = samplePicture("advert-banner.jpg");
    // The samples with another size in their headers: within the bounds they are decoded, and found
    // damaged (their data no longer agrees, nor the PNG header's checksum).
    auto set = [](std::string bytes, std::size_t at, std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i)
            bytes.replace(at + i, 1, 1, static_cast<char>(value >> (8 * (count - 1 - i))));
        return bytes;
    };
    auto pngOf = [&](std::uint32_t width, std::uint32_t height) {
        return set(set(png, 16, width, 4), 20, height, 4);
    };
    auto jpegOf = [&](std::uint32_t width) { return set(jpeg, jpeg.find("\xFF\xC0") + 7, width, 2); };
    const std::string damaged = "图片已损坏，请重新选择";
    const std::string tooLarge = "图片尺寸过大，每边不能超过16384像素，共不能超过4000万像素";
    const std::tuple<const char*, std::string, std::string> cases[] = {
        { "image/png", png.substr(0, png.size() / 2), damaged },
        { "image/png", "\x89PNG\r\n\x1A\na note, not a picture\n", damaged },
        { "image/jpeg", jpeg.substr(0, jpeg.size() / 2), damaged },
        { "image/png", pngOf(16384, 1), damaged },
        { "image/png", pngOf(16385, 1), tooLarge },
        { "image/png", pngOf(1, 16385), tooLarge },
        { "image/png", pngOf(8000, 5000), damaged },
        { "image/png", pngOf(8000, 5001), tooLarge },
        { "image/jpeg", jpegOf(16384), damaged },
        { "image/jpeg", jpegOf(16385), tooLarge },
    };
    const std::string book = bytesOf(accountBookFile);
    for (const auto& [type, bytes, msg] : cases) {
        SCOPED_TRACE(&msg - &std::get<2>(cases[0]));
        EXPECT_EQ(uploadPicture(token, type, bytes),
            json({ { "errorCode", msg == damaged ? 1015 : 1016 }, { "msg", msg } }));
        EXPECT_EQ(
            std::tuple(uploadFiles(), bytesOf(accountBookFile)), std::tuple(std::set<std::string> {}, book));
    }
    for (const auto& [type, bytes] : { std::pair("image/png", png), std::pair("image/jpeg", jpeg) })
        EXPECT_EQ(SampleAccounts::of(*api)->upload(pictureName(uploadPicture(token, type, bytes))), bytes)
            << type;
}

TEST_F(AccountsKeptTest, TheNewestSixtyFourPicturesAreKeptAndOneRefusedDropsNone)
{
    ASSERT_EQ(start(), "");
    const std::string token = registerAccount(newPhone(), true);
    std::deque<std::string> kept;
    for (int i = 0; i < 64; ++i)
        kept.push_back(pictureName(uploadAvatar(token)));
    auto served = [&](const std::string& name) { return SampleAccounts::of(*api)->upload(name).has_value(); };
    // A 65th refused as its bytes are written or as the book is drops nothing, then or at the
    // next change that is kept.
    const std::pair<const char*, std::function<json()>> refusals[] = {
        { "its bytes",
            [&] {
                zvtest::FullDisk full;
                return uploadAvatar(token, "-65th-");
            } },
        { "the book",
            [&] {
                std::filesystem::rename(state / accountBookFile, state / "book.aside");
                std::filesystem::create_directory(state / accountBookFile);
                json refused = uploadAvatar(token, "-65th-");
                std::filesystem::remove(state / accountBookFile);
                std::filesystem::rename(state / "book.aside", state / accountBookFile);
                return refused;
            } },
    };
    for (const auto& [what, refuse] : refusals) {
        SCOPED_TRACE(what);
        EXPECT_EQ(refuse()["errorCode"], 5001);
        ASSERT_EQ(errorOf("POST", "v1/user/change/nickname", { { "new_nickname", what } }, token), 0);
        EXPECT_EQ(uploadFiles(), std::set<std::string>(kept.begin(), kept.end()));
        EXPECT_TRUE(served(kept.front()));
    }
    // Kept, it drops the oldest, its file and its address, now and after the next start.
    kept.push_back(pictureName(uploadAvatar(token, "-65th-")));
    const std::string oldest = kept.front();
    kept.pop_front();
    for (bool restarted : { false, true }) {
        if (restarted) {
            ASSERT_EQ(start(), "");
        }
        EXPECT_EQ(uploadFiles(), std::set<std::string>(kept.begin(), kept.end())) << restarted;
        EXPECT_FALSE(served(oldest)) << restarted;
        EXPECT_TRUE(served(kept.front()) && served(kept.back())) << restarted;
    }
}

// Folders kept by an earlier server hold the passwords as typed and the sign-ins in one object.
TEST_F(AccountsKeptTest, PasswordsAreKeptAsSlowHashesThoseOfAnEarlierBookToo)
{
    json sample = json::parse(std::ifstream(zvtest::SampleServer::dataDir() / "api/account.json"));
    auto account = [](std::int64_t id, const char* name, const char* password, const char* phone, json profile) {
        return json { { "id", id }, { "username", name }, { "password", password }, { "phone", phone },
            { "email", "" }, { "profile", std::move(profile) } };
    };
    put(accountBookFile,
        json { { "next_id", 301879 }, { "upload_serial", 0 }, { "uploads", json::array() },
            { "accounts",
                { account(kSampleID, "xiaoyu2023", "rain-over-2023", "13800005621", sample["user"]),
                    account(301878, "zv301878", kPassword, "13912350001", { { "nickname", "老用户" } }) } },
            { "tokens", { { kSampleToken, kSampleID }, { "tk-301878-old", 301878 } } } }
            .dump());
    ASSERT_EQ(start(), "");
    const std::string phone = newPhone();
    ASSERT_FALSE(registerAccount(phone, true).empty());

    ASSERT_EQ(start(), "");
    EXPECT_EQ(profile("tk-301878-old").value("nickname", ""), "老用户");
    EXPECT_EQ(idOf(kSampleToken), kSampleID);
    const std::string book = bytesOf(accountBookFile);
    for (const char* typed : { kPassword, "rain-over-2023", "\"password\"" })
        EXPECT_EQ(book.find(typed), std::string::npos) << typed;
    const json written = json::parse(book);
    EXPECT_FALSE(written.contains("tokens")) << "the sign-ins are the accounts' own";
    // Slow to guess: as many rounds as the tests' sign-ins can afford, no fewer.
    for (const json& kept : written["accounts"])
        EXPECT_GE(kept["password_hash"].value("rounds", 0), 100000) << kept.dump();
    for (auto [name, password, errorCode] : { std::tuple { phone, std::string(kPassword), 0 },
             { "13912350001", kPassword, 0 }, { "xiaoyu2023", "rain-over-2023", 0 }, { phone, "pass-2", 1002 } }) {
        EXPECT_EQ(errorOf("POST", "v1/user/login",
                      { { "username", name }, { "password", password }, { "captcha", captcha() } }),
            errorCode)
            << name << " " << password;
    }
}

TEST_F(AccountsKeptTest, AnAccountKeepsItsNewestEightSignIns)
{
    ASSERT_EQ(start(), "");
    const std::string phone = newPhone();
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
            EXPECT_EQ(errorOf("GET", "v1/user/info", {}, tokens[i]), i < 2 ? 2000 : 0) << i << " " << restarted;
    }
}

// Its tokens are fixed ones: signed in again, each is listed once, or the next start refuses the book.
TEST_F(AccountsKeptTest, TheSampleAccountSignedInAgainIsReadBack)
{
    ASSERT_EQ(start(), "");
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(login("xiaoyu2023", "rain-over-2023"), kSampleToken);
        EXPECT_EQ(call("GET", "v1/user/refresh_token", {}, kSampleToken)["data"]["refresh_token"],
            kSampleRefreshedToken);
    }
    ASSERT_EQ(start(), "");
    EXPECT_EQ(std::pair(idOf(kSampleToken), idOf(kSampleRefreshedToken)), std::pair(kSampleID, kSampleID));
}

// Counted in bytes, as the book keeps them: 43 characters of three bytes are too many.
TEST_F(AccountsKeptTest, ANameOrPasswordLongerThanTheBookKeepsIsRefusedSayingSo)
{
    ASSERT_EQ(start(), "");
    const std::string token = registerAccount(newPhone(), true);
    std::string longest = "ab", over;
    for (int i = 0; i < 43; ++i)
        over += "名";
    longest += over.substr(3);
    const std::string phone = newPhone();
    const std::tuple<const char*, json, int, const char*> cases[] = {
        { "v1/user/change/nickname", { { "new_nickname", over } }, 1014, "昵称过长，不能超过128个字节" },
        { "v1/user/change/nickname", { { "new_nickname", "" } }, 1014, "昵称不能为空" },
        { "v1/user/change/username", { { "new_username", over } }, 1014, "用户名过长，不能超过128个字节" },
        { "v1/user/change/password", { { "password", over }, { "repassword", over } }, 1008,
            "密码过长，不能超过128个字节" },
        { "v1/user/register/phone",
            { { "phone", phone }, { "password", over }, { "sms_code", codeFor(phone, "phone") } }, 1008,
            "密码过长，不能超过128个字节" },
    };
    for (const auto& [path, parameters, errorCode, msg] : cases)
        EXPECT_EQ(
            call("POST", path, parameters, token), json({ { "errorCode", errorCode }, { "msg", msg } }));
    ASSERT_EQ(errorOf("POST", "v1/user/change/nickname", { { "new_nickname", longest } }, token), 0);
    ASSERT_EQ(start(), "");
    EXPECT_EQ(profile(token).value("nickname", ""), longest);
}

TEST_F(AccountsKeptTest, ANameAnAccountChoseIsNotGeneratedForTheNext)
{
    ASSERT_EQ(start(), "");
    const std::string first = registerAccount(newPhone(), true);
    const std::string chosen = "zv" + std::to_string(idOf(first) + 1);
    ASSERT_EQ(errorOf("POST", "v1/user/change/username", { { "new_username", chosen } }, first), 0);
    const std::string second = registerAccount(newPhone(), true);
    const std::string generated = profile(second).value("username", "");
    EXPECT_EQ(call("POST", "v1/user/change/username", { { "new_username", chosen } }, second),
        json({ { "errorCode", 1013 }, { "msg", "用户名已存在" } }));
    for (bool restarted : { false, true }) {
        if (restarted) {
            ASSERT_EQ(start(), "");
        }
        EXPECT_EQ(idOf(login(chosen, kPassword)), idOf(first)) << restarted;
        EXPECT_EQ(idOf(login(generated, kPassword)), idOf(second)) << restarted;
    }
}

// Only the fault above left such a book: a sign-in by the name has only ever reached the lower id.
TEST_F(AccountsKeptTest, AKeptBookOfTwoAccountsOfOneUserNameKeepsItForTheFirst)
{
    json book = { { "next_id", 301881 }, { "upload_serial", 0 }, { "uploads", json::array() } };
    for (std::int64_t id : { 301878, 301880 })
        book["accounts"].push_back({ { "id", id }, { "username", "zv301880" },
            { "password_hash", PasswordHash::make(kPassword, 1)->toJSON() },
            { "phone", "1391235000" + std::to_string(id % 10) }, { "email", "" },
            { "profile", { { "id", id } } } });
    put(accountBookFile, book.dump());
    ::testing::internal::CaptureStderr();
    ASSERT_EQ(start(), "");
    const std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("account 301880 shared the user name zv301880 with account 301878"), std::string::npos)
        << log;
    for (bool restarted : { false, true }) {
        if (restarted) {
            ASSERT_EQ(start(), "");
        }
        for (auto [name, id] :
            { std::pair("zv301880", 301878), { "zv301880_2", 301880 }, { "13912350000", 301880 } })
            EXPECT_EQ(idOf(login(name, kPassword)), id) << name << " " << restarted;
    }
}

TEST_F(AccountsKeptTest, ARegistrationPastWhatTheNextStartReadsIsRefused)
{
    const json hash = PasswordHash::make(kPassword, 1)->toJSON();
    auto book = [&](std::int64_t nextId, std::size_t accounts) {
        json file = { { "next_id", nextId }, { "upload_serial", 0 }, { "uploads", json::array() },
            { "accounts", json::array() } };
        for (std::size_t id = 1; id <= accounts; ++id)
            file["accounts"].push_back({ { "id", id }, { "username", "u" + std::to_string(id) },
                { "password_hash", hash }, { "phone", "" }, { "email", "" }, { "profile", json::object() } });
        return file.dump();
    };
    struct Case {
        const char* what;
        std::string book;
        int refusal;
        const char* msg;
    };
    const Case cases[] = {
        { "ids at their bound", book(StateFolder::maxExactInteger - 1, 0), 1019, "账号编号已用完，暂不能注册新账号" },
        // The sample account joins them at the start.
        { "a full book", book(maxAccounts, maxAccounts - 2), 1018, "注册人数已满，暂不能注册新账号" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        put(accountBookFile, c.book);
        ASSERT_EQ(start(), "");
        const std::string last = registerAccount(newPhone(), true);
        const std::int64_t lastId = idOf(last);
        const std::string phone = newPhone();
        json refused = call("POST", "v1/user/register/phone",
            { { "phone", phone }, { "password", kPassword }, { "sms_code", codeFor(phone, "phone") } }, "");
        EXPECT_EQ(refused, json({ { "errorCode", c.refusal }, { "msg", c.msg } }));
        ASSERT_EQ(start(), "") << "the next start reads back what was handed out";
        EXPECT_EQ(idOf(last), lastId);
    }
}

}
