#include "platform/ui/QMUITips.h"
#include "tests/platform/ui/ControllerTestSupport.h"

#include <gtest/gtest.h>

namespace {

class Tips : public uitest::ControllerTest { };

class WindowDelegate : public UIApplicationDelegate {
public:
    std::shared_ptr<UIWindow> mainWindow;
    std::shared_ptr<UIWindow> window() const override { return mainWindow; }
};

}

TEST_F(Tips, LoadingStaysUntilEveryTipIsHidden)
{
    auto page = UIView::create(CGRect { 0, 0, 200, 300 });
    window->addSubview(page);
    auto loading = QMUITips::showLoadingInView(page);
    ASSERT_TRUE(loading);
    auto toast = QMUITips::showWithText("网络异常");
    advance(0.5);
    auto tips = QMUITips::visibleTips();
    ASSERT_EQ(tips.size(), 2u);
    EXPECT_EQ(tips[0].kind, QMUITips::Kind::loading);
    EXPECT_EQ(tips[0].parentView, page);
    EXPECT_EQ(tips[1].kind, QMUITips::Kind::text);
    EXPECT_EQ(tips[1].text, "网络异常");
    EXPECT_EQ(tips[1].parentView, window);

    // The tip covers its view, the box sits in the middle, and touches pass through.
    EXPECT_EQ(loading->frame(), page->bounds());
    EXPECT_EQ(loading->subviews().front()->center(), (CGPoint { 100, 150 }));
    EXPECT_EQ(window->hitTest({ 100, 150 }), page);

    advance(60);
    ASSERT_EQ(QMUITips::visibleTips().size(), 1u);
    EXPECT_TRUE(loading->isShowing());
    QMUITips::hideAllTips();
    EXPECT_TRUE(QMUITips::visibleTips().empty());
    EXPECT_EQ(loading->superview(), nullptr);
    EXPECT_EQ(toast->superview(), nullptr);
}

TEST_F(Tips, MessagesHideAfterADelayThatGrowsWithTheText)
{
    EXPECT_EQ(QMUITips::automaticHideDelay(""), 1.5);
    EXPECT_EQ(QMUITips::automaticHideDelay(std::string(20, 'a')), 1.5);
    EXPECT_EQ(QMUITips::automaticHideDelay(std::string(21, 'a')), 2.0);
    // Each Chinese character counts twice: 11 of them are 22 units.
    EXPECT_EQ(QMUITips::automaticHideDelay("一二三四五六七八九十"), 1.5);
    EXPECT_EQ(QMUITips::automaticHideDelay("一二三四五六七八九十一"), 2.0);
    EXPECT_EQ(QMUITips::automaticHideDelay(std::string(50, 'a')), 2.5);
    EXPECT_EQ(QMUITips::automaticHideDelay(std::string(51, 'a')), 3.0);

    QMUITips::showSucceed("登录成功！");
    QMUITips::showError(std::string(30, 'e'));
    advance(1.4);
    ASSERT_EQ(QMUITips::visibleTips().size(), 2u);
    EXPECT_EQ(QMUITips::visibleTips()[0].kind, QMUITips::Kind::success);
    EXPECT_EQ(QMUITips::visibleTips()[1].kind, QMUITips::Kind::error);
    advance(0.2);
    ASSERT_EQ(QMUITips::visibleTips().size(), 1u);
    EXPECT_EQ(QMUITips::visibleTips()[0].kind, QMUITips::Kind::error);
    advance(0.5);
    EXPECT_TRUE(QMUITips::visibleTips().empty());

    auto page = UIView::create(CGRect { 0, 0, 100, 100 });
    window->addSubview(page);
    QMUITips::showWithText("已复制分享链接", page, 5);
    QMUITips::showInfo("验证码错误", page);
    advance(4.9);
    ASSERT_EQ(QMUITips::visibleTips().size(), 1u);
    EXPECT_EQ(QMUITips::visibleTips()[0].text, "已复制分享链接");
    advance(0.2);
    EXPECT_TRUE(QMUITips::visibleTips().empty());
}

TEST_F(Tips, DefaultParentIsTheDelegateWindowElseTheKeyWindowElseNothing)
{
    auto delegate = std::make_shared<WindowDelegate>();
    delegate->mainWindow = std::make_shared<UIWindow>();
    UIApplication::shared().setDelegate(delegate);
    auto tip = QMUITips::showWithText("a");
    ASSERT_TRUE(tip);
    EXPECT_EQ(tip->superview(), delegate->mainWindow);
    QMUITips::hideAllTips();

    UIApplication::shared().setDelegate(nullptr);
    window->setHidden(true);
    EXPECT_EQ(UIApplication::shared().keyWindow(), nullptr);
    EXPECT_EQ(QMUITips::showWithText("b"), nullptr);
    EXPECT_EQ(QMUITips::showLoadingInView(nullptr), nullptr);
    EXPECT_TRUE(QMUITips::visibleTips().empty());
}
