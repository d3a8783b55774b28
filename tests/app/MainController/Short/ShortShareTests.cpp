// The short-video poster: its title line, the app's name, its code, and saving the card to the
// album.

#include "app/Core/Network/BaseURLs.h"
#include "app/MainController/Short/Controller/ZV_ShortShareViewController.h"
#include "app/MainController/Short/Model/ZV_ShortModel.h"
#include "platform/ui/qmui/QMUIAssetsManager.h"
#include "tests/app/MainController/Short/ShortTestSupport.h"
#include "tools/testserver/SampleShortVideo.h"

#include <filesystem>

namespace {

class PosterTest : public shorttest::ShortScreenTest {
protected:
    void SetUp() override
    {
        ShortScreenTest::SetUp();
        if (HasFatalFailure())
            return;
        QMUIAssetsManager::sharedInstance().resetForTesting();
        QMUIAssetsManager::sharedInstance().setLibraryDirectory(home / "album");
    }
    void TearDown() override
    {
        QMUIAssetsManager::sharedInstance().resetForTesting();
        ShortScreenTest::TearDown();
    }

    std::shared_ptr<ZV_ShortShareViewController> poster(const std::string& clipJSON)
    {
        auto screen = std::make_shared<ZV_ShortShareViewController>();
        screen->model = std::make_shared<const ZV_ShortModel>(JSON::parse(clipJSON));
        return show(screen);
    }
    static std::vector<std::string> successTips()
    {
        std::vector<std::string> texts;
        for (const auto& tip : QMUITips::visibleTips()) {
            if (tip.kind == QMUITips::Kind::success)
                texts.push_back(tip.text);
        }
        return texts;
    }
    static std::size_t saved() { return QMUIAssetsManager::sharedInstance().savedAssets().size(); }
};

TEST_F(PosterTest, TheTitleIsTheSloganAndTheClipsTitleAndNothingElse)
{
    for (const auto& [clip, title] : std::vector<std::pair<std::string, std::string>> {
             { R"({"title": "逆光而行", "cover": "not a url"})", "Vexo电影免费看 逆光而行" },
             { R"({"title": ""})", "Vexo电影免费看 " }, { R"({})", "Vexo电影免费看 " }, // every field absent
         }) {
        auto screen = poster(clip);
        EXPECT_EQ(screen->titleLabel()->text(), title) << clip;
        EXPECT_EQ(screen->coverView()->image(), UIImage::named("placeholder_nor")) << clip;
    }
    auto screen = std::make_shared<ZV_ShortShareViewController>();
    show(screen);
    EXPECT_EQ(screen->titleLabel()->text(), "Vexo电影免费看 ");
    EXPECT_EQ(screen->appName()->text(), "Zentavo");
    EXPECT_EQ(screen->infoLabel()->text(), "长按识别二维码\n海量视频等你来看");
}

TEST_F(PosterTest, TheCodeIsThePictureThatTheServerKeepsBesideItsApi)
{
    std::string error;
    ASSERT_TRUE(testserver::SampleShortVideo::installPosterCode(
        server(), zvtest::sourceDir() / "tools/testserver/data", &error))
        << error;
    // An API base of its own (plain HTTP), so that no picture an earlier poster asked for stands in.
    BaseURLs::main_url() = server().httpURL() + "/api/";
    auto screen = poster(R"({"title": "逆光而行"})");
    ASSERT_TRUE(settle([&] { return screen->qrcodeView()->image().has_value(); }));
    EXPECT_EQ(server().requestsTo("/api/down/qrcode.png").size(), 1u);
}

TEST_F(PosterTest, EachSaveWritesThePictureOfTheCardAndSaysSoOnlyWhenItWorked)
{
    auto screen = poster(R"({"title": "逆光而行"})");
    for (std::size_t count : { 1u, 2u }) {
        screen->saveButton()->sendActions(UIControlEventTouchUpInside);
        ASSERT_TRUE(settle([&] { return saved() == count && !successTips().empty(); }));
        EXPECT_EQ(successTips().back(), "保存到相册成功");
        QMUITips::hideAllTips();
    }
    auto picture = UIImage::fromFile(QMUIAssetsManager::sharedInstance().savedAssets().back().file);
    ASSERT_TRUE(picture);
    // The card's own size at the screen's scale (the file holds pixels).
    CGSize card = screen->zv_cardView()->bounds().size;
    EXPECT_EQ(picture->size(), (CGSize { card.width * 3, card.height * 3 }));

    QMUIAssetsManager::sharedInstance().setAuthorizationStatus(QMUIAssetAuthorizationStatus::denied);
    screen->save();
    runUntil([] { return false; }, 0.3);
    drain();
    EXPECT_TRUE(successTips().empty());
    EXPECT_EQ(saved(), 2u);
}

}
