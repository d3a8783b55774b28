#pragma once

#include "platform/ui/UIApplication.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIKeyboard.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/gestures/UIEventDispatcher.h"
#include "tests/support/MainLoopTest.h"

#include <memory>

namespace zvtest {

// A key window on the default screen, the virtual clock, and a touch driver; every process-wide
// piece of the touch and keyboard machinery starts clean.
class WindowTest : public MainLoopTest {
protected:
    void SetUp() override
    {
        MainLoopTest::SetUp();
        UIApplication::shared().resetForTesting();
        UIScreen::main().resetForTesting();
        UIEventDispatcher::shared().resetForTesting();
        UIKeyboard::shared().resetForTesting();
        window = std::make_shared<UIWindow>();
        window->makeKeyAndVisible();
    }
    void TearDown() override
    {
        if (auto responder = UIResponder::currentFirstResponder())
            responder->resignFirstResponder();
        UIEventDispatcher::shared().resetForTesting();
        UIKeyboard::shared().resetForTesting();
        window.reset();
        UIApplication::shared().resetForTesting();
        MainLoopTest::TearDown();
    }

    template<typename T = UIView>
    std::shared_ptr<T> add(CGRect frame, const std::shared_ptr<UIView>& parent = nullptr)
    {
        auto view = std::make_shared<T>();
        view->setFrame(frame);
        (parent ? parent : std::static_pointer_cast<UIView>(window))->addSubview(view);
        return view;
    }

    std::shared_ptr<UIWindow> window;
    TouchDriver driver;
};

}
