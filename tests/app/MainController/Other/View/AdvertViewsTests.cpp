#include "app/Core/Config/ConfigSingleton.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Other/View/ZV_AdvertCollCell.h"
#include "app/MainController/Other/View/ZV_AdvertView.h"
#include "app/MainController/Other/View/ZV_HomeAdvertAlertView.h"
#include "platform/ui/SFSafariViewController.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIViewController.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/layout/UIViewLayout.h"
#include "tests/support/MainLoopTest.h"

#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

class WindowDelegate : public UIApplicationDelegate {
public:
    std::shared_ptr<UIWindow> mainWindow;
    std::shared_ptr<UIWindow> window() const override { return mainWindow; }
};

ZV_AdvertModel advert(std::string image, std::string url)
{
    ZV_AdvertModel model;
    model.data.image = std::move(image);
    model.data.url = std::move(url);
    return model;
}

void setPopup(std::optional<ZV_AdvertModel> popup)
{
    if (!popup) {
        ConfigSingleton::shared().advertConfigModel = nullptr;
        return;
    }
    auto config = std::make_shared<ZV_AdvertConfigModel>();
    config->index_popup = *popup;
    config->user_index = *popup;
    ConfigSingleton::shared().advertConfigModel = config;
}

// A key window over a plain screen, as the home tab has it.
class AdvertViewsTest : public zvtest::MainLoopTest {
protected:
    void SetUp() override
    {
        zvtest::MainLoopTest::SetUp();
        UIApplication::shared().resetForTesting();
        root = UIViewController::create();
        window = std::make_shared<UIWindow>();
        window->setRootViewController(root);
        window->makeKeyAndVisible();
        delegate = std::make_shared<WindowDelegate>();
        delegate->mainWindow = window;
        UIApplication::shared().setDelegate(delegate);
        drain();
    }
    void TearDown() override
    {
        ConfigSingleton::shared().advertConfigModel = nullptr;
        window->setRootViewController(nullptr);
        drain();
        UIApplication::shared().resetForTesting();
        zvtest::MainLoopTest::TearDown();
    }

    std::shared_ptr<ZV_HomeAdvertAlertView> shownPopup() const
    {
        for (const auto& view : window->subviews()) {
            if (auto popup = std::dynamic_pointer_cast<ZV_HomeAdvertAlertView>(view))
                return popup;
        }
        return nullptr;
    }

    std::shared_ptr<UIViewController> root;
    std::shared_ptr<UIWindow> window;
    std::shared_ptr<WindowDelegate> delegate;
};

TEST_F(AdvertViewsTest, PopupShowsOnlyForAPlacementWithAPicture)
{
    ZV_HomeAdvertAlertView::show({});
    EXPECT_FALSE(shownPopup());
    setPopup(advert("", "https://example.com/"));
    ZV_HomeAdvertAlertView::show({});
    EXPECT_FALSE(shownPopup());

    // Present even with an address that does not parse: the placeholder shows.
    setPopup(advert("不是地址", "https://example.com/"));
    ZV_HomeAdvertAlertView::show({});
    auto popup = shownPopup();
    ASSERT_TRUE(popup);
    EXPECT_EQ(popup->frame(), window->bounds());
    EXPECT_EQ(window->subviews().back(), popup);
    ASSERT_TRUE(popup->imageView()->image());
    EXPECT_EQ(popup->imageView()->image()->pixelWidth(), placeholderImage()->pixelWidth());

    window->layoutIfNeeded();
    CGRect picture = popup->imageView()->convert(popup->imageView()->bounds(), window.get());
    EXPECT_EQ(picture.size, (CGSize { 280, 340 }));
    EXPECT_DOUBLE_EQ(picture.midX(), window->bounds().midX());
    CGRect close = popup->closeBtn()->convert(popup->closeBtn()->bounds(), window.get());
    EXPECT_DOUBLE_EQ(close.minY() - picture.maxY(), 16);

    // Only the close button and the picture close it; the dimmed background does not.
    TouchDriver touches;
    EXPECT_TRUE(touches.tap({ 10, 10 }));
    EXPECT_TRUE(shownPopup());
    EXPECT_TRUE(touches.tapView(*popup->closeBtn()));
    EXPECT_FALSE(shownPopup());
}

