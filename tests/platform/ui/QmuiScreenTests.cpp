#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/qmui/QMUICommonViewController.h"
#include "platform/ui/qmui/QMUIConfiguration.h"
#include "platform/ui/qmui/QMUIKitExtensions.h"
#include "platform/ui/qmui/QMUINavigationController.h"
#include "tests/platform/ui/ControllerTestSupport.h"

#include <gtest/gtest.h>

namespace {

class QmuiScreen : public uitest::ControllerTest {
protected:
    void TearDown() override
    {
        QMUIConfiguration::resetForTesting();
        uitest::ControllerTest::TearDown();
    }
};

class Screen : public QMUICommonViewController {
public:
    explicit Screen(uitest::Journal journal = uitest::makeJournal())
        : m_journal(std::move(journal))
    { }

    std::optional<bool> hidesBar;
    std::optional<UIImage> barBackground;
    std::optional<UIColor> titleColour;

    void viewDidLoad() override
    {
        m_journal->push_back("viewDidLoad");
        QMUICommonViewController::viewDidLoad();
        m_journal->push_back(emptyView() ? "emptyView" : "noEmptyView");
    }
    void initSubviews() override { m_journal->push_back("initSubviews"); }
    void setupNavigationItems() override { m_journal->push_back("setupNavigationItems"); }

    std::optional<bool> preferredNavigationBarHidden() const override { return hidesBar; }
    std::optional<UIImage> qmui_navigationBarBackgroundImage() const override { return barBackground; }
    std::optional<UIColor> qmui_titleViewTintColor() const override { return titleColour; }

private:
    uitest::Journal m_journal;
};

// Answers the bar background for screens without their own answer.
class OpaqueNavigationController : public QMUINavigationController {
public:
    using QMUINavigationController::QMUINavigationController;
    UIImage background = qmui_imageWithColor(UIColor::white());
    std::optional<UIImage> qmui_navigationBarBackgroundImage() const override { return background; }
};

}

TEST_F(QmuiScreen, HooksRunInOrderAndTheEmptyViewExistsOnceTheViewHasLoaded)
{
    auto journal = uitest::makeJournal();
    auto screen = std::make_shared<Screen>(journal);
    EXPECT_EQ(screen->emptyView(), nullptr);
    window->setRootViewController(screen);
    drain();
    EXPECT_EQ(*journal,
        (std::vector<std::string> { "viewDidLoad", "initSubviews", "emptyView", "setupNavigationItems" }));
    EXPECT_FALSE(screen->isEmptyViewShowing());
    EXPECT_EQ(screen->supportedInterfaceOrientations(),
        QMUIConfiguration::sharedInstance().supportedOrientationMask);
}

TEST_F(QmuiScreen, EmptyViewCoversTheScreenStacksItsPartsAndRunsItsButton)
{
    auto screen = std::make_shared<Screen>();
    window->setRootViewController(screen);
    drain();
    auto cover = UIView::create(CGRect { 0, 0, 390, 844 });
    screen->view()->addSubview(cover);

    // As the app's base screen configures it: text and image, no indicator, no touches.
    auto empty = screen->emptyView();
    empty->setTextLabelText("这里什么都没有...");
    empty->setLoadingViewHidden(true);
    empty->setUserInteractionEnabled(false);
    empty->setImage(UIImage::filled(UIColor::gray(), { 120, 100 }));
    empty->setImageViewInsets({ 0, 0, 8, 0 });
    screen->showEmptyView();
    EXPECT_TRUE(screen->isEmptyViewShowing());
    EXPECT_EQ(empty->superview(), screen->view());
    EXPECT_EQ(screen->view()->subviews().back(), empty);
    EXPECT_EQ(empty->frame(), screen->view()->bounds());
    window->layoutIfNeeded();
    CGRect image = empty->imageView()->convert(empty->imageView()->bounds(), empty.get());
    CGRect text = empty->textLabel()->convert(empty->textLabel()->bounds(), empty.get());
    EXPECT_FALSE(empty->imageView()->isHidden());
    EXPECT_TRUE(empty->actionButton()->isHidden());
    EXPECT_TRUE(empty->detailTextLabel()->isHidden());
    EXPECT_EQ(image.size, (CGSize { 120, 100 }));
    EXPECT_EQ(image.midX(), 195);
    EXPECT_EQ(text.minY(), image.maxY() + 8);
    // The stack is centred, 30 points above the middle.
    CGFloat stackHeight = empty->sizeThatFits({ 390, 0 }).height;
    EXPECT_EQ(image.minY(), std::floor((844 - stackHeight) / 2 - 30));

    // Resizing the screen's view keeps the empty view over all of it.
    screen->view()->setFrame({ 0, 0, 390, 600 });
    screen->view()->layoutIfNeeded();
    EXPECT_EQ(empty->frame(), (CGRect { 0, 0, 390, 600 }));

    screen->hideEmptyView();
    EXPECT_FALSE(screen->isEmptyViewShowing());
    EXPECT_EQ(empty->superview(), nullptr);

    // Every part at once, with a button that works.
    int retries = 0;
    screen->showEmptyView(std::nullopt, "加载失败", "请检查网络", "重试", [&] { ++retries; });
    empty->setUserInteractionEnabled(true);
    window->layoutIfNeeded();
    EXPECT_TRUE(empty->loadingView()->isHidden());
    EXPECT_TRUE(empty->imageView()->isHidden());
    EXPECT_FALSE(empty->detailTextLabel()->isHidden());
    EXPECT_FALSE(empty->actionButton()->isHidden());
    TouchDriver touch;
    ASSERT_TRUE(touch.tapText("重试"));
    EXPECT_EQ(retries, 1);
    // The tap on the text does not run it.
    ASSERT_TRUE(touch.tapText("加载失败"));
    EXPECT_EQ(retries, 1);

    // Loading only.
    screen->showEmptyViewWithLoading();
    window->layoutIfNeeded();
    EXPECT_FALSE(empty->loadingView()->isHidden());
    EXPECT_TRUE(empty->loadingView()->isAnimating());
    EXPECT_TRUE(empty->textLabel()->isHidden());
    EXPECT_TRUE(empty->actionButton()->isHidden());
    EXPECT_EQ(screen->view()->subviews().back(), empty);
}

