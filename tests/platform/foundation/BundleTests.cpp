#include "platform/foundation/Bundle.h"
#include "platform/foundation/DeviceInfo.h"
#include "platform/foundation/FileSystem.h"
#include "platform/foundation/Log.h"
#include "tests/platform/foundation/ScopedEnv.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>

namespace {

class BundleTest : public ::testing::Test {
protected:
    void SetUp() override { Bundle::resetForTesting(); }
    void TearDown() override { Bundle::resetForTesting(); }

    void write(const std::string& relative, const std::string& text)
    {
        ASSERT_TRUE(FileSystem::writeFileAtomically(m_root.path() / relative, dataFromString(text)));
    }

    zvtest::TempDir m_root;
    ScopedEnv m_bundleDir { "ZV_BUNDLE_DIR", m_root.path().string() };
    ScopedEnv m_noInfoFile { "ZV_INFO_FILE", std::nullopt };
    ScopedEnv m_noMainOverride { "ZV_INFO_MainURL", std::nullopt };
};

TEST_F(BundleTest, DefaultsStandWithoutAnInformationFileAndAreLoopback)
{
    auto& bundle = Bundle::main();
    EXPECT_EQ(bundle.resourcePath(), m_root.path());
    EXPECT_EQ(bundle.infoString(InfoKey::DisplayName), "Zentavo");
    EXPECT_EQ(bundle.infoString(InfoKey::MainURL), "https://127.0.0.1:9313/api/");
    EXPECT_EQ(bundle.infoString(InfoKey::ShortURL), "http://127.0.0.1:4399/api/v1/video/display");
    EXPECT_EQ(bundle.infoString(InfoKey::CaptchaURL), "https://127.0.0.1:9312/captcha.html");
    EXPECT_EQ(bundle.infoString(InfoKey::HelpURL), "http://127.0.0.1:8823/");
    EXPECT_EQ(bundle.infoString(InfoKey::WebSocketURL), "wss://127.0.0.1:9314/ws");
    EXPECT_EQ(bundle.infoString(InfoKey::DomainFileURL), "https://127.0.0.1:9310/domain_v2.json");
    EXPECT_EQ(bundle.infoString(InfoKey::DoHResolverURL), "");
    EXPECT_EQ(bundle.infoString(InfoKey::ProbeHost), "127.0.0.1");
    EXPECT_EQ(bundle.infoString(InfoKey::APIPublicKey), "");
    EXPECT_EQ(DeviceInfo::model(), "iPhone 14");
    EXPECT_EQ(DeviceInfo::systemVersion(), "17.0");
    EXPECT_FALSE(bundle.infoString("qzr_appkey"));
}

TEST_F(BundleTest, InformationFileOverridesDefaultsAndEnvironmentOverridesTheFile)
{
    write("Info.json", R"({"MainURL": "https://127.0.0.1:1/api/", "HelpURL": "http://127.0.0.1:2/",
                          "qzr_debuglog": true, "qzr_appkey": "key", "count": 3, "nothing": null})");
    ScopedEnv help("ZV_INFO_HelpURL", "http://127.0.0.1:3/");
    ScopedEnv custom("ZV_INFO_qzr_disableReferTrack", "YES");
    Bundle::resetForTesting();

    auto& bundle = Bundle::main();
    EXPECT_EQ(bundle.infoString(InfoKey::MainURL), "https://127.0.0.1:1/api/");
    EXPECT_EQ(bundle.infoString(InfoKey::HelpURL), "http://127.0.0.1:3/");
    EXPECT_EQ(bundle.infoString(InfoKey::ProbeHost), "127.0.0.1");
    EXPECT_EQ(bundle.infoObject("qzr_debuglog"), PropertyList(true));
    EXPECT_EQ(bundle.infoString("qzr_appkey"), "key");
    EXPECT_EQ(bundle.infoString("count"), "3");
    EXPECT_FALSE(bundle.infoObject("nothing"));
    EXPECT_TRUE(bundle.infoObject("qzr_disableReferTrack")->boolValue());
}

