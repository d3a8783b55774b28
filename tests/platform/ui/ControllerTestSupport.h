#pragma once

#include "platform/ui/QMUITips.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIViewController.h"
#include "platform/ui/UIWindow.h"
#include "tests/support/MainLoopTest.h"

#include <memory>
#include <string>
#include <vector>

namespace uitest {

using Journal = std::shared_ptr<std::vector<std::string>>;

inline Journal makeJournal()
{
    return std::make_shared<std::vector<std::string>>();
}

// Writes "<name>.<event>" to a journal for each view and appearance call.
template<typename Base = UIViewController> class Recording : public Base {
public:
    template<typename... Args>
    Recording(std::string name, Journal journal, Args&&... args)
        : Base(std::forward<Args>(args)...)
        , m_name(std::move(name))
        , m_journal(std::move(journal))
    { }

    std::string className() const override { return "Recording"; }

    void viewDidLoad() override
    {
        Base::viewDidLoad();
        log("didLoad");
    }
    void viewWillAppear(bool animated) override
    {
        Base::viewWillAppear(animated);
        log(animated ? "willAppear+" : "willAppear");
    }
    void viewDidAppear(bool animated) override
    {
        Base::viewDidAppear(animated);
        log(animated ? "didAppear+" : "didAppear");
    }
    void viewWillDisappear(bool animated) override
    {
        Base::viewWillDisappear(animated);
        log(animated ? "willDisappear+" : "willDisappear");
    }
    void viewDidDisappear(bool animated) override
    {
        Base::viewDidDisappear(animated);
        log(animated ? "didDisappear+" : "didDisappear");
    }

    const std::string& name() const { return m_name; }

private:
    void log(const std::string& event) { m_journal->push_back(m_name + "." + event); }

    std::string m_name;
    Journal m_journal;
};

template<typename Base = UIViewController, typename... Args>
std::shared_ptr<Recording<Base>> recorder(std::string name, const Journal& journal, Args&&... args)
{
    return std::make_shared<Recording<Base>>(std::move(name), journal, std::forward<Args>(args)...);
}

// A visible key window on a fresh application, the main run loop on the virtual clock, and a
// journal; each test reads and clears the journal with take().
class ControllerTest : public zvtest::MainLoopTest {
protected:
    void SetUp() override
    {
        zvtest::MainLoopTest::SetUp();
        UIApplication::shared().resetForTesting();
        UIScreen::main().resetForTesting();
        window = std::make_shared<UIWindow>();
        window->makeKeyAndVisible();
    }

    void TearDown() override
    {
        QMUITips::hideAllTips();
        if (window)
            window->setRootViewController(nullptr);
        drain();
        window.reset();
        UIApplication::shared().resetForTesting();
        UIScreen::main().resetForTesting();
        zvtest::MainLoopTest::TearDown();
    }

    std::vector<std::string> take()
    {
        auto lines = std::move(*journal);
        journal->clear();
        return lines;
    }

    // Whether the controller's view is a direct subview of the window.
    bool inWindow(UIViewController& controller) const
    {
        const auto& view = controller.viewIfLoaded();
        return view && view->superview() == window;
    }

    std::shared_ptr<UIWindow> window;
    Journal journal = makeJournal();
};

}
