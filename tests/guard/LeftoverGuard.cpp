// Fails any test that leaves a visible window, a modal presentation, a presented controller or a
// notification observer behind, names what was left, and clears it, so that the next test (in
// any order, in the same process) starts from nothing. Linked straight into the test programs
// that draw: the listener registers itself when the program starts.
//
// It runs after the fixture has torn down and been destroyed: whatever is still up then outlives
// the test. Observers count when they were added during the test with an owner and are still
// there; process-long objects observe without an owner (see NotificationCenter).

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UIViewController.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIKeyboard.h"
#include "platform/ui/gestures/UIEventDispatcher.h"
#include "platform/ui/qmui/QMUIModalPresentationViewController.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::string describeController(const UIViewController* controller)
{
    return controller ? controller->className() : std::string("nothing");
}

std::string describePresentation(const QMUIModalPresentationViewController& presentation)
{
    if (const auto& content = presentation.contentViewController())
        return describeController(content.get());
    if (const auto& content = presentation.contentView())
        return content->className();
    return "nothing";
}

std::string describeWindow(const UIWindow& window)
{
    std::string text
        = window.className() + " with root " + describeController(window.rootViewController().get());
    for (auto presented
         = window.rootViewController() ? window.rootViewController()->presentedViewController() : nullptr;
         presented; presented = presented->presentedViewController())
        text += " presenting " + describeController(presented.get());
    return text;
}

class LeftoverGuard : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override
    {
        m_observersBefore.clear();
        for (const auto& record : NotificationCenter::defaultCenter().observers())
            m_observersBefore.push_back(record.token);
    }

    void OnTestEnd(const ::testing::TestInfo&) override
    {
        std::vector<std::string> left;
        for (const auto& presentation :
            QMUIModalPresentationViewController::visibleModalPresentationViewControllers())
            left.push_back("a modal presentation of " + describePresentation(*presentation));
        QMUIModalPresentationViewController::hideAllVisibleModalPresentationViewControllerIfCan();

        for (const auto& window : UIWindow::shownWindows()) {
            left.push_back("a visible " + describeWindow(*window));
            window->setRootViewController(nullptr);
            window->setHidden(true);
        }

        auto& center = NotificationCenter::defaultCenter();
        for (const auto& record : center.observers()) {
            if (!record.owner
                || std::find(m_observersBefore.begin(), m_observersBefore.end(), record.token)
                    != m_observersBefore.end())
                continue;
            left.push_back("an observer of \"" + record.name + "\"");
            center.removeObserver(record.token);
        }

        // Tips and touches in flight are harmless once their windows are gone: cleared quietly.
        QMUITips::hideAllTips();
        UIKeyboard::shared().resetForTesting();
        UIEventDispatcher::shared().resetForTesting();

        if (left.empty())
            return;
        std::string list;
        for (const auto& item : left)
            list += "\n  " + item;
        ADD_FAILURE() << "The test left behind (now cleared):" << list;
    }

private:
    std::vector<NotificationCenter::Token> m_observersBefore;
};

const bool registered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new LeftoverGuard);
    return true;
}();

}
