// The system's own controls (alerts, action sheets, the share sheet, navigation bars) draw their
// blue, red and grey texts in shades that read on their surfaces, in the light and the dark style.

#include "platform/ui/Renderer.h"
#include "platform/ui/UIAlertController.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/device/ContrastAudit.h"
#include "platform/ui/sharing/UIActivityViewController.h"
#include "tests/platform/ui/ControllerTestSupport.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace {

class SystemColors : public uitest::ControllerTest {
protected:
    // Every text and icon that the screen shows now, in the style given to the window.
    std::vector<ContrastFinding> measureIn(UIUserInterfaceStyle style)
    {
        window->setOverrideUserInterfaceStyle(style);
        window->setBackgroundColor(UIColor::systemBackground());
        window->layoutIfNeeded();
        return ContrastAudit::measureScreen(Renderer::renderScreen());
    }
};

struct Screen {
    const char* name;
    // The texts it must show, to be sure that they were measured.
    std::vector<std::string> texts;
    // Puts it on the window's root controller.
    std::function<void(const std::shared_ptr<UIViewController>&)> show;
};

}

TEST_F(SystemColors, AlertsSheetsAndBarButtonsReadInBothStyles)
{
    const Screen screens[] = {
        { "alert", { "确定", "删除", "取消" },
            [](const std::shared_ptr<UIViewController>& root) {
                auto alert = UIAlertController::make("请输入访问码", "", UIAlertControllerStyle::alert);
                alert->addAction(UIAlertAction::make("取消", UIAlertActionStyle::cancel));
                alert->addAction(UIAlertAction::make("删除", UIAlertActionStyle::destructive));
                alert->addAction(UIAlertAction::make("确定", UIAlertActionStyle::defaultStyle));
                root->present(alert, false);
            } },
        { "action sheet", { "上传头像", "拍照", "取消" },
            [](const std::shared_ptr<UIViewController>& root) {
                auto sheet = UIAlertController::make("上传头像", "", UIAlertControllerStyle::actionSheet);
                sheet->addAction(UIAlertAction::make("拍照", UIAlertActionStyle::defaultStyle));
                sheet->addAction(UIAlertAction::make("取消", UIAlertActionStyle::cancel));
                root->present(sheet, false);
            } },
        { "share sheet", {},
            [](const std::shared_ptr<UIViewController>& root) {
                auto share = std::make_shared<UIActivityViewController>(
                    std::vector<UIActivityItem> { std::string("https://example.org/down/40618") });
                root->present(share, false);
            } },
        { "navigation bar", { "个人资料" },
            [](const std::shared_ptr<UIViewController>& root) {
                auto first = std::make_shared<UIViewController>();
                first->setTitle("个人资料");
                auto nav = std::make_shared<UINavigationController>(first);
                nav->pushViewController(std::make_shared<UIViewController>(), false);
                root->present(nav, false);
            } },
    };
    for (UIUserInterfaceStyle style : { UIUserInterfaceStyle::light, UIUserInterfaceStyle::dark }) {
        for (const Screen& screen : screens) {
            SCOPED_TRACE(
                std::string(screen.name) + (style == UIUserInterfaceStyle::dark ? ", dark" : ", light"));
            auto root = std::make_shared<UIViewController>();
            window->setRootViewController(root);
            drain();
            screen.show(root);
            advance(1);
            std::vector<ContrastFinding> findings = measureIn(style);
            EXPECT_FALSE(findings.empty());
            for (const std::string& text : screen.texts)
                EXPECT_TRUE(std::any_of(findings.begin(), findings.end(), [&](const ContrastFinding& f) {
                    return f.subject == text;
                })) << text;
            for (const ContrastFinding& finding : findings)
                EXPECT_TRUE(finding.passes()) << finding.description();
            if (auto presented = root->presentedViewController())
                presented->dismiss(false);
            drain();
        }
    }
}
