// The about page: the access-code alert from the tenth tap on the logo, the exact code with the
// ad-free flag and the delayed exit, and the contact button's title and link.

#include "app/MainController/Mine/About/ZV_AboutVC.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/SFSafariViewController.h"
#include "platform/ui/UIAlertController.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UITextField.h"
#include "tests/app/MainController/Mine/MineTestSupport.h"

#include <gtest/gtest.h>

using namespace zvtest;

namespace {

class AboutTest : public MineScreenTest {
protected:
    std::shared_ptr<ZV_AboutVC> open()
    {
        auto page = std::make_shared<ZV_AboutVC>();
        page->exitProcess = [this](int status) { exits.push_back(status); };
        push(page);
        return page;
    }

    std::shared_ptr<UIAlertController> alert(ZV_AboutVC& page)
    {
        return std::dynamic_pointer_cast<UIAlertController>(page.presentedViewController());
    }

    std::vector<int> exits;
};

}

TEST_F(AboutTest, EveryTapFromTheTenthAsksForTheCode)
{
    std::shared_ptr<ZV_AboutVC> page = open();
    for (int taps = 1; taps <= 9; ++taps)
        ASSERT_TRUE(tap(*page->imageView()));
    settle();
    EXPECT_FALSE(page->presentedViewController());

    for (int taps = 10; taps <= 11; ++taps) {
        ASSERT_TRUE(tap(*page->imageView())) << taps;
        settle();
        std::shared_ptr<UIAlertController> shown = alert(*page);
        ASSERT_TRUE(shown) << taps;
        EXPECT_EQ(shown->title(), "");
        EXPECT_EQ(shown->textFields().size(), 1u);
        ASSERT_EQ(shown->actions().size(), 2u);
        EXPECT_EQ(shown->actions()[0]->title(), "确定");
        EXPECT_EQ(shown->actions()[0]->style(), UIAlertActionStyle::defaultStyle);
        EXPECT_EQ(shown->actions()[1]->title(), "取消");
        EXPECT_EQ(shown->actions()[1]->style(), UIAlertActionStyle::cancel);
        page->dismiss(false);
        settle();
    }
    EXPECT_EQ(page->count(), 11);
}

TEST_F(AboutTest, OnlyTheExactCodeTurnsAdvertsOffAndEndsTheAppTwoSecondsLater)
{
    for (const char* code : { "", "27491", " 274913", "274913 ", "2749130", "274913" }) {
        std::shared_ptr<ZV_AboutVC> page = open();
        auto shown = UIAlertController::make("", "", UIAlertControllerStyle::alert);
        shown->addTextField();
        shown->textFields().front()->setText(code);
        page->checkAccessCode(*shown);
        bool right = std::string(code) == "274913";
        EXPECT_EQ(UserDefaults::standard().boolForKey("cleanAD"), right) << "'" << code << "'";
        EXPECT_EQ(lastTip(), right ? "重启APP中..." : "") << "'" << code << "'";
        advance(1.9);
        EXPECT_TRUE(exits.empty()) << "'" << code << "'";
        advance(0.2);
        EXPECT_EQ(exits, right ? std::vector<int> { 0 } : std::vector<int> {}) << "'" << code << "'";
        navigation->popToViewController(root, false);
        settle();
    }
}

TEST_F(AboutTest, ContactOpensOnlyAnAbsoluteWebLink)
{
    struct Case {
        std::optional<std::string> link; // none: no configuration
        bool opens;
    };
    for (const Case& c : { Case { std::nullopt, false }, Case { "https://127.0.0.1:1/about.html", true },
             Case { "javascript:alert(1)", false }, Case { "about.html", false } }) {
        ConfigSingleton::shared().zv_configData.reset();
        if (c.link) {
            JSON json = sampleFile("app_config.json");
            json.set("about", JSON::object({ { "button", JSON("联系我们") }, { "link", JSON(*c.link) } }));
            ConfigSingleton::shared().zv_configData = std::make_shared<const ZV_ConfigData>(json);
        }
        std::shared_ptr<ZV_AboutVC> page = open();
        EXPECT_EQ(page->contactBtn()->title(UIControlStateNormal).value_or(""), c.link ? "联系我们" : "");
        page->contactBtn()->sendActions(UIControlEventTouchUpInside);
        settle();
        EXPECT_EQ(
            std::dynamic_pointer_cast<SFSafariViewController>(page->presentedViewController()) != nullptr,
            c.opens)
            << c.link.value_or("none");
        if (page->presentedViewController())
            page->dismiss(false);
        navigation->popToViewController(root, false);
        settle();
    }
}