TEST_F(AdvertViewsTest, PictureTapHandsOverTheLinkOfThatMomentAndCloses)
{
    setPopup(advert("https://img.example.com/pop.png", "https://old.example.com/"));
    std::vector<std::string> links;
    ZV_HomeAdvertAlertView::show([&](const std::string& url) { links.push_back(url); });
    auto popup = shownPopup();
    ASSERT_TRUE(popup);
    setPopup(advert("https://img.example.com/pop.png", "https://new.example.com/"));

    TouchDriver touches;
    EXPECT_TRUE(touches.tapView(*popup->imageView()));
    EXPECT_EQ(links, std::vector<std::string> { "https://new.example.com/" });
    EXPECT_FALSE(shownPopup());

    // Without a block, a tap only closes it; with the configuration gone the link is empty.
    ZV_HomeAdvertAlertView::show({});
    ASSERT_TRUE(shownPopup());
    EXPECT_TRUE(touches.tapView(*shownPopup()->imageView()));
    EXPECT_FALSE(shownPopup());
    ZV_HomeAdvertAlertView::show([&](const std::string& url) { links.push_back(url); });
    setPopup(std::nullopt);
    EXPECT_TRUE(touches.tapView(*shownPopup()->imageView()));
    EXPECT_EQ(links.back(), "");
}

TEST_F(AdvertViewsTest, OwnerTapOpensOnlyWebLinksOfTheCurrentConfiguration)
{
    for (const char* bad :
        { "", "javascript:alert(1)", "ftp://example.com/a", "example.com/page", "not a link" }) {
        setPopup(advert("https://img.example.com/a.png", bad));
        EXPECT_FALSE(ZV_AdvertView::openLink(*root, &ZV_AdvertConfigModel::user_index)) << bad;
        EXPECT_FALSE(root->presentedViewController()) << bad;
    }
    setPopup(std::nullopt);
    EXPECT_FALSE(ZV_AdvertView::openLink(*root, &ZV_AdvertConfigModel::user_index));

    setPopup(advert("https://img.example.com/a.png", "https://shop.example.com/deal?id=3"));
    EXPECT_TRUE(ZV_AdvertView::openLink(*root, &ZV_AdvertConfigModel::user_index));
    auto browser = std::dynamic_pointer_cast<SFSafariViewController>(root->presentedViewController());
    ASSERT_TRUE(browser);
    EXPECT_EQ(browser->url(), "https://shop.example.com/deal?id=3");
}

TEST_F(AdvertViewsTest, AdvertViewFallsBackToThePlaceholderAndTheCellCanTakeAFixedSize)
{
    auto view = ZV_AdvertView::make({ 0, 0, 300, 100 });
    view->setModel(std::nullopt);
    ASSERT_TRUE(view->zv_imageView()->image());
    view->zv_imageView()->setImage(std::nullopt);
    view->setModel(advert("", "https://example.com/"));
    EXPECT_TRUE(view->zv_imageView()->image());

    auto cell = std::make_shared<ZV_AdvertCollCell>(CGRect { 0, 0, 200, 50 });
    cell->setModel(advert("https://img.example.com/b.png", ""));
    EXPECT_EQ(cell->zv_advertView()->model()->data.image, "https://img.example.com/b.png");
    cell->layoutIfNeeded();
    EXPECT_EQ(cell->zv_advertView()->frame().size, (CGSize { 200, 50 }));

    cell->setAutomaticSize(true);
    CGSize fitted = systemLayoutSizeFitting(*cell->contentView(), { 1000, 1000 });
    const CGFloat width = screenWidth() - 48;
    EXPECT_DOUBLE_EQ(fitted.width, width);
    EXPECT_NEAR(fitted.height, width * 122 / 342, 1e-9);
}

}
