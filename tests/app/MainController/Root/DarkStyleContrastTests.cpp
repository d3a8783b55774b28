// Texts of the home tab, the personal centre and the chat tab stay readable in both styles: each
// label's colour, resolved in the style of its window, is compared with the first opaque
// background behind it.

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/ViewNib.h"
#include "app/MainController/Chat/View/ZV_ChatHeadView.h"
#include "app/MainController/Chat/View/ZV_ChatInputView.h"
#include "app/MainController/Home/Controller/ZV_MainHomeViewController.h"
#include "app/MainController/Home/View/ZV_HomeVideoReusableView.h"
#include "app/MainController/Mine/PersonalCenter/ZV_PersonalCenterItemCell.h"
#include "app/MainController/Mine/PersonalCenter/ZV_PersonalCenterUserCell.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/segmented/JXSegmentedTitleDataSource.h"
#include "tests/app/support/DarkContrastSupport.h"
#include "tests/platform/ui/ControllerTestSupport.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

// Large-text legibility; the faded secondary texts of the light style sit just above it.
constexpr double minimumContrast = 3.0;

struct Text {
    std::string name;
    std::shared_ptr<UIView> view;
    UIColor color;
    UIColor lightColor; // the colour the light style keeps
};

class DarkStyleContrastTest : public uitest::ControllerTest {
protected:
    // The first opaque background from the view up, as the view's style resolves it.
    static UIColor::RGBA backgroundBehind(const std::shared_ptr<UIView>& view)
    {
        UIUserInterfaceStyle style = view->traitCollection().userInterfaceStyle;
        for (auto v = view; v; v = v->superview()) {
            if (!v->backgroundColor())
                continue;
            UIColor resolved = v->backgroundColor()->resolved(style);
            if (resolved.alphaComponent() > 0.99)
                return resolved.rgba();
        }
        return UIColor::systemBackground().resolved(style).rgba();
    }

    // The page of the window as the app's tabs lay it: the system background.
    std::shared_ptr<UIView> page(UIUserInterfaceStyle style)
    {
        window->setOverrideUserInterfaceStyle(style);
        auto root = UIView::create();
        root->setFrame({ 0, 0, 390, 844 });
        root->setBackgroundColor(UIColor::systemBackground());
        window->addSubview(root);
        return root;
    }

    std::vector<Text> texts(const std::shared_ptr<UIView>& root)
    {
        std::vector<Text> all;
        auto label = [&](const std::string& name, const std::shared_ptr<UILabel>& l, const UIColor& light) {
            all.push_back({ name, l, l->textColor(), light });
        };

        auto header = std::make_shared<ZV_HomeVideoReusableView>(CGRect { 0, 0, 390, 48 });
        root->addSubview(header);
        label("home section title", header->zv_title(), colorWithHex("222222"));
        label("home section link", header->zv_des(), colorWithHex("1D1942", 0.3));
        // The home tab's unselected top tabs are drawn on the page itself.
        home = std::make_shared<ZV_MainHomeViewController>();
        all.push_back(
            { "home top tab", root, home->zv_dataSource()->titleNormalColor, colorWithHex("1D1942", 0.3) });

        auto user = std::make_shared<ZV_PersonalCenterUserCell>(CGRect { 0, 0, 390, 68 });
        root->addSubview(user);
        label("personal centre name", user->titleLb(), colorWithHex("222222"));
        label("personal centre UID", user->desLb(), colorWithHex("1D1942", 0.3));
        all.push_back({ "personal centre sign-in", user->loginBtn(),
            *user->loginBtn()->titleColor(UIControlStateNormal), colorWithHex("222222") });
        auto item = std::make_shared<ZV_PersonalCenterItemCell>(CGRect { 0, 0, 100, 90 });
        root->addSubview(item);
        label("personal centre shortcut", item->titleLb(), colorWithHex("222222"));

        auto chat = viewForXib<ZV_ChatHeadView>();
        root->addSubview(chat);
        label("chat title", chat->titleLb(), colorWithHex("1D1942"));
        label("chat online count", chat->numLb(), colorWithHex("1D1942", 0.6));
        return all;
    }

    void TearDown() override
    {
        home.reset();
        uitest::ControllerTest::TearDown();
    }

    std::shared_ptr<ZV_MainHomeViewController> home;
};

