#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/ProcessExit.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UITextField.h"
#include "platform/ui/device/DeviceShell.h"
#include "platform/ui/gestures/UIEventDispatcher.h"
#include "tests/support/MainLoopTest.h"
#include "tests/support/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

// A screen like an app's first one: a title, a button that counts taps into it, a field.
class ScreenDelegate : public UIApplicationDelegate {
public:
    bool didFinishLaunching(UIApplication&, const UIApplicationLaunchOptions&) override
    {
        m_window = std::make_shared<UIWindow>();
        m_window->setBackgroundColor(UIColor::white());
        m_title = std::make_shared<UILabel>(CGRect { 20, 100, 350, 40 });
        m_title->setText("Zentavo");
        m_window->addSubview(m_title);
        auto button = std::make_shared<UIButton>(CGRect { 100, 200, 190, 44 });
        button->setTitle("点我 Tap me");
        button->setBackgroundColor(UIColor(0.01, 1, 0.88, 1));
        button->setAccessibilityIdentifier("demo.button");
        button->addAction(UIControlEventTouchUpInside,
            [this](UIControl&) { m_title->setText("Tapped " + std::to_string(++m_taps) + " time"); });
        m_window->addSubview(button);
        m_field = std::make_shared<UITextField>(CGRect { 20, 300, 350, 44 });
        m_field->setPlaceholder("手机号/用户名");
        m_field->setAccessibilityIdentifier("demo.field");
        m_window->addSubview(m_field);
        m_window->makeKeyAndVisible();
        return true;
    }
    std::shared_ptr<UIWindow> window() const override { return m_window; }
    const std::shared_ptr<UILabel>& titleLabel() const { return m_title; }
    const std::shared_ptr<UITextField>& textField() const { return m_field; }

private:
    std::shared_ptr<UIWindow> m_window;
    std::shared_ptr<UILabel> m_title;
    std::shared_ptr<UITextField> m_field;
    int m_taps = 0;
};

class DeviceShellRun : public zvtest::MainLoopTest {
protected:
    void SetUp() override
    {
        MainLoopTest::SetUp();
        UIApplication::shared().resetForTesting();
        UIScreen::main().resetForTesting();
        UIEventDispatcher::shared().resetForTesting();
    }
    void TearDown() override
    {
        if (auto responder = UIResponder::currentFirstResponder())
            responder->resignFirstResponder();
        UIApplication::shared().resetForTesting();
        UIScreen::main().resetForTesting();
        MainLoopTest::TearDown();
    }
    DeviceShellOptions options()
    {
        DeviceShellOptions o;
        o.outputFolder = dir.path() / "out";
        o.realTimePerSecond = 0;
        return o;
    }
    zvtest::TempDir dir;
};

