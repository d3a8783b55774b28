// The account and settings screens in the dark style: every text keeps the colour its design
// gives the light style and, dark, stands out from what is really drawn behind it (the dimmed
// background picture, the fields, the rows); icons drawn for a light page turn light.

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Helpers/ColorHex.h"
#include "app/MainController/Login/Controller/ZV_ForgotViewVC.h"
#include "app/MainController/Login/Controller/ZV_LoginViewVC.h"
#include "app/MainController/Login/Controller/ZV_RegisterViewVC.h"
#include "app/MainController/Login/View/ZV_RegisterTypeView.h"
#include "app/MainController/Mine/About/ZV_AboutVC.h"
#include "app/MainController/Mine/BindPhone/ZV_BindPhoneVC.h"
#include "app/MainController/Mine/ChangeName/ZV_ChangeNameVC.h"
#include "app/MainController/Mine/ChangePassword/ZV_ChangePasswordVC.h"
#include "app/MainController/Mine/PersonalData/ZV_PersonalDataCollCell.h"
#include "app/MainController/Mine/PersonalData/ZV_PersonalDataVC.h"
#include "app/MainController/Mine/Setting/ZV_SettingCell.h"
#include "app/MainController/Mine/Setting/ZV_SettingVC.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/lists/UICollectionView.h"
#include "platform/ui/lists/UITableView.h"
#include "platform/ui/qmui/QMUITextField.h"
#include "tests/app/support/AccountTestSupport.h"
#include "tests/app/support/DarkContrastSupport.h"

#include <gtest/gtest.h>

using namespace zvtest;
using darkcheck::Ink;

namespace {

class AccountDarkStyleTest : public AccountScreenTest {
protected:
    void SetUp() override
    {
        AccountScreenTest::SetUp();
        if (window)
            window->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::dark);
    }
    void TearDown() override
    {
        // The window lives for the whole program.
        if (window)
            window->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::unspecified);
        AccountScreenTest::TearDown();
    }

    static Ink text(std::string name, const std::shared_ptr<UILabel>& label, UIColor light)
    {
        return { std::move(name), label, label->textColor(), light, darkcheck::bodyText };
    }
    static Ink title(std::string name, const std::shared_ptr<UIButton>& button, UIColor light)
    {
        return { std::move(name), button->titleLabel(), button->titleColor(button->state()), light,
            darkcheck::bodyText };
    }
    static Ink field(std::string name, const std::shared_ptr<QMUITextField>& field, UIColor light)
    {
        return { std::move(name), field, field->textColor(), light, darkcheck::bodyText };
    }
    static Ink placeholder(std::string name, const std::shared_ptr<QMUITextField>& field)
    {
        return { std::move(name), field, field->placeholderColor(), colorWithHex("1D1942", 0.3),
            darkcheck::bodyText };
    }
    static Ink icon(std::string name, const std::shared_ptr<UIView>& view)
    {
        return { std::move(name), view, std::nullopt, std::nullopt, darkcheck::icon };
    }
};

}

TEST_F(AccountDarkStyleTest, LoginRegistrationAndRecoveryStandOutFromTheDimmedPicture)
{
    auto login = std::make_shared<ZV_LoginViewVC>();
    push(login);
    type(*login->zv_accountField(), "xiaoyu2023");
    const auto& forget = login->zv_forgetBtn()->attributedText();
    ASSERT_TRUE(forget && !forget->runs.empty() && forget->runs.front().foregroundColor);
    darkcheck::expectReadable({
        icon("close", login->zv_closeBtn()->imageView()),
        text("登录", login->zv_titleLb(), colorWithHex("222222")),
        field("account", login->zv_accountField(), colorWithHex("222222")),
        placeholder("password placeholder", login->zv_passwdField()),
        { "忘了密码", login->zv_forgetBtn(), forget->runs.front().foregroundColor,
            colorWithHex("1D1942", 0.3), darkcheck::bodyText },
    });
    // The picture only tints the dark page: no light sheet behind the texts.
    UIImage picture = *login->zv_bgImgView()->image();
    EXPECT_TRUE(picture.isDynamic());
    EXPECT_LT(darkcheck::inkOf(picture.resolved(UIUserInterfaceStyle::dark)).redComponent(), 0.2);
    navigation->popViewController(false);

    auto registration = std::make_shared<ZV_RegisterViewVC>();
    push(registration);
    darkcheck::expectReadable({
        icon("back", registration->backBtn()),
        text("title", registration->zv_titleLb(), colorWithHex("1D1942")),
        text("explanation", registration->zv_desLb(), colorWithHex("222222", 0.24)),
        text("by phone", registration->zv_phoneTypeView()->titleLb(), colorWithHex("1D1942")),
        icon("phone icon", registration->zv_phoneTypeView()->imageView()),
        icon("phone arrow", registration->zv_phoneTypeView()->arrowView()),
        text("by e-mail", registration->zv_mailTypeView()->titleLb(), colorWithHex("1D1942")),
        icon("mail icon", registration->zv_mailTypeView()->imageView()),
    });
    navigation->popViewController(false);

    auto recovery = std::make_shared<ZV_ForgotViewVC>();
    push(recovery);
    darkcheck::expectReadable({
        icon("back", recovery->backBtn()),
        text("title", recovery->zv_titleLb(), colorWithHex("1D1942")),
        field("account", recovery->zv_accountField(), colorWithHex("1D1942")),
    });
}

