// Password recovery against the sample API: the steps and their checks, the token chain from the
// account to the new password, a refused account, what each refusal says and keeps, and the one
// countdown of the code step.

#include "app/Core/Network/BaseURLs.h"
#include "app/MainController/Login/Controller/ZV_ForgotViewVC.h"
#include "app/MainController/Login/View/ZV_CaptchaView.h"
#include "app/MainController/Login/View/ZV_RegisterTypeView.h"
#include "platform/dispatch/Timer.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/qmui/QMUITextField.h"
#include "tests/app/support/AccountTestSupport.h"

#include <functional>
#include <gtest/gtest.h>

using namespace zvtest;

namespace {

class ForgotScreenTest : public AccountScreenTest {
protected:
    std::shared_ptr<ZV_ForgotViewVC> openRecovery(const std::string& account)
    {
        auto page = std::make_shared<ZV_ForgotViewVC>();
        push(page);
        type(*page->zv_accountField(), account);
        return page;
    }

    // Chooses the way on step 1 and passes the captcha; waits for the requests that follow.
    void chooseWay(ZV_ForgotViewVC& page, ForgotType way, std::size_t expectedSends)
    {
        ASSERT_TRUE(tap(way == ForgotType::phone ? *page.zv_phoneTypeView() : *page.zv_mailTypeView()));
        ASSERT_TRUE(passCaptcha());
        ASSERT_TRUE(waitFor([&] { return api().recordsTo("v1/user/forget/get_token").size() > tokens; }));
        ++tokens;
        ASSERT_TRUE(waitFor([&] {
            return api().recordsTo("v1/user/forget/send_code").size() == expectedSends
                && (expectedSends == 0 || page.countdown().isRunning());
        }));
        settle();
    }

    std::size_t tokens = 0;
};

}

TEST_F(ForgotScreenTest, StepsCheckTheirInputAndGoBackOneAtATime)
{
    std::shared_ptr<ZV_ForgotViewVC> page = openRecovery("xiaoyu2023");
    EXPECT_EQ(page->zv_titleLb()->text(), "请输入需要找回的账号");
    // A user name is neither a phone number nor an address.
    EXPECT_FALSE(page->zv_nextBtn()->isEnabled());
    type(*page->zv_accountField(), "13800005621");
    EXPECT_TRUE(page->zv_nextBtn()->isEnabled());
    type(*page->zv_accountField(), "xiaoyu@mail.example");
    EXPECT_TRUE(page->zv_nextBtn()->isSelected());

    ASSERT_TRUE(tap(*page->zv_nextBtn()));
    settle();
    EXPECT_EQ(page->page(), 1);
    EXPECT_EQ(page->zv_titleLb()->text(), "xiaoyu@mail.example");
    EXPECT_EQ(page->zv_desLb()->text(), "请选择找回方式");
    EXPECT_TRUE(page->zv_nextBtn()->isHidden());

    chooseWay(*page, ForgotType::mail, 1);
    EXPECT_EQ(page->page(), 2);
    EXPECT_EQ(page->zv_titleLb()->text(), "验证码已发送至");
    EXPECT_EQ(page->zv_desLb()->text(), "xiaoyu@mail.example");
    struct Case {
        const char* code;
        const char* password;
        const char* again;
        bool enabled;
    };
    for (const Case& c :
        { Case { "", "a", "a", false }, Case { "1", "", "", false }, Case { "1", "ab", "a", false },
            Case { "1", "ab", "ab ", false }, Case { "1", "ab", "ab", true } }) {
        type(*page->zv_codeField(), c.code);
        type(*page->zv_passwdField(), c.password);
        type(*page->zv_passwdAgainField(), c.again);
        EXPECT_EQ(page->zv_nextBtn()->isEnabled(), c.enabled)
            << c.code << "/" << c.password << "/" << c.again;
    }

    ASSERT_TRUE(tap(*page->backBtn()));
    settle();
    EXPECT_EQ(page->page(), 1);
    ASSERT_TRUE(tap(*page->backBtn()));
    settle();
    EXPECT_EQ(page->page(), 0);
    EXPECT_EQ(page->zv_accountField()->text(), "xiaoyu@mail.example");
    ASSERT_TRUE(tap(*page->backBtn()));
    settle();
    EXPECT_EQ(navigation->topViewController(), root);
}