TEST_F(DeviceShellRun, ScriptRunsEndToEndIntoPictures)
{
    auto delegate = std::make_shared<ScreenDelegate>();
    DeviceShell shell(options());
    ASSERT_TRUE(shell.launch(delegate));
    std::istringstream script(R"(# demo
screenshot before
tap-text 点我 Tap me
wait 0.5
tap-id demo.field
type 41
backspace 1
type 2
dump after
screenshot after
)");
    std::ostringstream errors;
    EXPECT_EQ(shell.run(script, "demo.txt", errors), 0) << errors.str();
    EXPECT_EQ(delegate->titleLabel()->text(), "Tapped 1 time");
    EXPECT_EQ(delegate->textField()->text(), "42");

    for (const char* name : { "before.png", "after.png" }) {
        auto image = UIImage::fromFile(options().outputFolder / name);
        ASSERT_TRUE(image) << name;
        EXPECT_EQ(image->pixelWidth(), 1170);
        EXPECT_EQ(image->pixelHeight(), 2532);
        auto first = image->pixel(0, 0);
        bool varied = false;
        for (int y = 0; y < image->pixelHeight() && !varied; y += 7) {
            for (int x = 0; x < image->pixelWidth() && !varied; x += 7)
                varied = !(image->pixel(x, y) == first);
        }
        EXPECT_TRUE(varied) << name << " is one flat colour";
    }
    std::ifstream dump(options().outputFolder / "after.txt");
    std::string text((std::istreambuf_iterator<char>(dump)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Tapped 1 time"), std::string::npos);
    EXPECT_NE(text.find("text=\"42\""), std::string::npos);
}

TEST_F(DeviceShellRun, BadLinesAreReportedWithTheirNumbersAndTheRunGoesOnUnlessTold)
{
    auto delegate = std::make_shared<ScreenDelegate>();
    DeviceShell shell(options());
    shell.launch(delegate);
    const char* text = "tap 1\nfly away\ntap-text nowhere\nwait -1\nscreenshot ../escape\nbackspace 0\n"
                       "tap-id demo.button\n";
    std::istringstream script(text);
    std::ostringstream errors;
    EXPECT_EQ(shell.run(script, "s.txt", errors), 6);
    EXPECT_NE(errors.str().find("s.txt:6: usage: backspace"), std::string::npos) << errors.str();
    EXPECT_NE(errors.str().find("s.txt:1: usage: tap <x> <y>"), std::string::npos) << errors.str();
    EXPECT_NE(errors.str().find("s.txt:2: unknown command \"fly\""), std::string::npos);
    EXPECT_NE(errors.str().find("s.txt:3: "), std::string::npos);
    EXPECT_NE(errors.str().find("s.txt:5: "), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "escape.png"));
    EXPECT_EQ(delegate->titleLabel()->text(), "Tapped 1 time") << "the last line still ran";

    DeviceShellOptions stopping = options();
    stopping.stopOnError = true;
    DeviceShell strict(stopping);
    std::istringstream again(text);
    std::ostringstream moreErrors;
    EXPECT_EQ(strict.run(again, "s.txt", moreErrors), 1);
}

// An app that ends the process itself (a restart it asks for) ends the run, not the process: a
// script that had nothing left to do passes, lines left unrun or a failing status do not, and
// time stops with the app.
TEST_F(DeviceShellRun, AnAppThatEndsItselfEndsTheRunHonestly)
{
    // Shared: the work left queued outlives the test.
    auto laterWork = std::make_shared<int>(0);
    registerDeviceShellCommand(
        "end-app-after-1s", [laterWork](const std::string& status) -> std::optional<std::string> {
            int code = std::stoi(status);
            DispatchQueue::main().asyncAfter(DispatchTime::now() + 1.0, [code] { ProcessExit::exit(code); });
            DispatchQueue::main().asyncAfter(DispatchTime::now() + 1.5, [laterWork] { ++*laterWork; });
            return std::nullopt;
        });
    struct Case {
        const char* script;
        int failures;
        const char* message;
    };
    const Case cases[] = {
        { "end-app-after-1s 0\nwait 3\n\n# the end\n", 0, "" },
        { "end-app-after-1s 0\nwait 3\n# more\ntap-id demo.button\nwait 1\n", 1,
            "e.txt:4: the app ended (status 0) before this line" },
        { "end-app-after-1s 2\nwait 3\n", 1, "e.txt:2: the app ended with status 2" },
    };
    for (const auto& c : cases) {
        *laterWork = 0;
        auto delegate = std::make_shared<ScreenDelegate>();
        DeviceShell shell(options());
        shell.launch(delegate);
        std::istringstream script(c.script);
        std::ostringstream errors;
        EXPECT_EQ(shell.run(script, "e.txt", errors), c.failures) << c.script << errors.str();
        EXPECT_NE(errors.str().find(c.message), std::string::npos) << errors.str();
        ASSERT_TRUE(shell.exitStatus()) << c.script;
        EXPECT_EQ(*laterWork, 0) << "time went on after the app ended";
        EXPECT_EQ(delegate->titleLabel()->text(), "Zentavo");
        EXPECT_EQ(shell.execute("wait 1"),
            std::optional<std::string>(
                "the app has ended (status " + std::to_string(*shell.exitStatus()) + ")"));
    }
}

TEST_F(DeviceShellRun, ProgramCommandsGetTheRestOfTheLineAfterTheBuiltInOnes)
{
    DeviceShell shell(options());
    shell.launch(std::make_shared<ScreenDelegate>());
    std::vector<std::string> seen;
    registerDeviceShellCommand("open-page", [&](const std::string& rest) -> std::optional<std::string> {
        seen.push_back(rest);
        if (rest == "missing")
            return "no such page";
        return std::nullopt;
    });
    // A program command cannot take a built-in name.
    registerDeviceShellCommand(
        "wait", [&](const std::string&) -> std::optional<std::string> { return "taken"; });
    EXPECT_EQ(shell.execute("open-page  search  "), std::nullopt);
    EXPECT_EQ(shell.execute("open-page missing"), std::optional<std::string>("no such page"));
    EXPECT_EQ(shell.execute("wait 0.1"), std::nullopt);
    EXPECT_EQ(seen, (std::vector<std::string> { "search", "missing" }));
}

TEST_F(DeviceShellRun, WaitsRotatesAndMovesBetweenForegroundAndBackground)
{
    auto delegate = std::make_shared<ScreenDelegate>();
    DeviceShell shell(options());
    shell.launch(delegate);
    double start = Clock::now();
    EXPECT_FALSE(shell.execute("wait 1.5"));
    EXPECT_NEAR(Clock::now() - start, 1.5, 1e-9);

    bool fired = false;
    DispatchQueue::main().asyncAfter(DispatchTime::now() + 0.4, [&] {
        fired = true;
        delegate->titleLabel()->setText("Loaded");
    });
    EXPECT_FALSE(shell.execute("wait-for-text Loaded 1"));
    EXPECT_TRUE(fired);
    EXPECT_TRUE(shell.execute("wait-for-text Never 0.3"));

    EXPECT_FALSE(shell.execute("rotate landscape"));
    EXPECT_EQ(delegate->window()->bounds().size, (CGSize { 844, 390 }));
    EXPECT_FALSE(shell.execute("rotate portrait"));
    EXPECT_FALSE(shell.execute("background"));
    EXPECT_EQ(UIApplication::shared().applicationState(), UIApplicationState::background);
    EXPECT_FALSE(shell.execute("foreground"));
    EXPECT_EQ(UIApplication::shared().applicationState(), UIApplicationState::active);
}

TEST_F(DeviceShellRun, DurationsDistancesAndPointsAreBoundedWithAClearReason)
{
    DeviceShell shell(options());
    shell.launch(std::make_shared<ScreenDelegate>());
    struct Case {
        const char* line;
        const char* reason;
    };
    const Case cases[] = {
        { "wait 1e8", "out of range" },
        { "wait 1e300", "out of range" },
        { "wait -1", "out of range" },
        { "wait nan", "not a finite number" },
        { "wait inf", "not a finite number" },
        { "wait -inf", "not a finite number" },
        { "wait 2s", "not a finite number" },
        { "wait-for-text Zentavo 1e300", "out of range" },
        { "wait-for-text Zentavo nan", "not a finite number" },
        { "long-press 10 10 1e300", "out of range" },
        { "drag 0 0 10 10 1e9", "out of range" },
        { "drag 0 0 10 10 -0.1", "out of range" },
        { "pinch 100 100 1e300 10 1", "out of range" },
        { "pinch 100 100 10 -5 1", "out of range" },
        { "tap 1e300 10", "out of range" },
        { "double-tap 10 -1e20", "out of range" },
    };
    double start = Clock::now();
    for (const Case& c : cases) {
        std::optional<std::string> error = shell.execute(c.line);
        ASSERT_TRUE(error) << c.line;
        EXPECT_NE(error->find(c.reason), std::string::npos) << c.line << " -> " << *error;
    }
    EXPECT_EQ(Clock::now(), start) << "a refused line does not wait";

    // The largest wait there is still runs.
    EXPECT_FALSE(shell.execute("wait 600"));
    EXPECT_NEAR(Clock::now() - start, 600, 1e-6);
}
}

