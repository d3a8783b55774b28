// Registration against the sample API: the steps, the next button's checks, the code countdown
// on the virtual clock, refusals and their reasons, and a new account that signs out and in
// again, and that stays signed in while the chat tab asks the room about it.

#include "app/BaseController/ZVNavigationController.h"
#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Storage/StoreData.h"
#include "app/MainController/Login/Controller/ZV_LoginViewVC.h"
#include "app/MainController/Login/Controller/ZV_RegisterViewVC.h"
#include "app/MainController/Login/View/ZV_CaptchaView.h"
#include "app/MainController/Login/View/ZV_RegisterTypeView.h"
#include "platform/dispatch/Timer.h"
#include "platform/ui/CALayer.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/qmui/QMUITextField.h"
#include "tests/app/MainController/Chat/LoadedChatPage.h"
#include "tests/app/support/AccountTestSupport.h"

#include <gtest/gtest.h>

using namespace zvtest;

namespace {

class RegisterScreenTest : public AccountScreenTest {
protected:
    // The registration page on a presented login stack, as the viewer reaches it.
    std::shared_ptr<ZV_RegisterViewVC> openRegistration()
    {
        login = std::make_shared<ZV_LoginViewVC>();
        auto stack = std::make_shared<ZVNavigationController>(login);
        stack->setModalPresentationStyle(UIModalPresentationStyle::overFullScreen);
        root->present(stack, false);
        drain();
        auto page = std::make_shared<ZV_RegisterViewVC>();
        stack->pushViewController(page, false);
        settle();
        return page;
    }

    // Step 1 of the way, with the account and password typed.
    void fillAccount(
        ZV_RegisterViewVC& page, RegisterType way, const std::string& account, const std::string& password)
    {
        ASSERT_TRUE(tap(way == RegisterType::phone ? *page.zv_phoneTypeView() : *page.zv_mailTypeView()));
        settle();
        ASSERT_EQ(page.page(), 1);
        type(*page.zv_accountField(), account);
        type(*page.zv_passwdField(), password);
    }

    // Next on step 1, the captcha, and the code request's reply.
    void requestCode(ZV_RegisterViewVC& page)
    {
        std::size_t before = api().recordsTo("v1/user/get_code").size();
        ASSERT_TRUE(tap(*page.zv_nextBtn()));
        ASSERT_TRUE(passCaptcha());
        ASSERT_TRUE(waitFor([&] { return api().recordsTo("v1/user/get_code").size() == before + 1; }));
        ASSERT_TRUE(waitFor([] {
            return !QMUITips::visibleTips().empty()
                && QMUITips::visibleTips().back().kind != QMUITips::Kind::loading;
        }));
    }

    std::shared_ptr<ZV_LoginViewVC> login;
};

}

TEST_F(RegisterScreenTest, StepsGoForwardAndBackWithTheirTexts)
{
    std::shared_ptr<ZV_RegisterViewVC> page = openRegistration();
    EXPECT_EQ(page->zv_titleLb()->text(), "请选择注册方式");
    EXPECT_EQ(page->zv_desLb()->text(), "海外用户请选择邮箱注册");
    EXPECT_TRUE(page->zv_nextBtn()->isHidden());

    ASSERT_TRUE(tap(*page->zv_phoneTypeView()));
    // The card fades out first; the step changes with the fade-in.
    EXPECT_EQ(page->page(), 0);
    settle();
    EXPECT_EQ(page->page(), 1);
    EXPECT_EQ(page->zv_titleLb()->text(), "手机号注册");
    EXPECT_FALSE(page->zv_desLb()->isHidden());
    EXPECT_EQ(page->zv_accountField()->placeholder(), "请输入手机号");
    EXPECT_FALSE(page->zv_nextBtn()->isHidden());
    type(*page->zv_accountField(), "13800000000");

    ASSERT_TRUE(tap(*page->backBtn()));
    settle();
    EXPECT_EQ(page->page(), 0);
    EXPECT_EQ(page->zv_desLb()->text(), "海外用户请使用邮箱注册");
    EXPECT_TRUE(page->zv_nextBtn()->isHidden());

    ASSERT_TRUE(tap(*page->zv_mailTypeView()));
    settle();
    EXPECT_EQ(page->registerType(), RegisterType::mail);
    EXPECT_EQ(page->zv_titleLb()->text(), "邮箱注册");
    EXPECT_TRUE(page->zv_desLb()->isHidden());
    EXPECT_EQ(page->zv_accountField()->placeholder(), "请输入邮箱地址");
    // Typed text survives the steps.
    EXPECT_EQ(page->zv_accountField()->text(), "13800000000");

    ASSERT_TRUE(tap(*page->backBtn()));
    settle();
    EXPECT_FALSE(page->zv_desLb()->isHidden());
    ASSERT_TRUE(tap(*page->backBtn()));
    settle();
    EXPECT_EQ(login->navigationController()->topViewController(), login);
}

