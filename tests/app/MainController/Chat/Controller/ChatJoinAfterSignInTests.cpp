// A signed-out viewer on the chat tab: 加入聊天 brings the login stack, the viewer signs in or
// registers there, the stack goes, and the next tap on 加入聊天 joins the room at once, with no
// other tab ever loaded to fetch the profile that the socket signs in with.

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Storage/StoreData.h"
#include "app/MainController/Login/Controller/ZV_LoginViewVC.h"
#include "app/MainController/Login/Controller/ZV_RegisterViewVC.h"
#include "app/MainController/Login/View/ZV_RegisterTypeView.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/qmui/QMUITextField.h"
#include "tests/app/MainController/Chat/LoadedChatPage.h"
#include "tests/app/support/AccountTestSupport.h"

#include <gtest/gtest.h>

using namespace zvtest;

namespace {

class ChatJoinAfterSignInTest : public AccountScreenTest {
protected:
    enum class Way { login, registration };

    // The chat page on screen, signed out, its history in.
    void openSignedOut(LoadedChatPage& chat)
    {
        ASSERT_FALSE(storedToken());
        ASSERT_FALSE(ConfigSingleton::shared().zv_userInfoModel);
        push(chat.page);
        ASSERT_TRUE(waitFor([&] { return chat.loaded(); }));
    }

    // 加入聊天 tapped signed out: the login page over the chat page, nothing connected.
    std::shared_ptr<ZV_LoginViewVC> tapJoinSignedOut(LoadedChatPage& chat)
    {
        EXPECT_TRUE(tap(*chat.page->zv_inputView()->joinBtn()));
        settle();
        EXPECT_FALSE(chat.tool->socket());
        auto stack = std::dynamic_pointer_cast<UINavigationController>(chat.page->presentedViewController());
        return stack ? std::dynamic_pointer_cast<ZV_LoginViewVC>(stack->topViewController()) : nullptr;
    }

    // Signs in on the login page with an account registered before, through its captcha.
    void logIn(ZV_LoginViewVC& login)
    {
        std::string phone = freshPhone();
        ASSERT_TRUE(registerByPhone(phone, "chat pass"));
        type(*login.zv_accountField(), phone);
        type(*login.zv_passwdField(), "chat pass");
        ASSERT_TRUE(tap(*login.zv_loginBtn()));
        ASSERT_TRUE(passCaptcha());
    }

    // Registers a new account by phone from the login page, as far as the signed-in account.
    void registerFrom(ZV_LoginViewVC& login)
    {
        ASSERT_TRUE(tap(*login.zv_registerBtn()));
        settle();
        auto page
            = std::dynamic_pointer_cast<ZV_RegisterViewVC>(login.navigationController()->topViewController());
        ASSERT_TRUE(page);
        ASSERT_TRUE(tap(*page->zv_phoneTypeView()));
        settle();
        std::string phone = freshPhone();
        type(*page->zv_accountField(), phone);
        type(*page->zv_passwdField(), "chat pass");
        ASSERT_TRUE(tap(*page->zv_nextBtn()));
        ASSERT_TRUE(passCaptcha());
        // The code step shows once the reply to the code request is in.
        ASSERT_TRUE(waitFor([] {
            return !QMUITips::visibleTips().empty()
                && QMUITips::visibleTips().back().kind != QMUITips::Kind::loading;
        }));
        settle();
        ASSERT_TRUE(accounts().lastCode(phone));
        type(*page->zv_codeField(), *accounts().lastCode(phone));
        ASSERT_TRUE(tap(*page->zv_nextBtn()));
    }

    // Signed in one way or the other from the login page, and the stack gone.
    void signIn(LoadedChatPage& chat, Way way)
    {
        std::shared_ptr<ZV_LoginViewVC> login = tapJoinSignedOut(chat);
        ASSERT_TRUE(login);
        if (way == Way::login)
            logIn(*login);
        else
            registerFrom(*login);
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(waitFor([] { return storedToken().has_value(); }));
        settle();
        ASSERT_FALSE(chat.page->presentedViewController());
    }

