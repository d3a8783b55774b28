// Changing the nickname or the user name: what the type sets, the empty field, and a taken name.

#include "app/MainController/Mine/ChangeName/ZV_ChangeNameVC.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/qmui/QMUITextField.h"
#include "tests/app/support/AccountTestSupport.h"

#include <gtest/gtest.h>

using namespace zvtest;

TEST_F(AccountScreenTest, TheTypeNamesThePageAndAnEmptyFieldSendsNothing)
{
    auto profile = std::make_shared<ZV_UserInfoModel>();
    profile->nickname = "小鱼";
    profile->username = "fish";
    struct Case {
        std::optional<ZV_PersonalDataRowType> type;
        const char* title;
        const char* placeholder;
        const char* text;
        const char* emptyToast;
    };
    for (const Case& c :
        { Case { ZV_PersonalDataRowType::nickName, "修改昵称", "请输入昵称", "小鱼", "请输入昵称" },
            Case { ZV_PersonalDataRowType::userName, "修改用户名", "请输入用户名", "fish", "请输入用户名" },
            // Never assigned: no title, no placeholder, and saving changes the nickname.
            Case { std::nullopt, "", "", "小鱼", "请输入昵称" } }) {
        auto page = std::make_shared<ZV_ChangeNameVC>();
        if (c.type)
            page->setType(*c.type);
        page->setModel(profile);
        push(page);
        EXPECT_EQ(page->title(), c.title);
        EXPECT_EQ(page->zv_accountField()->placeholder(), c.placeholder);
        EXPECT_EQ(page->zv_accountField()->text(), c.text);
        type(*page->zv_accountField(), "");
        QMUITips::hideAllTips();
        ASSERT_TRUE(tap(*page->zv_saveBtn()));
        ASSERT_EQ(QMUITips::visibleTips().size(), 1u);
        EXPECT_EQ(QMUITips::visibleTips()[0].text, c.emptyToast);
        navigation->popViewController(false);
        settle();
    }
    EXPECT_TRUE(api().recordsTo("v1/user/change/nickname").empty());
    EXPECT_TRUE(api().recordsTo("v1/user/change/username").empty());
}

TEST_F(AccountScreenTest, ATakenUserNameIsRefusedAndAFreeOneIsKept)
{
    std::optional<std::string> token = registerByPhone(freshPhone(), "pw");
    ASSERT_TRUE(token);
    setToken(*token);
    auto profile = std::make_shared<ZV_UserInfoModel>();
    auto page = std::make_shared<ZV_ChangeNameVC>();
    page->setType(ZV_PersonalDataRowType::userName);
    page->setModel(profile);
    push(page);

    type(*page->zv_accountField(), "xiaoyu2023");
    ASSERT_TRUE(tap(*page->zv_saveBtn()));
    ASSERT_TRUE(waitFor([] {
        return !QMUITips::visibleTips().empty()
            && QMUITips::visibleTips().back().kind == QMUITips::Kind::error;
    }));
    EXPECT_EQ(QMUITips::visibleTips().back().text, "用户名已存在");
    EXPECT_EQ(navigation->topViewController(), page);

    std::string name = "n" + freshPhone();
    type(*page->zv_accountField(), name);
    ASSERT_TRUE(tap(*page->zv_saveBtn()));
    ASSERT_TRUE(waitFor([&] { return profile->username == name; }));
    EXPECT_EQ(accounts().profileForToken(*token)->value("username", ""), name);
    settle();
    EXPECT_EQ(navigation->topViewController(), root);
}
