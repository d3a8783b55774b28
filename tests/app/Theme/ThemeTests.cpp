// The light and dark themes chosen at the configuration's first use, switching at run time, the
// repeated-tap protection and a dark screen.

#include "app/Theme/QDCommonUI.h"
#include "app/Theme/QDTheme.h"
#include "app/Theme/QDUIHelper.h"
#include "app/Theme/ZVThemeConfiguration.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UINavigationBar.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/qmui/QMUICommonViewController.h"
#include "platform/ui/qmui/QMUIConfiguration.h"
#include "platform/ui/qmui/QMUINavigationController.h"
#include "platform/ui/qmui/QMUIPopupContainerView.h"
#include "platform/ui/qmui/QMUIPopupMenuView.h"
#include "platform/ui/qmui/QMUITableView.h"
#include "tests/app/Theme/ThemeTestSupport.h"
#include "tests/support/MainLoopTest.h"
#include "tests/support/TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

using zvtest::expectColour;
using zvtest::ink;
using zvtest::rgb;
using zvtest::ThemeTest;

// The colour of the middle pixel of an image.
UIColor::RGBA middle(const UIImage& image)
{
    return image.pixel(image.pixelWidth() / 2, image.pixelHeight() / 2);
}

TEST_F(ThemeTest, DarkStoredAppliesTheDarkOverridesOnTopOfTheLightValues)
{
    storeTheme("Dark");
    auto& config = QMUIConfiguration::sharedInstance();
    auto& manager = QMUIThemeManagerCenter::defaultThemeManager();

    ASSERT_EQ(manager.currentThemeIdentifier(), std::optional<std::string>("Dark"));
    EXPECT_EQ(config.navBarStyle, QMUIConfiguration::BarStyle::black);
    EXPECT_EQ(config.keyboardAppearance, QMUIConfiguration::KeyboardAppearance::dark);
    EXPECT_FALSE(config.navBarBackgroundImage);
    // The light values stay beneath.
    EXPECT_EQ(config.buttonTintColor, rgb(49, 189, 243));

    expectColour(QDTheme::qd_backgroundColor().rgba(), UIColor::black());
    expectColour(QDTheme::qd_tintColor().rgba(), rgb(0x27, 0xC0, 0xF3));
    expectColour(QDTheme::qd_codeColor().rgba(), rgb(0x27, 0xC0, 0xF3));
    expectColour(middle(QDTheme::qd_navigationBarBackgroundImage()), rgb(0x27, 0xC0, 0xF3));
    EXPECT_EQ(QDTheme::qd_standardBlurEffect(), QDBlurEffectStyle::dark);
    EXPECT_EQ(QDCommonUI::searchControllerStatusBarStyle(), UIStatusBarStyle::lightContent);
}

TEST_F(ThemeTest, AnyOtherStoredValueLeavesOnlyTheLightTemplate)
{
    for (const char* stored : { "", "Default", "dark" }) {
        SCOPED_TRACE(stored);
        QMUIConfiguration::resetForTesting();
        QMUIThemeManagerCenter::resetForTesting();
        if (*stored)
            storeTheme(stored);
        else
            UserDefaults::standard().removeObjectForKey("selectedThemeIdentifier");
        auto& config = QMUIConfiguration::sharedInstance();
        auto& manager = QMUIThemeManagerCenter::defaultThemeManager();

        EXPECT_FALSE(manager.currentThemeIdentifier());
        EXPECT_EQ(manager.themeIdentifiers(), std::vector<std::string> { "Dark" });
        EXPECT_EQ(config.navBarStyle, QMUIConfiguration::BarStyle::defaultStyle);
        EXPECT_EQ(config.keyboardAppearance, QMUIConfiguration::KeyboardAppearance::defaultAppearance);
        EXPECT_TRUE(config.navBarBackgroundImage);
        EXPECT_EQ(QDTheme::qd_standardBlurEffect(), QDBlurEffectStyle::light);
        EXPECT_EQ(QDCommonUI::searchControllerStatusBarStyle(), UIStatusBarStyle::darkContent);
        // Colours resolve under a theme that supplies none of its own.
        EXPECT_EQ(QDTheme::qd_gridItemTintColor().alphaComponent(), 1);
    }
}