TEST_F(ForgotScreenTest, TheTokenChainSetsANewPassword)
{
    std::string phone = freshPhone();
    ASSERT_TRUE(registerByPhone(phone, "old pass"));
    std::shared_ptr<ZV_ForgotViewVC> page = openRecovery(phone);
    ASSERT_TRUE(tap(*page->zv_nextBtn()));
    settle();
    chooseWay(*page, ForgotType::phone, 1);
    EXPECT_EQ(page->zv_codeLb()->text(), "59s");
    EXPECT_FALSE(page->session_token().empty());

    // get_token buys the token that send_code and set_pass carry.
    nlohmann::json asked = *api().recordsTo("v1/user/forget/get_token").back().parameters;
    EXPECT_EQ(asked.value("username", ""), phone);
    EXPECT_NE(asked.value("captcha", "").find("\"ticket\""), std::string::npos);
    nlohmann::json sent = *api().recordsTo("v1/user/forget/send_code").back().parameters;
    EXPECT_EQ(sent.value("send_type", ""), "phone");
    EXPECT_EQ(sent.value("session_token", ""), page->session_token());

    std::optional<std::string> code = accounts().lastCode(phone);
    ASSERT_TRUE(code);
    type(*page->zv_codeField(), *code);
    type(*page->zv_passwdField(), "new pass");
    type(*page->zv_passwdAgainField(), "new pass");
    ASSERT_TRUE(tap(*page->zv_nextBtn()));
    ASSERT_TRUE(waitFor([] {
        return !QMUITips::visibleTips().empty() && QMUITips::visibleTips().back().text == "设置成功";
    }));
    nlohmann::json set = *api().recordsTo("v1/user/forget/set_pass").back().parameters;
    EXPECT_EQ(set.value("session_token", ""), page->session_token());
    EXPECT_EQ(set.value("forget_code", ""), *code);
    EXPECT_EQ(set.value("repassword", ""), "new pass");
    settle();
    EXPECT_EQ(navigation->topViewController(), root);

    // The server took it: the new password signs in, the old one does not.
    for (auto [password, expected] : { std::pair { "old pass", false }, std::pair { "new pass", true } }) {
        auto got = std::make_shared<std::optional<JSON>>();
        ZV_Network::shared().login(
            phone, password, captchaResult(), [got](std::optional<JSON> json, std::optional<NSError>) {
                *got = json.value_or(JSON("refused"));
            });
        ASSERT_TRUE(waitFor([&] { return got->has_value(); }));
        EXPECT_EQ(!std::as_const(**got)["access_token"].stringValue().empty(), expected) << password;
    }
}

TEST_F(ForgotScreenTest, AnUnknownAccountStaysOnTheChoiceAndSendsNoCode)
{
    std::shared_ptr<ZV_ForgotViewVC> page = openRecovery(freshPhone());
    ASSERT_TRUE(tap(*page->zv_nextBtn()));
    settle();
    chooseWay(*page, ForgotType::phone, 0);
    EXPECT_EQ(page->page(), 1);
    EXPECT_TRUE(page->session_token().empty());
    EXPECT_FALSE(page->countdown().isRunning());
}

// One countdown per page: a resend waits for it, and a way chosen again while it runs replaces
// it. A resend passes a new captcha, buys a new token and stays on the code step.
TEST_F(ForgotScreenTest, AResendWaitsForTheCountdownAndBuysANewToken)
{
    std::string phone = freshPhone();
    ASSERT_TRUE(registerByPhone(phone, "old pass"));
    std::shared_ptr<ZV_ForgotViewVC> page = openRecovery(phone);
    ASSERT_TRUE(tap(*page->zv_nextBtn()));
    settle();
    chooseWay(*page, ForgotType::phone, 1);
    std::string first = page->session_token();
    EXPECT_EQ(page->zv_codeLb()->text(), "59s");

    // Counting: a tap on the label opens nothing.
    ASSERT_TRUE(tap(*page->zv_codeLb()));
    EXPECT_FALSE(captcha());

    // Back to the choice and the same way again while it counts: the first countdown stops.
    std::shared_ptr<Timer> running = page->countdown().timer();
    ASSERT_TRUE(tap(*page->backBtn()));
    settle();
    EXPECT_EQ(page->page(), 1);
    ASSERT_TRUE(tap(*page->zv_phoneTypeView()));
    ASSERT_TRUE(passCaptcha());
    // (The first countdown runs until the reply starts the new one.)
    ASSERT_TRUE(waitFor([&] { return !running->isValid() && page->countdown().isRunning(); }));
    EXPECT_EQ(page->zv_codeLb()->text(), "60秒");
    EXPECT_NE(page->session_token(), first);
    settle();
    EXPECT_EQ(page->page(), 2);
    EXPECT_EQ(page->zv_codeLb()->text(), "59s");

    // Sixty ticks after that send, one countdown ends: the label may send again.
    std::vector<std::string> seen;
    for (int second = 0; second < 60; ++second) {
        advance(1.0);
        if (seen.empty() || seen.back() != page->zv_codeLb()->text())
            seen.push_back(page->zv_codeLb()->text());
    }
    EXPECT_EQ(seen.size(), 59u);
    EXPECT_EQ(seen.back(), "重新发送验证码");
    EXPECT_FALSE(page->countdown().isRunning());

    std::string second = page->session_token();
    ASSERT_TRUE(tap(*page->zv_codeLb()));
    ASSERT_TRUE(passCaptcha());
    ASSERT_TRUE(waitFor([&] {
        return api().recordsTo("v1/user/forget/send_code").size() == 3 && page->countdown().isRunning();
    }));
    EXPECT_EQ(api().recordsTo("v1/user/forget/get_token").size(), 3u);
    EXPECT_EQ(page->zv_codeLb()->text(), "60秒");
    EXPECT_NE(page->session_token(), second);
    nlohmann::json sent = *api().recordsTo("v1/user/forget/send_code").back().parameters;
    EXPECT_EQ(sent.value("session_token", ""), page->session_token());
    settle();
    EXPECT_EQ(page->page(), 2);
}

