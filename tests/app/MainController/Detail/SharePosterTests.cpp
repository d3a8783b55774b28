// The title's share poster opened from the title page: its card's texts, the configuration's
// QR code image, and what share, save and copy do.

#include "app/Core/Models/ZV_ConfigData.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Detail/Cell/ZV_PlayerFeaturesCell.h"
#include "app/MainController/Detail/Conrtoller/ZV_ShareVC.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/qmui/QMUIAssetsManager.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUITableView.h"
#include "platform/ui/sharing/UIActivityViewController.h"
#include "platform/ui/sharing/UIPasteboard.h"
#include "tests/app/MainController/Detail/DetailTestSupport.h"

#include <gtest/gtest.h>

namespace {

class SharePosterTest : public zvtest::DetailTest {
protected:
    void SetUp() override
    {
        DetailTest::SetUp();
        if (HasFatalFailure())
            return;
        QMUIAssetsManager::sharedInstance().resetForTesting();
        QMUIAssetsManager::sharedInstance().setLibraryDirectory(home / "album");
        UIPasteboard::general().setString(std::nullopt);
    }
    void TearDown() override
    {
        QMUIAssetsManager::sharedInstance().resetForTesting();
        UIPasteboard::general().setString(std::nullopt);
        DetailTest::TearDown();
    }

    // The server's configuration, as the home tab keeps it; `changes` replace some of its keys.
    void loadConfiguration(std::map<std::string, std::string> changes = {})
    {
        std::optional<JSON> config;
        ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), "v1/app/config", JSON::object(),
            [&](std::optional<JSON> json, std::optional<NSError>) { config = json; });
        ASSERT_TRUE(runUntil([&] { return config.has_value(); }));
        for (const auto& [key, value] : changes)
            config->set(key, JSON(value));
        ConfigSingleton::shared().zv_configData = std::make_shared<const ZV_ConfigData>(*config);
    }

    // The page's share button pushes the poster.
    std::shared_ptr<ZV_ShareVC> openPoster(ZV_DetailVC& page)
    {
        auto cell = std::dynamic_pointer_cast<ZV_PlayerFeaturesCell>(page.zv_tableView()->cellForRow(IndexPath(1, 0)));
        EXPECT_TRUE(cell);
        if (!cell)
            return nullptr;
        cell->zv_shareBtn()->sendActions(UIControlEventTouchUpInside);
        drain();
        window->layoutIfNeeded();
        return std::dynamic_pointer_cast<ZV_ShareVC>(page.navigationController()->topViewController());
    }
};

}

TEST_F(SharePosterTest, TheCardCarriesTheTitlesLinesAndTheConfiguredQRCode)
{
    loadConfiguration();
    auto page = open(longTitle);
    auto poster = openPoster(*page);
    ASSERT_TRUE(poster);
    EXPECT_EQ(poster->videoName()->text(), "北方的灯塔");
    EXPECT_EQ(poster->videoType()->text(), "国产剧 / 2024 / 悬疑 / 海岛");
    // Actors only, in their order.
    EXPECT_EQ(poster->videoActor()->text(), "沈青禾 | 陆远 | 白露");
    EXPECT_EQ(poster->videoDesc()->numberOfLines(), 2);
    // On whole pixels of the 3x screen.
    EXPECT_NEAR(poster->cardView()->frame().height(), (screenWidth() - 64) * 1.585, 1.0 / 3);

    auto code = UIImage::fromFile(zvtest::sourceDir() / "tools/testserver/data/images/qrcode.png");
    ASSERT_TRUE(code);
    ASSERT_TRUE(runUntil([&] {
        drain();
        const auto& image = poster->bottomQRCodeView()->image();
        return image && image->size() == code->size() && !(image == UIImage::named("placeholder_nor"));
    }));

    // An address that does not parse shows the placeholder; no configuration, nothing.
    loadConfiguration({ { "share_qrcode", "not an address" } });
    auto placeholder = std::make_shared<ZV_ShareVC>();
    placeholder->model = page->model;
    placeholder->fillContent();
    EXPECT_EQ(placeholder->bottomQRCodeView()->image(), UIImage::named("placeholder_nor"));
    ConfigSingleton::shared().zv_configData.reset();
    auto none = std::make_shared<ZV_ShareVC>();
    none->model = page->model;
    none->fillContent();
    EXPECT_FALSE(none->bottomQRCodeView()->image());

    poster->backBtn()->sendActions(UIControlEventTouchUpInside);
    advance(1);
    EXPECT_EQ(page->navigationController()->topViewController(), page);
}

TEST_F(SharePosterTest, ShareAndSaveTakeTheCardAndCopyTakesOnlyAWebLink)
{
    loadConfiguration();
    auto page = open(longTitle);
    auto poster = openPoster(*page);
    ASSERT_TRUE(poster);
    CGSize card = poster->cardView()->bounds().size;

    poster->shareBtn()->sendActions(UIControlEventTouchUpInside);
    drain();
    auto sheet = std::dynamic_pointer_cast<UIActivityViewController>(poster->presentedViewController());
    ASSERT_TRUE(sheet);
    ASSERT_EQ(sheet->activityItems().size(), 1u);
    const UIImage* shared = std::get_if<UIImage>(&sheet->activityItems()[0]);
    ASSERT_TRUE(shared);
    EXPECT_EQ(shared->size(), card);
    sheet->cancel();
    advance(1);

    poster->saveBtn()->sendActions(UIControlEventTouchUpInside);
    ASSERT_TRUE(runUntil([&] {
        drain();
        return QMUIAssetsManager::sharedInstance().savedAssets().size() == 1;
    }));
    drain();
    ASSERT_FALSE(tips().empty());
    EXPECT_EQ(tips().back(), "保存成功");
    QMUITips::hideAllTips();

    poster->copyBtn()->sendActions(UIControlEventTouchUpInside);
    EXPECT_EQ(UIPasteboard::general().string(), ConfigSingleton::shared().zv_configData->share_link);
    EXPECT_EQ(tips(), std::vector<std::string> { "已复制分享链接" });
    QMUITips::hideAllTips();

    // A link that is no web address is not copied.
    UIPasteboard::general().setString(std::nullopt);
    for (const char* link : { "下载 Zentavo", "javascript:alert(1)", "" }) {
        loadConfiguration({ { "share_link", link } });
        poster->copyLink();
        EXPECT_FALSE(UIPasteboard::general().string()) << link;
        EXPECT_TRUE(tips().empty()) << link;
    }
}