TEST_F(RegisterScreenTest, TheNextButtonChecksTheWaysPatternAndAPassword)
{
    std::shared_ptr<ZV_RegisterViewVC> page = openRegistration();
    struct Case {
        RegisterType way;
        const char* account;
        const char* password;
        bool enabled;
    };
    const Case cases[] = {
        { RegisterType::phone, "13912345678", "p", true },
        { RegisterType::phone, "14712345678", "p", true },
        { RegisterType::phone, "13912345678", "", false },
        { RegisterType::phone, "16912345678", "p", false }, // second digit not 3, 4, 5, 7, 8
        { RegisterType::phone, "1391234567", "p", false }, // ten digits
        { RegisterType::phone, "139123456789", "p", false }, // twelve
        { RegisterType::phone, "+8613912345678", "p", false },
        { RegisterType::phone, "me@mail.example", "p", false },
        { RegisterType::mail, "me_1-x@mail-host.example", "p", true },
        { RegisterType::mail, "me@mail.example", "", false },
        { RegisterType::mail, "me@localhost", "p", false }, // no dot after the at sign
        { RegisterType::mail, "first.last@mail.example", "p", false }, // dot before it
        { RegisterType::mail, "me+tag@mail.example", "p", false },
        { RegisterType::mail, "13912345678", "p", false },
    };
    for (const Case& c : cases) {
        fillAccount(*page, c.way, c.account, c.password);
        EXPECT_EQ(page->zv_nextBtn()->isEnabled(), c.enabled) << c.account << "/" << c.password;
        EXPECT_EQ(page->zv_nextBtn()->isSelected(), c.enabled) << c.account;
        ASSERT_TRUE(tap(*page->backBtn()));
        settle();
    }
}

TEST_F(RegisterScreenTest, TheCodeCountdownRunsSixtyTicksAndBlocksResending)
{
    std::shared_ptr<ZV_RegisterViewVC> page = openRegistration();
    std::string phone = freshPhone();
    fillAccount(*page, RegisterType::phone, phone, "pw");
    requestCode(*page);
    EXPECT_EQ(QMUITips::visibleTips().back().text, "验证码获取成功");
    nlohmann::json sent = *api().recordsTo("v1/user/get_code").back().parameters;
    EXPECT_EQ(sent.value("to", ""), phone);
    EXPECT_EQ(sent.value("send_type", ""), "phone");
    EXPECT_EQ(page->zv_codeLb()->text(), "重新发送验证码 60秒");
    settle(0.9);
    EXPECT_EQ(page->page(), 2);
    EXPECT_EQ(page->zv_titleLb()->text(), "验证码已发送至");
    EXPECT_EQ(page->zv_desLb()->text(), phone);

    // On the clock: one tick a second, from the send.
    std::vector<std::string> seen;
    std::string last = page->zv_codeLb()->text();
    for (int second = 1; second <= 61; ++second) {
        advance(1.0 - (second == 1 ? 0.9 : 0));
        if (page->zv_codeLb()->text() != last)
            seen.push_back(last = page->zv_codeLb()->text());
        if (second == 30) {
            // Counting: a tap on the label opens nothing.
            ASSERT_TRUE(tap(*page->zv_codeLb()));
            EXPECT_FALSE(captcha());
        }
    }
    ASSERT_EQ(seen.size(), 60u);
    EXPECT_EQ(seen.front(), "重新发送验证码 59s");
    EXPECT_EQ(seen[58], "重新发送验证码 1s");
    EXPECT_EQ(seen.back(), "重新发送验证码");
    EXPECT_FALSE(page->countdown().isRunning());

    // Ended: a tap sends again, the page stays on its step and the count restarts.
    ASSERT_TRUE(tap(*page->zv_codeLb()));
    ASSERT_TRUE(passCaptcha());
    ASSERT_TRUE(waitFor([&] { return page->countdown().isRunning(); }));
    EXPECT_EQ(page->zv_codeLb()->text(), "重新发送验证码 60秒");
    settle();
    EXPECT_EQ(page->page(), 2);

    // Back stops it; a new send starts one countdown again, whose first tick is 59.
    std::shared_ptr<Timer> previous = page->countdown().timer();
    ASSERT_TRUE(tap(*page->backBtn()));
    EXPECT_FALSE(page->countdown().isRunning());
    EXPECT_FALSE(previous->isValid());
    settle();
    EXPECT_EQ(page->page(), 1);
    requestCode(*page);
    settle(1.0);
    EXPECT_EQ(page->zv_codeLb()->text(), "重新发送验证码 59s");
}