namespace {

// A white bar whose title is white too: nothing of it can be read.
class UnreadableDelegate : public UIApplicationDelegate {
public:
    bool didFinishLaunching(UIApplication&, const UIApplicationLaunchOptions&) override
    {
        m_window = std::make_shared<UIWindow>();
        m_window->setBackgroundColor(UIColor::white());
        auto tip = std::make_shared<UILabel>(CGRect { 24, 100, 342, 42 });
        tip->setText("剧情 / 2024");
        tip->setTextColor(UIColor::white());
        m_window->addSubview(tip);
        m_window->makeKeyAndVisible();
        return true;
    }
    std::shared_ptr<UIWindow> window() const override { return m_window; }

private:
    std::shared_ptr<UIWindow> m_window;
};

}

TEST_F(DeviceShellRun, ScreenshotsHaveTheirContrastCheckedFailedReportedOrNotAsTheOptionsSay)
{
    struct Case {
        const char* name;
        DeviceContrastCheck check;
        const char* allowed; // rules of the light style, or none
        int failures;
        const char* fault; // in the errors, or none
        const char* note;
    };
    const std::string fault
        = "s.txt:2: contrast on tip: \"剧情 / 2024\" (UILabel in UIWindow, 17 pt at 24,111, "
          "light): #FFFFFF on #FFFFFF (nothing of it shows) is 1.00:1, needs 4.5:1";
    const Case cases[] = {
        { "enforced", DeviceContrastCheck::enforce, nullptr, 1, fault.c_str(), nullptr },
        { "reported", DeviceContrastCheck::report, nullptr, 0, nullptr,
            "contrast note s.txt:2: contrast on tip: " },
        { "off", DeviceContrastCheck::off, nullptr, 0, nullptr, nullptr },
        { "allowed in the light style", DeviceContrastCheck::enforce,
            "UIWindow #FFFFFF 1 white on white by design", 0, nullptr, nullptr },
        { "allowed for another colour", DeviceContrastCheck::enforce, "UIWindow #FFFFFD 1 almost white", 1,
            fault.c_str(), nullptr },
        { "allowed above the ratio it reaches", DeviceContrastCheck::enforce,
            "UIWindow #FFFFFF 1.5 white on white by design", 1, fault.c_str(), nullptr },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeviceShellOptions o = options();
        o.contrast = c.check;
        if (c.allowed)
            o.contrastAllowances = std::make_shared<const ContrastAllowances>(
                std::get<ContrastAllowances>(ContrastAllowances::parse(c.allowed, "allowed.txt")));
        DeviceShell shell(o);
        shell.launch(std::make_shared<UnreadableDelegate>());
        std::istringstream script("wait 0.1\nscreenshot tip\n");
        std::ostringstream errors;
        EXPECT_EQ(shell.run(script, "s.txt", errors), c.failures) << errors.str();
        if (c.fault) {
            EXPECT_NE(errors.str().find(std::string(c.fault) + "\n"), std::string::npos) << errors.str();
        }
        if (c.note) {
            EXPECT_NE(errors.str().find(c.note), std::string::npos) << errors.str();
        }
        if (!c.fault && !c.note) {
            EXPECT_EQ(errors.str(), "");
        }
        EXPECT_TRUE(std::filesystem::exists(o.outputFolder / "tip.png"));
        shell.end();
    }
}