TEST_F(ThemeTest, TheBarTitleAndBackArrowStayBlackAndGreyInTheLightStyleAndTurnLightInTheDark)
{
    auto& config = QMUIConfiguration::sharedInstance();
    ASSERT_TRUE(config.navBarTitleColor && config.navBarBackIndicatorImage);
    // The system black of the light style.
    EXPECT_EQ(config.navBarTitleColor->resolved(UIUserInterfaceStyle::light), UIColor::black());
    UIColor::RGBA title = config.navBarTitleColor->resolved(UIUserInterfaceStyle::dark).rgba();
    EXPECT_GT(title.red + title.green + title.blue, 2.5);
    // The image "back" in its own colours (#333333), never tinted, and a light copy in the dark.
    EXPECT_EQ(config.navBarBackIndicatorImage->renderingMode(), UIImageRenderingMode::alwaysOriginal);
    UIColor::RGBA back = ink(config.navBarBackIndicatorImage->resolved(UIUserInterfaceStyle::light));
    EXPECT_NEAR(back.red, 0x33 / 255.0, 0.01);
    UIColor::RGBA dark = ink(config.navBarBackIndicatorImage->resolved(UIUserInterfaceStyle::dark));
    EXPECT_GT(dark.red, 0.7);
}

TEST_F(ThemeTest, AnOlderSystemKeepsTheDefaultsOfTheNewerSettings)
{
    setenv("ZV_INFO_SystemVersion", "14.8", 1);
    Bundle::resetForTesting();
    auto& config = QMUIConfiguration::sharedInstance();
    unsetenv("ZV_INFO_SystemVersion");
    Bundle::resetForTesting();

    EXPECT_FALSE(config.navBarUsesStandardAppearanceOnly);
    EXPECT_FALSE(config.navBarRemoveBackgroundEffectAutomatically);
    EXPECT_EQ(config.navBarTitleFont, UIFont::systemFont(18));
}

TEST_F(ThemeTest, SwitchingThemesStoresTheIdentifierAndReappliesTheConfiguration)
{
    auto& config = QMUIConfiguration::sharedInstance();
    auto& manager = QMUIThemeManagerCenter::defaultThemeManager();
    ZVThemeConfiguration::share().setupTheme();
    // Without a current theme the system style is not followed yet.
    EXPECT_FALSE(manager.respondsSystemStyleAutomatically());
    UIColor background = QDTheme::qd_backgroundColor();

    ASSERT_TRUE(manager.setCurrentThemeIdentifier("Dark"));
    UIColor mask = *QMUIPopupContainerView::appearance().maskViewBackgroundColor;
    // Pop-up menus take the theme's tint and separators.
    const auto& menu = QMUIPopupMenuView::appearance();
    ASSERT_TRUE(menu.itemTitleColor && menu.sectionSeparatorColor);
    expectColour(menu.itemTitleColor->rgba(), QDTheme::qd_tintColor());
    expectColour(menu.sectionSeparatorColor->rgba(), QDTheme::qd_separatorColor());
    EXPECT_EQ(UserDefaults::standard().stringForKey("selectedThemeIdentifier"), "Dark");
    EXPECT_EQ(config.navBarStyle, QMUIConfiguration::BarStyle::black);
    // Colours made before the switch follow it.
    expectColour(background.rgba(), UIColor::black());
    EXPECT_NEAR(mask.alphaComponent(), 0.35, 0.01);
    expectColour(ink(QDTheme::qd_tableViewCellDisclosureIndicatorImage()), rgb(98, 100, 104), 0.02);

    ASSERT_TRUE(manager.setCurrentThemeIdentifier("Default"));
    EXPECT_EQ(UserDefaults::standard().stringForKey("selectedThemeIdentifier"), "Default");
    EXPECT_EQ(config.navBarStyle, QMUIConfiguration::BarStyle::defaultStyle);
    expectColour(background.rgba(), UIColor::white());
    EXPECT_NEAR(mask.alphaComponent(), 0.5, 0.01);
    expectColour(ink(QDTheme::qd_tableViewCellDisclosureIndicatorImage()), rgb(173, 180, 190), 0.02);

    EXPECT_FALSE(manager.setCurrentThemeIdentifier("Sepia"));
    // Another manager's change stores nothing.
    auto& other = QMUIThemeManagerCenter::themeManagerWithName("player");
    other.themeGenerator = &ZVThemeConfiguration::themeForIdentifier;
    other.setCurrentThemeIdentifier("Dark");
    EXPECT_EQ(UserDefaults::standard().stringForKey("selectedThemeIdentifier"), "Default");

    EXPECT_EQ(ZVThemeConfiguration::identifierForTrait({ UIUserInterfaceStyle::dark }), "Dark");
    EXPECT_EQ(ZVThemeConfiguration::identifierForTrait({ UIUserInterfaceStyle::unspecified }), "Default");
}