TEST_F(RegisterScreenTest, RefusedRequestsShowWhatWentWrong)
{
    std::shared_ptr<ZV_RegisterViewVC> page = openRegistration();
    std::string phone = freshPhone();
    fillAccount(*page, RegisterType::phone, phone, "pw");
    requestCode(*page);
    settle();
    ASSERT_EQ(page->page(), 2);

    // A wrong code: the field empties and turns red, the button waits for a new one.
    std::string code = accounts().lastCode(phone).value_or("");
    type(*page->zv_codeField(), code == "000000" ? "111111" : "000000");
    ASSERT_TRUE(page->zv_nextBtn()->isEnabled());
    ASSERT_TRUE(tap(*page->zv_nextBtn()));
    ASSERT_TRUE(waitFor([&] { return page->zv_codeField()->text().empty(); }));
    EXPECT_EQ(
        page->zv_codeField()->layer()->borderColor(), UIColor(0xEF / 255.0, 0x52 / 255.0, 0x52 / 255.0, 1));
    EXPECT_FALSE(page->zv_nextBtn()->isEnabled());
    EXPECT_EQ(awaitErrorTip(), "验证码错误");
    EXPECT_FALSE(storedToken());
    type(*page->zv_codeField(), "1");
    EXPECT_EQ(page->zv_codeField()->layer()->borderColor(), UIColor::clear());
    EXPECT_TRUE(page->zv_nextBtn()->isEnabled());

    // A "success" without a token signs nobody in: the same red field.
    api().script("v1/user/register/phone", testserver::ApiReply::success({ { "access_token", "" } }));
    ASSERT_TRUE(tap(*page->zv_nextBtn()));
    ASSERT_TRUE(waitFor([&] { return page->zv_codeField()->text().empty(); }));
    EXPECT_EQ(awaitErrorTip(), "网络异常");
    EXPECT_FALSE(storedToken());
    EXPECT_EQ(logins, 0);
    api().clearScripts();
    QMUITips::hideAllTips();

    // A refused code request shows the server's text; a failed transfer the client's.
    ASSERT_TRUE(tap(*page->backBtn()));
    settle();
    type(*page->zv_accountField(), "13800005621");
    api().script("v1/user/get_code", testserver::ApiReply::error(1020, "发送过于频繁"));
    requestCode(*page);
    EXPECT_EQ(QMUITips::visibleTips().back().text, "发送过于频繁");
    EXPECT_EQ(QMUITips::visibleTips().back().kind, QMUITips::Kind::info);
    BaseURLs::main_url() = deadURL() + "/api/";
    ASSERT_TRUE(tap(*page->zv_nextBtn()));
    ASSERT_TRUE(passCaptcha());
    ASSERT_TRUE(waitFor([] {
        return !QMUITips::visibleTips().empty() && QMUITips::visibleTips().back().text == "网络错误";
    }));
    settle();
    EXPECT_EQ(page->page(), 1);
    EXPECT_FALSE(page->countdown().isRunning());
}

