// The desktop window's style key (Ctrl+D) as the app takes it, from every screen, after a light
// and after a dark start: one press swaps the viewer's stored choice, whatever the screen shows
// meanwhile, and the short videos keep their own dark look while they are shown.

#include "app/Core/Helpers/ChosenStyle.h"
#include "app/Core/Storage/StoreData.h"
#include "app/MainController/Short/Controller/ZV_ShortPageVC.h"
#include "platform/media/SJRotationManager.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/device/ContrastAudit.h"
#include "platform/window/WindowInput.h"
#include "tests/app/Core/Start/StartTestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr auto light = UIUserInterfaceStyle::light;
constexpr auto dark = UIUserInterfaceStyle::dark;

class StyleKeyTest : public zvtest::StartTest {
protected:
    void SetUp() override
    {
        StartTest::SetUp();
        if (HasFatalFailure())
            return;
        // The root without the home tab's prompts over it.
        api().script("v1/advert/config", testserver::ApiReply::success(nlohmann::json::object()));
        api().script("v1/app/check_update", testserver::ApiReply::success({ { "state", "latest" } }));
        StoreData::set(PropertyList(true), StoreData::pureAlert);
        input.setStyleChooser(&ChosenStyle::swap);
    }
    void TearDown() override
    {
        fullScreen.reset();
        SJRotationManager::resetForTesting();
        UIScreen::main().resetForTesting();
        StartTest::TearDown();
    }

    // A start with the choice stored, past the launch screen to the root's first tab.
    std::shared_ptr<ZVRootViewController> startOnTheRoot(bool darkChosen)
    {
        StoreData::set(PropertyList(darkChosen), StoreData::isDarkColor);
        launch();
        if (!waitForCountdown(launchScreen()))
            return nullptr;
        window()->layoutIfNeeded();
        driver.tapIdentifier("launch.skip");
        drain();
        return rootScreen();
    }
    static void selectTab(ZVRootViewController& root, int index)
    {
        root.segmentedView()->selectItemAt(index);
        drain();
    }
    // A view of the root turned into full screen and back as the player's is: into a window of
    // its own, key while it covers the app.
    void turn(ZVRootViewController& root)
    {
        if (!fullScreen) {
            auto holder = std::make_shared<UIView>(CGRect { 0, 100, 390, 220 });
            auto player = std::make_shared<UIView>(holder->bounds());
            holder->addSubview(player);
            root.view()->addSubview(holder);
            fullScreen = std::make_unique<SJRotationManager>();
            fullScreen->setViews(player, holder);
        }
        fullScreen->rotate();
        advance(SJRotationManager::transitionDuration);
    }
    // The short videos' white titles over the page's clear top, against what is drawn there.
    void expectTheTopTitlesReadable()
    {
        window()->layoutIfNeeded();
        int titles = 0;
        for (const auto& finding : ContrastAudit::measureScreen(Renderer::renderScreen())) {
            if (finding.subject == "短视频" || finding.subject == "探剧") {
                ++titles;
                EXPECT_TRUE(finding.passes()) << finding.description();
            }
        }
        EXPECT_EQ(titles, 2) << "both titles in sight";
    }

    WindowInput input;
    std::unique_ptr<SJRotationManager> fullScreen;
};

UIUserInterfaceStyle shown(const std::shared_ptr<UIWindow>& window)
{
    return window->traitCollection().userInterfaceStyle;
}

TEST_F(StyleKeyTest, OnePressSwapsTheStoredChoiceFromEveryScreenAfterALightAndADarkStart)
{
    enum class Screen { plainTab, shortVideos, fullScreen };
    for (bool startDark : { false, true }) {
        for (Screen screen : { Screen::plainTab, Screen::shortVideos, Screen::fullScreen }) {
            SCOPED_TRACE(std::string(startDark ? "dark start, " : "light start, ")
                + (screen == Screen::plainTab ? "推荐" : screen == Screen::shortVideos ? "短视频" : "full screen"));
            UIUserInterfaceStyle swapped = startDark ? light : dark;
            auto root = startOnTheRoot(startDark);
            ASSERT_TRUE(root);
            auto app = window();
            ASSERT_EQ(shown(app), startDark ? dark : light);

            switch (screen) {
            case Screen::plainTab:
                ASSERT_TRUE(input.key(WindowKey::toggleStyle));
                EXPECT_EQ(shown(app), swapped) << "on the tab";
                selectTab(*root, 1);
                break;
            case Screen::shortVideos:
                selectTab(*root, 3);
                ASSERT_TRUE(input.key(WindowKey::toggleStyle));
                EXPECT_EQ(shown(app), dark) << "the page's own look kept";
                expectTheTopTitlesReadable();
                selectTab(*root, 0);
                break;
            case Screen::fullScreen:
                turn(*root);
                ASSERT_NE(UIApplication::shared().keyWindow(), app);
                ASSERT_TRUE(input.key(WindowKey::toggleStyle));
                EXPECT_EQ(shown(UIApplication::shared().keyWindow()), swapped) << "in full screen";
                turn(*root);
                break;
            }
            EXPECT_EQ(StoreData::boolValue(StoreData::isDarkColor), !startDark);
            EXPECT_EQ(shown(app), swapped) << "once left";
            advance(ZV_ShortPageVC::styleRestoreRepeatDelay);
            EXPECT_EQ(shown(app), swapped) << "once left, a moment later";

            fullScreen.reset();
            allRepliesIn();
            UIApplication::shared().resetForTesting();
            drain();
        }
    }
}

}