TEST_F(BundleTest, InformationFileNamedByTheEnvironmentAndDamagedFiles)
{
    write("elsewhere.json", R"({"DeviceModel": "iPhone 15"})");
    {
        ScopedEnv file("ZV_INFO_FILE", (m_root.path() / "elsewhere.json").string());
        Bundle::resetForTesting();
        EXPECT_EQ(DeviceInfo::model(), "iPhone 15");
    }

    write("Info.json", "[1, 2");
    std::vector<std::string> lines;
    Log::setSink([&](std::string_view line) { lines.emplace_back(line); });
    Bundle::resetForTesting();
    EXPECT_EQ(Bundle::main().infoString(InfoKey::DeviceModel), "iPhone 14");
    EXPECT_EQ(lines.size(), 1u);

    // A named file that cannot be read says so, in one line that names it.
    std::string missing = (m_root.path() / "missing.json").string();
    for (const std::string& named : { missing, m_root.path().string() }) {
        ScopedEnv file("ZV_INFO_FILE", named);
        lines.clear();
        Bundle::resetForTesting();
        EXPECT_EQ(Bundle::main().infoString(InfoKey::DeviceModel), "iPhone 14");
        ASSERT_EQ(lines.size(), 1u) << named;
        EXPECT_NE(lines[0].find(named), std::string::npos) << lines[0];
    }
    Log::setSink({});
    // The bundle is read-only: a damaged file stays where it is.
    EXPECT_TRUE(FileSystem::exists(m_root.path() / "Info.json"));
}

TEST_F(BundleTest, ResourcesAreFoundAtTheRootThenInSubfoldersButNeverOutside)
{
    write("root.json", "{}");
    write("JS/bridge.js", "x");
    write("Images/ranking_bg.png", "png");
    write("Images/cover.jpg", "jpg");
    write("Images/both.png", "png");
    write("Images/both.jpg", "jpg");
    write("Images/loading.gif", "gif");
    auto& bundle = Bundle::main();

    EXPECT_EQ(bundle.path("root", "json"), m_root.path() / "root.json");
    EXPECT_EQ(bundle.path("bridge", "js"), m_root.path() / "JS/bridge.js");
    EXPECT_EQ(bundle.path("root.json", ""), m_root.path() / "root.json");
    EXPECT_FALSE(bundle.path("missing", "json"));
    EXPECT_FALSE(bundle.path("../root", "json"));
    EXPECT_FALSE(bundle.path("", ""));

    EXPECT_EQ(bundle.imagePath("ranking_bg"), m_root.path() / "Images/ranking_bg.png");
    EXPECT_EQ(bundle.imagePath("cover"), m_root.path() / "Images/cover.jpg");
    EXPECT_EQ(bundle.imagePath("both"), m_root.path() / "Images/both.png");
    EXPECT_EQ(bundle.imagePath("loading.gif"), m_root.path() / "Images/loading.gif");
    EXPECT_FALSE(bundle.imagePath("missing"));
    EXPECT_FALSE(bundle.imagePath("../root.json"));
}

// The information file shipped with the app holds every key the platform knows, each with its
// built-in default, so a person can read and change them in one place.
TEST_F(BundleTest, ShippedInformationFileHoldsEveryKeyWithItsDefault)
{
    std::map<std::string_view, std::optional<std::string>> builtIn;
    for (std::string_view key : InfoKey::all)
        builtIn[key] = Bundle::main().infoString(key);
    std::optional<Data> contents = FileSystem::readFile(zvtest::sourceDir() / "app/Resources/Info.json");
    ASSERT_TRUE(contents);
    nlohmann::json file = nlohmann::json::parse(contents->begin(), contents->end(), nullptr, false);
    ASSERT_TRUE(file.is_object());
    for (std::string_view key : InfoKey::all) {
        ASSERT_TRUE(file.contains(key)) << key;
        const nlohmann::json& value = file[std::string(key)];
        EXPECT_EQ(value.is_string() ? value.get<std::string>() : value.dump(), builtIn[key]) << key;
    }
    // And the other way round: the file holds no default that a missing file would lose.
    for (const auto& [key, value] : file.items())
        EXPECT_TRUE(builtIn.contains(key)) << key << " has no built-in default";
}

}
