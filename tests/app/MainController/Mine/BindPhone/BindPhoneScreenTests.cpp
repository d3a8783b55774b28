// Binding a phone number or e-mail address against the sample API: the opening fade, the
// first step's check, resending on the code step, a refused code and what a refused code
// request says.

#include "app/MainController/Mine/BindPhone/ZV_BindPhoneVC.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/qmui/QMUITextField.h"
#include "tests/app/support/AccountTestSupport.h"

#include <gtest/gtest.h>

using namespace zvtest;

TEST_F(AccountScreenTest, BindingOpensWithAFadeAndTakesEitherKindOfValue)
{
    for (ForgotType way : { ForgotType::phone, ForgotType::mail }) {
        auto page = std::make_shared<ZV_BindPhoneVC>();
        page->registerType = way;
        navigation->pushViewController(page, false);
        drain();
        EXPECT_EQ(page->page(), -1);
        advance(0.4);
        EXPECT_EQ(page->page(), 0);
        EXPECT_EQ(page->title(), way == ForgotType::phone ? "修改绑定手机号" : "修改绑定邮箱");
        EXPECT_EQ(page->zv_accountField()->placeholder(),
            way == ForgotType::phone ? "请输入手机号" : "请输入邮箱账号");
        // The server judges the value: both patterns pass on both pages.
        for (auto [value, enabled] :
            { std::pair { "13912345678", true }, std::pair { "me@mail.example", true },
                std::pair { "1391234567", false }, std::pair { "me@localhost", false } }) {
            type(*page->zv_accountField(), value);
            EXPECT_EQ(page->zv_nextBtn()->isEnabled(), enabled) << value;
        }
        navigation->popViewController(false);
        settle();
    }
}

TEST_F(AccountScreenTest, BindingResendsOnTheCodeStepAndShowsARefusal)
{
    std::string phone = freshPhone();
    std::optional<std::string> token = registerByPhone(phone, "pw");
    ASSERT_TRUE(token);
    setToken(*token);
    auto page = std::make_shared<ZV_BindPhoneVC>();
    auto profile = std::make_shared<ZV_UserInfoModel>();
    page->model = profile;
    push(page);
    std::string newPhone = freshPhone();
    type(*page->zv_accountField(), newPhone);
    ASSERT_TRUE(tap(*page->zv_nextBtn()));
    ASSERT_TRUE(passCaptcha());
    ASSERT_TRUE(waitFor([&] { return page->countdown().isRunning(); }));
    EXPECT_EQ(page->zv_codeLb()->text(), "60秒");
    settle(60);
    EXPECT_EQ(page->page(), 1);
    EXPECT_EQ(page->zv_codeLb()->text(), "重新发送验证码");
    std::optional<std::string> first = accounts().lastCode(newPhone);

    ASSERT_TRUE(tap(*page->zv_codeLb()));
    ASSERT_TRUE(passCaptcha());
    ASSERT_TRUE(waitFor([&] { return page->countdown().isRunning(); }));
    settle(1);
    EXPECT_EQ(page->page(), 1);
    EXPECT_EQ(page->zv_codeLb()->text(), "59s");
    EXPECT_EQ(api().recordsTo("v1/user/get_code").back().parameters->value("to", ""), newPhone);

    std::string code = accounts().lastCode(newPhone).value_or("");
    type(*page->zv_codeField(), code == "000000" ? "111111" : "000000");
    ASSERT_TRUE(tap(*page->zv_nextBtn()));
    ASSERT_TRUE(waitFor([] {
        return !QMUITips::visibleTips().empty()
            && QMUITips::visibleTips().back().kind == QMUITips::Kind::error;
    }));
    EXPECT_EQ(QMUITips::visibleTips().back().text, "验证码错误");
    EXPECT_EQ(navigation->topViewController(), page);
    EXPECT_TRUE(profile->phone.empty());

    type(*page->zv_codeField(), code);
    ASSERT_TRUE(tap(*page->zv_nextBtn()));
    ASSERT_TRUE(waitFor([&] { return profile->phone == newPhone; }));
    EXPECT_EQ(accounts().profileForToken(*token)->value("phone", ""), newPhone);
    settle();
    EXPECT_EQ(navigation->topViewController(), root);
}

// A refused code request says what the server said, in an error tip, and leaves the step and the
// typed value as they were: no code step, no countdown. On the code step a refused resend keeps
// the step and the code typed so far.
TEST_F(AccountScreenTest, BindingShowsARefusedCodeRequestAndStaysOnItsStep)
{
    std::optional<std::string> token = registerByPhone(freshPhone(), "pw");
    ASSERT_TRUE(token);
    setToken(*token);
    std::string spent = spentCaptchaResult();

    struct Case {
        const char* what;
        ForgotType way;
        std::string value;
        std::string captcha;
        const char* tip;
    };
    const Case cases[] = {
        { "a forged ticket", ForgotType::phone, freshPhone(), forgedCaptchaResult(), "验证失败，请重试" },
        { "a ticket used already", ForgotType::mail, freshEmail(), spent, "验证失败，请重试" },
        { "an address on the phone page", ForgotType::phone, freshEmail(), "", "手机号格式不正确" },
        { "a number on the e-mail page", ForgotType::mail, freshPhone(), "", "邮箱格式不正确" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QMUITips::hideAllTips();
        auto page = std::make_shared<ZV_BindPhoneVC>();
        page->registerType = c.way;
        push(page);
        type(*page->zv_accountField(), c.value);
        ASSERT_TRUE(tap(*page->zv_nextBtn()));
        ASSERT_TRUE(c.captcha.empty() ? passCaptcha() : answerCaptcha(c.captcha));
        EXPECT_EQ(awaitErrorTip().value_or("(no error tip)"), c.tip);
        settle();
        EXPECT_EQ(page->page(), 0);
        EXPECT_EQ(page->zv_accountField()->text(), c.value);
        EXPECT_FALSE(page->countdown().isRunning());
        EXPECT_FALSE(accounts().lastCode(c.value));
        navigation->popViewController(false);
        settle();
    }

    // On the code step, once the countdown has ended.
    QMUITips::hideAllTips();
    auto page = std::make_shared<ZV_BindPhoneVC>();
    push(page);
    std::string value = freshPhone();
    type(*page->zv_accountField(), value);
    ASSERT_TRUE(tap(*page->zv_nextBtn()));
    ASSERT_TRUE(passCaptcha());
    ASSERT_TRUE(waitFor([&] { return page->countdown().isRunning(); }));
    settle(60);
    ASSERT_EQ(page->page(), 1);
    type(*page->zv_codeField(), "12");
    ASSERT_TRUE(tap(*page->zv_codeLb()));
    ASSERT_TRUE(answerCaptcha(forgedCaptchaResult()));
    EXPECT_EQ(awaitErrorTip().value_or("(no error tip)"), "验证失败，请重试");
    settle();
    EXPECT_EQ(page->page(), 1);
    EXPECT_EQ(page->zv_codeField()->text(), "12");
    EXPECT_FALSE(page->countdown().isRunning());
    EXPECT_EQ(page->zv_codeLb()->text(), "重新发送验证码");
}