TEST_F(DarkStyleContrastTest, TextsStandOutFromTheirBackgroundInTheDarkStyleAndKeepTheirLightColours)
{
    for (UIUserInterfaceStyle style : { UIUserInterfaceStyle::light, UIUserInterfaceStyle::dark }) {
        std::shared_ptr<UIView> root = page(style);
        for (const Text& text : texts(root)) {
            SCOPED_TRACE(text.name + (style == UIUserInterfaceStyle::dark ? " (dark)" : " (light)"));
            UIUserInterfaceStyle seen = text.view->traitCollection().userInterfaceStyle;
            ASSERT_EQ(seen, style);
            // The light style keeps the colours as designed, faded ones included.
            EXPECT_EQ(text.color.resolved(UIUserInterfaceStyle::light), text.lightColor);
            if (style != UIUserInterfaceStyle::dark)
                continue;
            UIColor::RGBA back = backgroundBehind(text.view);
            UIColor fore = text.color.resolved(seen);
            EXPECT_GE(
                zvadaptive::contrastRatio(fore, UIColor(back.red, back.green, back.blue, 1)), minimumContrast)
                << fore.debugDescription();
        }
        home.reset();
        root->removeFromSuperview();
    }
}

TEST_F(DarkStyleContrastTest, TheChatBarsFollowTheDarkStyle)
{
    std::shared_ptr<UIView> root = page(UIUserInterfaceStyle::dark);
    auto head = viewForXib<ZV_ChatHeadView>();
    auto input = viewForXib<ZV_ChatInputView>();
    root->addSubview(head);
    root->addSubview(input);
    UIColor page = UIColor::systemBackground().resolved(UIUserInterfaceStyle::dark);
    for (const auto& bar :
        { std::static_pointer_cast<UIView>(head), std::static_pointer_cast<UIView>(input) }) {
        SCOPED_TRACE(bar->className());
        UIColor::RGBA back = backgroundBehind(bar);
        // A white bar on the black page is the light style showing through.
        EXPECT_LT(zvadaptive::contrastRatio(UIColor(back.red, back.green, back.blue, 1), page), 1.5);
        EXPECT_EQ(bar->backgroundColor()->resolved(UIUserInterfaceStyle::light), UIColor::white());
    }
    root->removeFromSuperview();
}

TEST_F(DarkStyleContrastTest, IconsDrawnForTheLightStyleTurnLightInTheDarkStyleAndBack)
{
    std::shared_ptr<UIView> root = page(UIUserInterfaceStyle::light);
    auto user = std::make_shared<ZV_PersonalCenterUserCell>(CGRect { 0, 0, 390, 68 });
    auto header = std::make_shared<ZV_HomeVideoReusableView>(CGRect { 0, 0, 390, 48 });
    auto chat = viewForXib<ZV_ChatHeadView>();
    for (const auto& view : { std::static_pointer_cast<UIView>(user),
             std::static_pointer_cast<UIView>(header), std::static_pointer_cast<UIView>(chat) })
        root->addSubview(view);
    struct Icon {
        std::string name;
        std::shared_ptr<UIView> view;
        std::function<std::optional<UIImage>()> image;
    };
    const std::vector<Icon> icons {
        { "personal centre settings", user->settingBtn(),
            [&] { return user->settingBtn()->image(UIControlStateNormal); } },
        { "home section arrow", header->zv_iconView(), [&] { return header->zv_iconView()->image(); } },
        { "chat refresh", chat->refreshBtn(),
            [&] { return chat->refreshBtn()->image(UIControlStateNormal); } },
    };
    for (const Icon& icon : icons) {
        SCOPED_TRACE(icon.name);
        std::optional<UIImage> light = icon.image();
        ASSERT_TRUE(light && light->hasBitmap());
        UIColor::RGBA drawn = darkcheck::inkOf(*light).rgba();
        UIColor::RGBA lightBack = backgroundBehind(icon.view);
        // Faded icons need only be as plain as the light style draws them.
        double needed = std::min(minimumContrast,
            zvadaptive::contrastRatio(UIColor(drawn.red, drawn.green, drawn.blue, drawn.alpha),
                UIColor(lightBack.red, lightBack.green, lightBack.blue, 1)));
        for (UIUserInterfaceStyle style : { UIUserInterfaceStyle::dark, UIUserInterfaceStyle::light }) {
            SCOPED_TRACE(style == UIUserInterfaceStyle::dark ? "dark" : "light");
            window->setOverrideUserInterfaceStyle(style);
            std::optional<UIImage> shown = icon.image();
            ASSERT_TRUE(shown && shown->hasBitmap());
            UIColor::RGBA ink = darkcheck::inkOf(*shown).rgba();
            if (style == UIUserInterfaceStyle::light) {
                EXPECT_NEAR(ink.red, drawn.red, 0.02); // the icon as drawn comes back
                continue;
            }
            UIColor::RGBA back = backgroundBehind(icon.view);
            EXPECT_GE(zvadaptive::contrastRatio(UIColor(ink.red, ink.green, ink.blue, ink.alpha),
                          UIColor(back.red, back.green, back.blue, 1)),
                needed);
        }
        window->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::light);
    }
    root->removeFromSuperview();
}

}
