#pragma once

// A fresh configuration, theme manager and defaults per test, with the app's templates registered.

#include "app/Theme/QDUIHelper.h"
#include "app/Theme/ZVThemeConfiguration.h"
#include "platform/foundation/AppContainer.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/gestures/UIEventDispatcher.h"
#include "platform/ui/qmui/QMUIConfiguration.h"
#include "platform/ui/qmui/QMUIThemeManager.h"
#include "tests/support/MainLoopTest.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace zvtest {

inline UIColor rgb(int r, int g, int b)
{
    return UIColor(r / 255.0, g / 255.0, b / 255.0, 1);
}

inline void expectColour(const UIColor::RGBA& actual, const UIColor& expected, double tolerance = 1.5 / 255)
{
    auto e = expected.rgba();
    EXPECT_NEAR(actual.red, e.red, tolerance);
    EXPECT_NEAR(actual.green, e.green, tolerance);
    EXPECT_NEAR(actual.blue, e.blue, tolerance);
}

// The most opaque pixel of a drawn shape: its ink.
inline UIColor::RGBA ink(const UIImage& image)
{
    UIColor::RGBA best {};
    for (int y = 0; y < image.pixelHeight(); ++y) {
        for (int x = 0; x < image.pixelWidth(); ++x) {
            auto p = image.pixel(x, y);
            if (p.alpha > best.alpha)
                best = p;
        }
    }
    return best;
}

class ThemeTest : public MainLoopTest {
protected:
    void SetUp() override
    {
        MainLoopTest::SetUp();
        AppContainer::setHome(m_home.path());
        UserDefaults::resetStandardForTesting();
        QMUIConfiguration::resetForTesting();
        QMUIThemeManagerCenter::resetForTesting();
        UIApplication::shared().resetForTesting();
        UIScreen::main().resetForTesting();
        UIEventDispatcher::shared().resetForTesting();
        QDUIHelper::registerAppearance();
    }

    void TearDown() override
    {
        if (window)
            window->setRootViewController(nullptr);
        drain();
        window.reset();
        ZVThemeConfiguration::share().resetForTesting();
        QMUIThemeManagerCenter::resetForTesting();
        QMUIConfiguration::resetForTesting();
        UIApplication::shared().resetForTesting();
        UserDefaults::resetStandardForTesting();
        AppContainer::setHome({});
        MainLoopTest::TearDown();
    }

    static void storeTheme(const char* identifier)
    {
        UserDefaults::standard().set(PropertyList(std::string(identifier)), "selectedThemeIdentifier");
    }

    void show(std::shared_ptr<UIViewController> root)
    {
        window = std::make_shared<UIWindow>();
        window->makeKeyAndVisible();
        window->setRootViewController(std::move(root));
        drain();
    }

    TempDir m_home;
    std::shared_ptr<UIWindow> window;
};

}