TEST_F(AccountDarkStyleTest, PersonalDataAndItsPagesStandOutFromTheDarkPage)
{
    auto user = std::make_shared<ZV_UserInfoModel>();
    user->nickname = "夜航船";
    auto data = std::make_shared<ZV_PersonalDataVC>();
    data->setModel(user);
    push(data);
    window->layoutIfNeeded();
    auto row = [&](ZV_PersonalDataRowType type) {
        return std::dynamic_pointer_cast<ZV_PersonalDataCollCell>(
            data->collectionView()->cellForItem(IndexPath(static_cast<int>(type), 0)));
    };
    auto avatar = row(ZV_PersonalDataRowType::head);
    auto nickname = row(ZV_PersonalDataRowType::nickName);
    ASSERT_TRUE(avatar && nickname);
    darkcheck::expectReadable({
        text("设置头像", avatar->titleLb(), colorWithHex("1D1942")),
        text("昵称", nickname->titleLb(), colorWithHex("1D1942")),
        text("nickname", nickname->desLb(), colorWithHex("1D1942")),
        icon("row arrow", nickname->iconView()),
    });

    auto name = std::make_shared<ZV_ChangeNameVC>();
    push(name);
    type(*name->zv_accountField(), "夜航船");
    darkcheck::expectReadable({
        field("nickname", name->zv_accountField(), colorWithHex("1D1942")),
        title("保存", name->zv_saveBtn(), colorWithHex("1D1942")),
    });

    auto password = std::make_shared<ZV_ChangePasswordVC>();
    push(password);
    darkcheck::expectReadable({
        placeholder("new password", password->zv_passwdField()),
        title("保存 (disabled)", password->zv_contactBtn(), colorWithHex("1D1942")),
    });
    type(*password->zv_passwdField(), "secret");
    type(*password->zv_passwdAgainField(), "secret");
    ASSERT_TRUE(password->zv_contactBtn()->isEnabled());
    darkcheck::expectReadable(
        { title("保存 (on the accent)", password->zv_contactBtn(), colorWithHex("1D1942")) });

    auto bind = std::make_shared<ZV_BindPhoneVC>();
    bind->registerType = ForgotType::phone;
    push(bind);
    type(*bind->zv_accountField(), "13912340001");
    darkcheck::expectReadable({
        text("title", bind->zv_titleLb(), colorWithHex("1D1942")),
        field("new number", bind->zv_accountField(), colorWithHex("1D1942")),
    });
}

TEST_F(AccountDarkStyleTest, SettingsAndAboutStandOutFromTheDarkPage)
{
    auto settings = std::make_shared<ZV_SettingVC>();
    push(settings);
    window->layoutIfNeeded();
    auto teen = std::dynamic_pointer_cast<ZV_SettingCell>(settings->tableView()->cellForRow(IndexPath(0, 0)));
    auto cache
        = std::dynamic_pointer_cast<ZV_SettingCell>(settings->tableView()->cellForRow(IndexPath(1, 0)));
    ASSERT_TRUE(teen && cache);
    darkcheck::expectReadable({
        text("青少年模式", teen->titleLb(), colorWithHex("1D1942")),
        text("its tip", teen->tipLb(), colorWithHex("1D1942", 0.3)),
        text("清除缓存", cache->titleLb(), colorWithHex("1D1942")),
        text("cache size", cache->desLb(), colorWithHex("1D1942")),
    });

    auto about = std::make_shared<ZV_AboutVC>();
    push(about);
    // The button's title comes from the server's configuration.
    about->contactBtn()->setTitle(std::string("联系我们"), UIControlStateNormal);
    darkcheck::expectReadable({
        text("version", about->titleLb(), colorWithHex("1D1942")),
        title("联系我们 (on the accent)", about->contactBtn(), colorWithHex("1D1942")),
    });
}