TEST_F(DeviceShellRun, TheDarkStyleHasOnlyTheAllowancesForBothStyles)
{
    for (const char* rule :
        { "UIWindow #FFFFFF 1 white on white by design", "both UIWindow #FFFFFF 1 over a picture" }) {
        SCOPED_TRACE(rule);
        bool both = std::string(rule).starts_with("both");
        DeviceShellOptions o = options();
        o.dark = true;
        o.contrast = DeviceContrastCheck::enforce;
        o.contrastAllowances = std::make_shared<const ContrastAllowances>(
            std::get<ContrastAllowances>(ContrastAllowances::parse(rule, "allowed.txt")));
        DeviceShell shell(o);
        shell.launch(std::make_shared<UnreadableDelegate>());
        std::istringstream script("screenshot tip\n");
        std::ostringstream errors;
        EXPECT_EQ(shell.run(script, "s.txt", errors), both ? 0 : 1);
        EXPECT_EQ(errors.str().find("dark): #FFFFFF on #FFFFFF") != std::string::npos, !both) << errors.str();
        shell.end();
    }
}

TEST(ContrastAllowancesFile, EveryBadLineIsNamedWithItsNumber)
{
    struct Case {
        const char* text;
        const char* fault; // none: read
    };
    const Case cases[] = {
        { "# only a comment\n\nZV_HomeVideoReusableView #1D19424D 1.9 the faded link of a section\n",
            nullptr },
        { "JXSegmentedTitleCell icon 2.5 the tab bar's icons\n", nullptr },
        { "both ZV_MovieView #FFFFFF 2.2 white captions over the cover\n", nullptr },
        { "ZV_Cell #1D1942\n", "a.txt:1: usage: [both] <class> <#RRGGBB[AA] | icon> <least ratio> <why>" },
        { "\nZV_Cell navy 2 why\n",
            "a.txt:2: \"navy\" is no colour (#RRGGBB or #RRGGBBAA) and not \"icon\"" },
        { "ZV_Cell #12345 2 why\n",
            "a.txt:1: \"#12345\" is no colour (#RRGGBB or #RRGGBBAA) and not \"icon\"" },
        { "ZV_Cell #123456 0.5 why\n", "a.txt:1: the least ratio is a number from 1 to 21, not \"0.5\"" },
        { "ZV_Cell #123456 2x why\n", "a.txt:1: the least ratio is a number from 1 to 21, not \"2x\"" },
        { "ZV_Cell #123456 2\n", "a.txt:1: usage: [both] <class> <#RRGGBB[AA] | icon> <least ratio> <why>" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        auto parsed = ContrastAllowances::parse(c.text, "a.txt");
        if (!c.fault) {
            EXPECT_TRUE(std::holds_alternative<ContrastAllowances>(parsed));
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
        EXPECT_EQ(std::get<std::string>(parsed), c.fault);
    }
    auto big = ContrastAllowances::parse(std::string(ContrastAllowances::maximumBytes + 1, '#'), "big.txt");
    ASSERT_TRUE(std::holds_alternative<std::string>(big));
    EXPECT_EQ(std::get<std::string>(big), "big.txt: larger than 262144 bytes");
}
