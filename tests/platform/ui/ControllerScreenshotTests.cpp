#include "platform/ui/Renderer.h"
#include "platform/ui/UIAlertController.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UINavigationController.h"
#include "tests/platform/ui/ControllerTestSupport.h"
#include "tests/platform/ui/GoldenImage.h"

#include <gtest/gtest.h>

namespace {

class ControllerScreenshot : public uitest::ControllerTest { };

class ListPage : public UIViewController {
public:
    void viewDidLoad() override
    {
        view()->setBackgroundColor(UIColor::systemBackground());
        setTitle("播放记录");
        auto row = UIView::create<UILabel>(CGRect { 24, 110, 342, 40 });
        row->setText("第 1 集  看到 12:30");
        row->setBackgroundColor(UIColor(0.97, 0.97, 0.97, 1));
        view()->addSubview(row);
        navigationItem().setRightBarButtonItem(UIBarButtonItem::withTitle("编辑"));
    }
};

}

TEST_F(ControllerScreenshot, NavigationStackWithTitleAndPresentedAlert)
{
    auto home = UIViewController::create();
    home->setTitle("我的");
    auto nav = std::make_shared<UINavigationController>(home);
    window->setRootViewController(nav);
    nav->pushViewController(std::make_shared<ListPage>(), false);
    drain();

    auto alert = UIAlertController::make("确认要删除吗？", "", UIAlertControllerStyle::alert);
    alert->addAction(UIAlertAction::make("取消", UIAlertActionStyle::cancel));
    alert->addAction(UIAlertAction::make("确认", UIAlertActionStyle::destructive));
    nav->topViewController()->present(alert, true);
    advance(0.35);

    EXPECT_TRUE(uitest::matchesGolden(Renderer::renderScreen(1), "controller_navigation_alert"));
}