TEST_F(QmuiScreen, NavigationBarFollowsTheTopScreenThenTheControllerThenTheConfiguration)
{
    auto& config = QMUIConfiguration::sharedInstance();
    config.navBarTitleColor = UIColor::black();
    config.navBarTitleFont = UIFont::systemFont(18);
    config.navBarShadowImageColor = UIColor::clear();

    auto root = std::make_shared<Screen>();
    auto nav = std::make_shared<OpaqueNavigationController>(root);
    window->setRootViewController(nav);
    drain();
    UINavigationBar& bar = nav->navigationBar();
    EXPECT_FALSE(nav->isNavigationBarHidden());
    EXPECT_EQ(bar.backgroundImage(), nav->background);
    EXPECT_EQ(bar.titleTextAttributes().foregroundColor, UIColor::black());
    EXPECT_EQ(bar.titleTextAttributes().font, UIFont::systemFont(18));
    ASSERT_TRUE(bar.shadowImage());
    EXPECT_EQ(bar.shadowImage()->pixel(0, 0).alpha, 0);

    // A transparent login-like screen with its own title colour and a screen that hides the bar.
    auto clear = std::make_shared<Screen>();
    clear->barBackground = qmui_imageWithColor(UIColor::clear());
    clear->titleColour = UIColor::white();
    nav->pushViewController(clear, true);
    EXPECT_EQ(bar.backgroundImage(), clear->barBackground);
    EXPECT_EQ(bar.titleTextAttributes().foregroundColor, UIColor::white());
    advance(1);

    auto fullScreen = std::make_shared<Screen>();
    fullScreen->hidesBar = true;
    nav->pushViewController(fullScreen, false);
    drain();
    EXPECT_TRUE(nav->isNavigationBarHidden());
    EXPECT_TRUE(bar.isHidden());

    nav->popViewController(false);
    drain();
    EXPECT_FALSE(nav->isNavigationBarHidden());
    EXPECT_EQ(bar.backgroundImage(), clear->barBackground);
    nav->popViewController(false);
    drain();
    EXPECT_EQ(bar.backgroundImage(), nav->background);
    EXPECT_EQ(bar.titleTextAttributes().foregroundColor, UIColor::black());

    // A screen that changes its mind asks for the bar again.
    root->barBackground = qmui_imageWithColor(UIColor::red());
    nav->updateNavigationBarAppearance();
    EXPECT_EQ(bar.backgroundImage(), root->barBackground);

    // A plain navigation controller falls back to the configuration.
    auto plain = std::make_shared<QMUINavigationController>(UIViewController::create());
    config.navBarBackgroundImage = qmui_imageWithColor(UIColor::blue());
    plain->loadViewIfNeeded();
    plain->viewControllers();
    EXPECT_EQ(plain->navigationBar().backgroundImage(), config.navBarBackgroundImage);
}
