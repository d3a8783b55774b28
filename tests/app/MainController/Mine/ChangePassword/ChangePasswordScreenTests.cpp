// Changing the password: the save button's rule, and an accepted change that signs out.

#include "app/Core/Config/ConfigSingleton.h"
#include "app/MainController/Mine/ChangePassword/ZV_ChangePasswordVC.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/qmui/QMUITextField.h"
#include "tests/app/support/AccountTestSupport.h"

#include <gtest/gtest.h>

using namespace zvtest;

TEST_F(AccountScreenTest, SaveWantsTwoEqualEntriesAndStartsDisabled)
{
    auto page = std::make_shared<ZV_ChangePasswordVC>();
    push(page);
    EXPECT_FALSE(page->zv_contactBtn()->isEnabled());
    const UIColor grey(0x22 / 255.0, 0x22 / 255.0, 0x22 / 255.0, 0.1);
    const UIColor accent(0x03 / 255.0, 1, 0xE1 / 255.0, 1);
    struct Case {
        const char* first;
        const char* second;
        bool enabled;
    };
    for (const Case& c :
        { Case { "a", "", false }, Case { "a", "a", true }, Case { "secret", "secreT", false },
            Case { "secret", "secret ", false }, Case { "", "", false } }) {
        type(*page->zv_passwdField(), c.first);
        type(*page->zv_passwdAgainField(), c.second);
        EXPECT_EQ(page->zv_contactBtn()->isEnabled(), c.enabled) << c.first << "/" << c.second;
        EXPECT_EQ(page->zv_contactBtn()->backgroundColor()->resolved(UIUserInterfaceStyle::light),
            c.enabled ? accent : grey)
            << c.first;
    }
}

TEST_F(AccountScreenTest, AnAcceptedPasswordSignsOutAndGoesToTheRoot)
{
    std::string phone = freshPhone();
    std::optional<std::string> token = registerByPhone(phone, "old");
    ASSERT_TRUE(token);
    setToken(*token);
    ConfigSingleton::shared().zv_userInfoModel = std::make_shared<ZV_UserInfoModel>();
    push(std::make_shared<UIViewController>());
    auto page = std::make_shared<ZV_ChangePasswordVC>();
    push(page);

    type(*page->zv_passwdField(), "n");
    type(*page->zv_passwdAgainField(), "n");
    ASSERT_TRUE(tap(*page->zv_contactBtn()));
    ASSERT_TRUE(waitFor([] { return !storedToken(); }));
    EXPECT_EQ(QMUITips::visibleTips().back().kind, QMUITips::Kind::success);
    EXPECT_FALSE(ConfigSingleton::shared().zv_userInfoModel);
    EXPECT_EQ(logouts, 1);
    settle();
    EXPECT_EQ(navigation->topViewController(), root);
    nlohmann::json sent = *api().recordsTo("v1/user/change/password").back().parameters;
    EXPECT_EQ(sent.value("password", ""), "n");
    EXPECT_EQ(sent.value("repassword", ""), "n");
    // The server ended that sign-in too.
    EXPECT_FALSE(accounts().profileForToken(*token));
}