    // The account of the token, as the room knows it.
    static std::int64_t signedInID()
    {
        std::optional<nlohmann::json> profile = accounts().profileForToken(storedToken().value_or(""));
        return profile ? profile->value("id", std::int64_t(0)) : 0;
    }

    // The user ids of the sign-ins the room got.
    static std::vector<std::int64_t> signInIDs()
    {
        std::vector<std::int64_t> ids;
        for (const testserver::ChatFrame& frame : chatRoom().received()) {
            SignInInput input;
            if (frame.input && frame.input->type() == PT_SIGN_IN
                && input.ParseFromString(frame.input->data()))
                ids.push_back(input.user_id());
        }
        return ids;
    }
};

}

TEST_F(ChatJoinAfterSignInTest, JoinAfterSigningInFromTheChatTabJoinsAtOnce)
{
    LoadedChatPage chat(api());
    openSignedOut(chat);
    for (Way way : { Way::login, Way::registration }) {
        SCOPED_TRACE(way == Way::login ? "login" : "registration");
        signIn(chat, way);
        if (HasFatalFailure())
            return;

        ASSERT_TRUE(tap(*chat.page->zv_inputView()->joinBtn()));
        ASSERT_TRUE(waitFor([&] { return chat.joined(); }));
        EXPECT_TRUE(chat.tool->isSignIn());
        EXPECT_TRUE(chat.page->zv_inputView()->joinView()->isHidden());
        EXPECT_EQ(signInIDs(), std::vector<std::int64_t> { signedInID() });

        // Signed out on another screen, back at the join button for the other way.
        StoreData::remove(StoreData::access_token);
        ConfigSingleton::shared().zv_userInfoModel.reset();
        NotificationCenter::defaultCenter().post("logoutSuccess");
        QMUITips::hideAllTips();
        chatRoom().clearReceived();
        ASSERT_FALSE(chat.page->zv_inputView()->joinView()->isHidden());
    }
}

// The tap may come before the profile that the sign-in asked for: it waits for it, once.
TEST_F(ChatJoinAfterSignInTest, AJoinBeforeTheProfileComesJoinsWhenItComes)
{
    LoadedChatPage chat(api());
    openSignedOut(chat);
    api().setDelay("v1/user/info", std::chrono::milliseconds(3000));
    signIn(chat, Way::login);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_FALSE(ConfigSingleton::shared().zv_userInfoModel);

    ASSERT_TRUE(tap(*chat.page->zv_inputView()->joinBtn()));
    ASSERT_TRUE(waitFor([&] { return chat.joined(); }));
    EXPECT_EQ(signInIDs(), std::vector<std::int64_t> { signedInID() });
    EXPECT_EQ(api().recordsTo("v1/user/info").size(), 1u);
}

// A profile asked for at one sign-in and answered after a sign-out and a sign-in as another
// account is the old account's: the socket must not sign in with its id.
TEST_F(ChatJoinAfterSignInTest, AProfileOfAnEarlierSignInIsDropped)
{
    std::optional<std::string> first = registerByPhone(freshPhone(), "chat pass");
    std::optional<std::string> second = registerByPhone(freshPhone(), "chat pass");
    ASSERT_TRUE(first && second);
    LoadedChatPage chat(api());
    openSignedOut(chat);
    api().setDelay("v1/user/info", std::chrono::milliseconds(1000));
    setToken(*first);
    NotificationCenter::defaultCenter().post("loginSuccess");
    StoreData::remove(StoreData::access_token);
    NotificationCenter::defaultCenter().post("logoutSuccess");
    setToken(*second);
    NotificationCenter::defaultCenter().post("loginSuccess");

    ASSERT_TRUE(waitFor([] { return ConfigSingleton::shared().zv_userInfoModel != nullptr; }));
    EXPECT_EQ(ConfigSingleton::shared().zv_userInfoModel->id, std::to_string(signedInID()));
    ASSERT_TRUE(tap(*chat.page->zv_inputView()->joinBtn()));
    ASSERT_TRUE(waitFor([&] { return chat.joined(); }));
    EXPECT_EQ(signInIDs(), std::vector<std::int64_t> { signedInID() });
}
