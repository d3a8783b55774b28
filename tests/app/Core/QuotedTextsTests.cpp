// The texts that the viewer (or the console) sees, exactly as written: the errors of the API
// client, the base screen's empty states, the launch screen's skip button, the photo-permission
// alert, the emotion names and the console lines that mark diagnostic events.

#include "app/BaseController/BaseViewController.h"
#include "app/Core/Helpers/WindowHelpers.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Core/Network/ZV_NetworkReply.h"
#include "app/MainController/Launch/ZV_LaunchVC.h"
#include "app/Theme/QDUIHelper.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/ui/UIAlertController.h"
#include "platform/ui/controls/UIButton.h"
#include "tests/platform/ui/ControllerTestSupport.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

std::string shown(const NSError& error)
{
    return error.domain + " " + std::to_string(error.code);
}

// The console lines written while `work` runs.
std::string consoleOf(const std::function<void()>& work)
{
    std::string lines;
    Log::setSink([&](std::string_view line) { lines += std::string(line); });
    work();
    Log::setSink({});
    return lines;
}

class QuotedTexts : public uitest::ControllerTest { };

TEST_F(QuotedTexts, AreShownAsWritten)
{
    auto screen = std::make_shared<BaseViewController>();
    window->setRootViewController(screen);
    window->layoutIfNeeded();
    auto emptyText = [&] { return screen->emptyView()->textLabel()->text(); };
    auto alert = [&]() -> std::shared_ptr<UIAlertController> {
        QDUIHelper::showAlertWhenSavedPhotoFailureByPermissionDenied();
        return std::dynamic_pointer_cast<UIAlertController>(screen->presentedViewController());
    }();
    ASSERT_TRUE(alert);
    const std::string app = Bundle::main().infoString("CFBundleDisplayName").value_or("?");

    struct Case {
        std::string text;
        std::function<std::string()> shown;
    };
    for (const Case& c : std::vector<Case> {
             { "网络错误 404", [] { return shown(ZV_NetworkReply::transportError()); } },
             { "网络异常 404",
                 [] { return shown(ZV_NetworkReply::dispatch(std::nullopt, "v1/app/config").error); } },
             { "网络异常 404",
                 [] {
                     return shown(ZV_NetworkReply::dispatch(JSON::parse("<html>"), "v1/app/config").error);
                 } },
             { "这里什么都没有...", emptyText },
             { "加载失败，点击重试",
                 [&] {
                     screen->showEmptyView(true, 2, "ignored");
                     return emptyText();
                 } },
             { "立即登录", [&] { return screen->loginBtn()->title(UIControlStateNormal).value_or(""); } },
             { "跳过广告 3",
                 [] {
                     auto launch = std::make_shared<ZV_LaunchVC>();
                     launch->updataSecond();
                     return launch->skipBtn()->title(UIControlStateNormal).value_or("");
                 } },
             { "无法保存", [&] { return alert->title(); } },
             { "请在设备的\"设置-隐私-照片\"选项中，允许" + app + "访问你的手机相册",
                 [&] { return alert->message(); } },
             { "我知道了", [&] { return alert->actions().at(0)->title(); } },
             { "emotion_01[微笑] emotion_02[开心] emotion_03[生气] emotion_04[委屈] emotion_05[亲亲] "
               "emotion_06[坏笑] emotion_07[鄙视] emotion_08[啊] ",
                 [] {
                     std::string all;
                     for (const auto& emotion : QDUIHelper::qmuiEmotions())
                         all += emotion->identifier() + emotion->displayName() + " ";
                     return all;
                 } },
             { "播放记录上报成功",
                 [] {
                     return consoleOf([] { ZV_Network::playReportCompletion(JSON::object(), std::nullopt); });
                 } },
             { "🌶： 找不到顶层控制器",
                 [] { return consoleOf([] { topViewController(nullptr); }); } },
         }) {
        EXPECT_EQ(c.shown(), c.text);
    }
}

}