class ButtonScreen : public QMUICommonViewController {
public:
    void initSubviews() override
    {
        framework = QDUIHelper::generateDarkFilledButton();
        framework->setTitle("发送");
        framework->setFrame({ 95, 200, 200, 40 });
        framework->addAction(UIControlEventTouchUpInside, [this](UIControl&) { ++frameworkTaps; });
        view()->addSubview(framework);

        plain = UIView::create<UIButton>(CGRect { 95, 300, 200, 40 });
        plain->setTitle("普通");
        plain->addAction(UIControlEventTouchUpInside, [this](UIControl&) { ++plainTaps; });
        view()->addSubview(plain);

        navigationItem().setRightBarButtonItem(UIBarButtonItem::withTitle(
            "完成", UIBarButtonItemStyle::plain, [this](UIBarButtonItem&) { ++barTaps; }));
    }

    std::shared_ptr<QMUIButton> framework;
    std::shared_ptr<UIButton> plain;
    int frameworkTaps = 0;
    int plainTaps = 0;
    int barTaps = 0;
};

TEST_F(ThemeTest, RepeatedTapsRunFrameworkAndBarButtonsOnce)
{
    auto screen = std::make_shared<ButtonScreen>();
    auto navigation = std::make_shared<QMUINavigationController>(screen);
    show(navigation);
    TouchDriver finger;
    auto& bar = navigation->navigationBar();
    ASSERT_EQ(bar.rightItemViews().size(), 1u);
    auto barButton = bar.rightItemViews()[0];

    // Two taps in a row: the second is a repeat.
    ASSERT_TRUE(finger.tapView(*screen->framework));
    ASSERT_TRUE(finger.tapView(*screen->framework));
    ASSERT_TRUE(finger.tapView(*screen->plain));
    ASSERT_TRUE(finger.tapView(*screen->plain));
    ASSERT_TRUE(finger.tapView(*barButton));
    ASSERT_TRUE(finger.tapView(*barButton));
    EXPECT_EQ(screen->frameworkTaps, 1);
    EXPECT_EQ(screen->plainTaps, 2);
    EXPECT_EQ(screen->barTaps, 1);

    // Past the repeat interval a tap counts again.
    advance(UIEventDispatcher::multiTapInterval + 0.05);
    ASSERT_TRUE(finger.tapView(*screen->framework));
    advance(UIEventDispatcher::multiTapInterval + 0.05);
    ASSERT_TRUE(finger.tapView(*barButton));
    EXPECT_EQ(screen->frameworkTaps, 2);
    EXPECT_EQ(screen->barTaps, 2);
}

TEST(QDUIHelperText, FileSizesAndCodeWords)
{
    EXPECT_EQ(QDUIHelper::humanReadableFileSize(0), "0.00B");
    EXPECT_EQ(QDUIHelper::humanReadableFileSize(1023), "1023.00B");
    EXPECT_EQ(QDUIHelper::humanReadableFileSize(1024), "1.00K");
    EXPECT_EQ(QDUIHelper::humanReadableFileSize(1048575), "1024.00K");
    EXPECT_EQ(QDUIHelper::humanReadableFileSize(1048576), "1.00M");
    EXPECT_EQ(QDUIHelper::humanReadableFileSize(-5), "-5.00B");

    std::vector<std::string> words;
    QDUIHelper::enumerateCodeString("调用 [self reload] 后再 view.frame 一下",
        [&](std::string_view code, std::size_t offset, std::size_t length) {
            words.emplace_back(code);
            EXPECT_EQ(length, code.size());
            EXPECT_GT(offset, 0u);
        });
    EXPECT_EQ(words, (std::vector<std::string> { "[self reload]", "view.frame" }));
    QDUIHelper::enumerateCodeString("a b", {});
}

}