// A refused registration keeps the step and what was typed, empties the code field and outlines
// it in red, and says why: an account that exists already is no wrong code, and neither is a
// transfer that failed.
TEST_F(RegisterScreenTest, ARefusedRegistrationSaysWhyAndAsksForTheCodeAgain)
{
    enum class Before { nothing, registered, transferCut };
    struct Case {
        const char* name;
        RegisterType way;
        Before before;
        bool rightCode;
        const char* tip;
    };
    const Case cases[] = {
        { "phone registered already", RegisterType::phone, Before::registered, true, "该手机号已注册" },
        { "e-mail registered already", RegisterType::mail, Before::registered, true, "该邮箱已注册" },
        { "wrong code", RegisterType::phone, Before::nothing, false, "验证码错误" },
        { "no transfer", RegisterType::mail, Before::transferCut, true, "网络错误" },
    };
    std::shared_ptr<ZV_RegisterViewVC> page = openRegistration();
    const std::string serverURL = BaseURLs::main_url();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool byPhone = c.way == RegisterType::phone;
        std::string account = byPhone ? freshPhone() : freshEmail();
        if (c.before == Before::registered) {
            ASSERT_TRUE(byPhone ? registerByPhone(account, "taken") : registerByEmail(account, "taken"));
        }
        fillAccount(*page, c.way, account, "pw 1");
        requestCode(*page);
        settle();
        ASSERT_EQ(page->page(), 2);
        std::string code = accounts().lastCode(account).value_or("");
        ASSERT_FALSE(code.empty());
        type(*page->zv_codeField(), c.rightCode ? code : (code == "000000" ? "111111" : "000000"));
        QMUITips::hideAllTips();
        if (c.before == Before::transferCut)
            BaseURLs::main_url() = deadURL() + "/api/";

        ASSERT_TRUE(tap(*page->zv_nextBtn()));
        EXPECT_EQ(awaitErrorTip(), c.tip);
        BaseURLs::main_url() = serverURL;
        EXPECT_EQ(page->zv_codeField()->text(), "");
        EXPECT_EQ(page->zv_codeField()->layer()->borderColor(),
            UIColor(0xEF / 255.0, 0x52 / 255.0, 0x52 / 255.0, 1));
        EXPECT_FALSE(page->zv_nextBtn()->isEnabled());
        settle();
        EXPECT_EQ(page->page(), 2);
        EXPECT_EQ(page->registerType(), c.way);
        EXPECT_EQ(page->zv_desLb()->text(), account);
        EXPECT_EQ(page->zv_accountField()->text(), account);
        EXPECT_EQ(page->zv_passwdField()->text(), "pw 1");
        EXPECT_FALSE(storedToken());
        EXPECT_EQ(logins, 0);

        // Back to the choice of the way for the next case.
        QMUITips::hideAllTips();
        for (int step = 2; step > 0; --step) {
            ASSERT_TRUE(tap(*page->backBtn()));
            settle();
        }
        ASSERT_EQ(page->page(), 0);
    }
}