// A refused token or code request says what the server said, in an error tip, and leaves the
// page on the choice of way with the account as typed: no code step, no countdown.
TEST_F(ForgotScreenTest, ARefusalOnTheChoiceOfWaySaysWhyAndStaysThere)
{
    std::string phoneOnly = freshPhone();
    ASSERT_TRUE(registerByPhone(phoneOnly, "pw"));
    std::string emailOnly = freshEmail();
    ASSERT_TRUE(registerByEmail(emailOnly, "pw"));
    std::string spent = spentCaptchaResult();

    struct Case {
        const char* what;
        std::string account;
        ForgotType way;
        std::string captcha;
        const char* tip;
        bool tokenBought;
    };
    const Case cases[] = {
        { "an account with no phone, by phone", emailOnly, ForgotType::phone, "", "该账号未绑定手机号", true },
        { "an account with no e-mail, by e-mail", phoneOnly, ForgotType::mail, "", "该账号未绑定邮箱", true },
        { "an account nobody has", freshPhone(), ForgotType::phone, "", "账号不存在", false },
        { "a forged ticket", phoneOnly, ForgotType::phone, forgedCaptchaResult(), "验证失败，请重试", false },
        { "a ticket used already", phoneOnly, ForgotType::phone, spent, "验证失败，请重试", false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QMUITips::hideAllTips();
        std::size_t sends = api().recordsTo("v1/user/forget/send_code").size();
        std::shared_ptr<ZV_ForgotViewVC> page = openRecovery(c.account);
        ASSERT_TRUE(tap(*page->zv_nextBtn()));
        settle();
        ASSERT_TRUE(tap(c.way == ForgotType::phone ? *page->zv_phoneTypeView() : *page->zv_mailTypeView()));
        ASSERT_TRUE(c.captcha.empty() ? passCaptcha() : answerCaptcha(c.captcha));
        EXPECT_EQ(awaitErrorTip().value_or("(no error tip)"), c.tip);
        settle();
        EXPECT_EQ(page->page(), 1);
        EXPECT_EQ(page->zv_titleLb()->text(), c.account);
        EXPECT_EQ(page->zv_accountField()->text(), c.account);
        EXPECT_FALSE(page->countdown().isRunning());
        EXPECT_EQ(page->zv_codeLb()->text(), "重新发送验证码");
        EXPECT_EQ(api().recordsTo("v1/user/forget/send_code").size(), sends + (c.tokenBought ? 1 : 0));
        navigation->popViewController(false);
        settle();
    }
}

// On the code step a wrong code, a refused resend and a failed transfer each say so and keep
// the step, the code, both passwords and the session.
TEST_F(ForgotScreenTest, ARefusalOnTheCodeStepSaysWhyAndKeepsWhatWasTyped)
{
    std::string phone = freshPhone();
    ASSERT_TRUE(registerByPhone(phone, "old pass"));
    std::shared_ptr<ZV_ForgotViewVC> page = openRecovery(phone);
    ASSERT_TRUE(tap(*page->zv_nextBtn()));
    settle();
    chooseWay(*page, ForgotType::phone, 1);
    ASSERT_EQ(page->page(), 2);
    std::string session = page->session_token();
    std::string code = accounts().lastCode(phone).value_or("");
    std::string wrong = code == "000000" ? "111111" : "000000";
    type(*page->zv_codeField(), wrong);
    type(*page->zv_passwdField(), "new pass");
    type(*page->zv_passwdAgainField(), "new pass");
    settle(60); // the countdown ends, so that the label may send again

    struct Case {
        const char* what;
        std::function<void()> act;
        const char* tip;
    };
    const Case cases[] = {
        { "a wrong code", [&] { ASSERT_TRUE(tap(*page->zv_nextBtn())); }, "验证码错误" },
        { "a resend with a forged ticket",
            [&] {
                ASSERT_TRUE(tap(*page->zv_codeLb()));
                ASSERT_TRUE(answerCaptcha(forgedCaptchaResult()));
            },
            "验证失败，请重试" },
        { "no transfer",
            [&] {
                BaseURLs::main_url() = deadURL() + "/api/";
                ASSERT_TRUE(tap(*page->zv_nextBtn()));
            },
            "网络错误" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QMUITips::hideAllTips();
        c.act();
        EXPECT_EQ(awaitErrorTip().value_or("(no error tip)"), c.tip);
        settle();
        EXPECT_EQ(navigation->topViewController(), page);
        EXPECT_EQ(page->page(), 2);
        EXPECT_EQ(page->zv_codeField()->text(), wrong);
        EXPECT_EQ(page->zv_passwdField()->text(), "new pass");
        EXPECT_EQ(page->zv_passwdAgainField()->text(), "new pass");
        EXPECT_EQ(page->session_token(), session);
        EXPECT_FALSE(page->countdown().isRunning());
        EXPECT_TRUE(page->zv_nextBtn()->isEnabled());
    }
}
