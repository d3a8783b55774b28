// A signed-out viewer on the chat tab: 加入聊天 brings the login stack, the viewer signs in or
// registers there, the stack goes, and the next tap on 加入聊天 joins the room, with no other tab
// ever loaded to fetch the profile that the socket signs in with.

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
#include "tests/app/support/ReplyGate.h"

#include <gtest/gtest.h>
#include <optional>

using namespace zvtest;

namespace {

class ChatJoinAfterSignInTest : public AccountScreenTest {
protected:
    // The chat page on screen, signed out, its history in.
    void openSignedOut(LoadedChatPage& chat)
    {
        ASSERT_FALSE(storedToken());
        ASSERT_FALSE(ConfigSingleton::shared().zv_userInfoModel);
        push(chat.page);
        ASSERT_TRUE(waitFor([&] { return chat.loaded(); }));
    }

    // 加入聊天 tapped signed out brings the login page over the chat page, nothing connected; an
    // account signs in there by login, or by a registration by phone, and the stack goes.
    void signInFromJoin(LoadedChatPage& chat, bool registering)
    {
        ASSERT_TRUE(tap(*chat.page->zv_inputView()->joinBtn()));
        settle();
        EXPECT_FALSE(chat.tool->socket());
        auto stack = std::dynamic_pointer_cast<UINavigationController>(chat.page->presentedViewController());
        auto login = stack ? std::dynamic_pointer_cast<ZV_LoginViewVC>(stack->topViewController()) : nullptr;
        ASSERT_TRUE(login);
        std::string phone = freshPhone();
        if (registering) {
            registerFrom(*login, phone);
        } else {
            ASSERT_TRUE(registerByPhone(phone, "chat pass"));
            type(*login->zv_accountField(), phone);
            type(*login->zv_passwdField(), "chat pass");
            ASSERT_TRUE(tap(*login->zv_loginBtn()));
            ASSERT_TRUE(passCaptcha());
        }
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(waitFor([] { return storedToken().has_value(); }));
        settle();
        ASSERT_FALSE(chat.page->presentedViewController());
    }

    void registerFrom(ZV_LoginViewVC& login, const std::string& phone)
    {
        ASSERT_TRUE(tap(*login.zv_registerBtn()));
        settle();
        auto page
            = std::dynamic_pointer_cast<ZV_RegisterViewVC>(login.navigationController()->topViewController());
        ASSERT_TRUE(page);
        ASSERT_TRUE(tap(*page->zv_phoneTypeView()));
        settle();
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

    // The account of the stored token, as the room knows it.
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

// The tap may come before the profile that the sign-in asked for: it waits for it, and asks for
// it no second time.
TEST_F(ChatJoinAfterSignInTest, JoinAfterSigningInFromTheChatTabJoinsOnceTheProfileIsIn)
{
    LoadedChatPage chat(api());
    openSignedOut(chat);
    struct Case {
        const char* what;
        bool registering;
        bool slowProfile; // its reply held until after the tap
    };
    for (const Case& c : { Case { "login", false, false }, Case { "registration", true, false },
             Case { "a slow profile", false, true } }) {
        SCOPED_TRACE(c.what);
        std::optional<ReplyGate> profileReply;
        if (c.slowProfile)
            profileReply.emplace(api(), "v1/user/info");
        std::size_t profileCalls = api().recordsTo("v1/user/info").size();
        signInFromJoin(chat, c.registering);
        ASSERT_FALSE(HasFatalFailure());
        // Fetched at the sign-in; when it is slow the tap comes before it.
        if (c.slowProfile) {
            ASSERT_TRUE(waitFor([&] { return profileReply->reached(); }));
            ASSERT_FALSE(ConfigSingleton::shared().zv_userInfoModel);
        } else {
            ASSERT_TRUE(waitFor([] { return ConfigSingleton::shared().zv_userInfoModel != nullptr; }));
        }

        ASSERT_TRUE(tap(*chat.page->zv_inputView()->joinBtn()));
        if (profileReply)
            profileReply->open();
        ASSERT_TRUE(waitFor([&] { return chat.joined(); }));
        EXPECT_TRUE(chat.page->zv_inputView()->joinView()->isHidden());
        EXPECT_EQ(signInIDs(), std::vector<std::int64_t> { signedInID() });
        EXPECT_EQ(api().recordsTo("v1/user/info").size(), profileCalls + 1);

        // Signed out on another screen, back at the join button for the next case.
        StoreData::remove(StoreData::access_token);
        ConfigSingleton::shared().zv_userInfoModel.reset();
        NotificationCenter::defaultCenter().post("logoutSuccess");
        QMUITips::hideAllTips();
        chatRoom().clearReceived();
        ASSERT_FALSE(chat.page->zv_inputView()->joinView()->isHidden());
    }
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