TEST_F(RegisterScreenTest, ANewAccountSignsInSignsOutAndSignsInAgain)
{
    for (RegisterType way : { RegisterType::phone, RegisterType::mail }) {
        std::shared_ptr<ZV_RegisterViewVC> page = openRegistration();
        std::string account = way == RegisterType::phone ? freshPhone() : freshEmail();
        fillAccount(*page, way, account, "first pass");
        requestCode(*page);
        settle();
        std::optional<std::string> code = accounts().lastCode(account);
        ASSERT_TRUE(code);
        type(*page->zv_codeField(), *code);
        ASSERT_TRUE(tap(*page->zv_nextBtn()));
        ASSERT_TRUE(waitFor([] { return storedToken().has_value(); }));
        std::string token = *storedToken();
        EXPECT_EQ(logins, 1);
        EXPECT_EQ(QMUITips::visibleTips().back().text, "登录成功");
        settle();
        EXPECT_FALSE(root->presentedViewController());
        std::optional<nlohmann::json> profile = accounts().profileForToken(token);
        ASSERT_TRUE(profile);
        EXPECT_EQ(profile->value(way == RegisterType::phone ? "phone" : "email", ""), account);

        // Signed out, the same account signs in with what it registered.
        StoreData::remove(StoreData::access_token);
        QMUITips::hideAllTips();
        login = std::make_shared<ZV_LoginViewVC>();
        auto stack = std::make_shared<ZVNavigationController>(login);
        root->present(stack, false);
        drain();
        type(*login->zv_accountField(), account);
        type(*login->zv_passwdField(), "first pass");
        ASSERT_TRUE(tap(*login->zv_loginBtn()));
        ASSERT_TRUE(passCaptcha());
        ASSERT_TRUE(waitFor([] { return storedToken().has_value(); }));
        EXPECT_EQ(accounts().profileForToken(*storedToken())->value("id", 0), profile->value("id", 0));
        EXPECT_EQ(logins, 2);
        settle();
        EXPECT_FALSE(root->presentedViewController());
        logins = 0;
        StoreData::remove(StoreData::access_token);
        QMUITips::hideAllTips();
    }
}

// The chat tab, loaded before, asks the room for the member's state as soon as the registration
// signs the new account in: the room knows its token, nothing ends the sign-in, and the account
// joins the room as itself.
TEST_F(RegisterScreenTest, ANewAccountStaysSignedInUnderALoadedChatPageAndJoinsItsRoom)
{
    LoadedChatPage chat(api());
    ASSERT_TRUE(waitFor([&] { return chat.loaded(); }));
    ASSERT_TRUE(api().recordsTo("v1/room/user").empty());
    std::size_t asked = 0;
    for (RegisterType way : { RegisterType::phone, RegisterType::mail }) {
        SCOPED_TRACE(way == RegisterType::phone ? "phone" : "e-mail");
        std::shared_ptr<ZV_RegisterViewVC> page = openRegistration();
        std::string account = way == RegisterType::phone ? freshPhone() : freshEmail();
        fillAccount(*page, way, account, "first pass");
        requestCode(*page);
        settle();
        std::optional<std::string> code = accounts().lastCode(account);
        ASSERT_TRUE(code);
        type(*page->zv_codeField(), *code);
        ASSERT_TRUE(tap(*page->zv_nextBtn()));
        ASSERT_TRUE(waitFor([] { return storedToken().has_value(); }));
        std::string token = *storedToken();

        ++asked;
        ASSERT_TRUE(waitFor([&] { return chat.answered("v1/room/user", asked); }));
        // No profile yet: the room knows the member by the token alone.
        EXPECT_FALSE(api().recordsTo("v1/room/user").back().parameters->contains("user_id"));
        EXPECT_EQ(storedToken(), token);
        EXPECT_EQ(chat.ui->logins, 0);
        settle();
        EXPECT_FALSE(root->presentedViewController());
        EXPECT_FALSE(navigation->presentedViewController());

        // With its profile, as the personal centre loads it, joining signs in on the socket.
        std::optional<nlohmann::json> profile = accounts().profileForToken(token);
        ASSERT_TRUE(profile);
        ConfigSingleton::shared().zv_userInfoModel
            = std::make_shared<const ZV_UserInfoModel>(JSON::parse(profile->dump()));
        chat.tapJoin();
        ASSERT_TRUE(waitFor([&] { return chat.joined(); }));
        EXPECT_TRUE(chat.tool->isSignIn());
        EXPECT_EQ(storedToken(), token);

        // Signed out again for the other way.
        StoreData::remove(StoreData::access_token);
        ConfigSingleton::shared().zv_userInfoModel.reset();
        NotificationCenter::defaultCenter().post("logoutSuccess");
        QMUITips::hideAllTips();
    }
}
