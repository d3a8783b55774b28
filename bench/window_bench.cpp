// The app in a window, on an X server of the program's own (Xvfb at 3840x2160, where the window
// takes 2.25 pixels per point):
//  - a frame while the home feed scrolls: the feed moved by one frame's worth of a quick scroll,
//    then the window's frame drawn and put on the screen. Goal: within one 120 Hz frame (8.3 ms).
//  - an idle app: `zentavo --window` on its root screen, its processor time (every thread) over
//    a second of real time. Goal: under 1% of one core.
//  - an idle title page: the same on a title page whose episode the viewer paused (its loading
//    cover hidden, still animating). Goal: under 1% of one core.

#include "app/Core/Start/AppDelegate.h"
#include "app/Extensions/GradientView.h"
#include "app/Theme/QDUIHelper.h"
#include "bench/support/BenchFixtures.h"
#include "bench/support/BenchGoals.h"
#include "bench/support/BenchProcesses.h"
#include "bench/support/MainFixture.h"
#include "platform/foundation/Log.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/lists/UIScrollView.h"
#include "platform/window/WindowShell.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

[[noreturn]] void fail(const std::string& why)
{
    std::cerr << "window bench: " << why << "\n";
    std::exit(2);
}

std::string publicKey()
{
    std::ifstream key(zvbench::keysDir() / "api_public.b64");
    std::string text((std::istreambuf_iterator<char>(key)), std::istreambuf_iterator<char>());
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

// ---- A frame while the feed scrolls ----

class ScrollingWindow {
public:
    ScrollingWindow()
    {
        zvbench::VirtualDisplay::shared("3840x2160x24");
        ::setenv("ZV_INFO_DomainFileURL", (m_server.httpsURL() + "/domain_v2.json").c_str(), 1);
        ::setenv("ZV_INFO_MainURL", (m_server.httpsURL() + "/api/").c_str(), 1);
        ::setenv("ZV_INFO_TrustedCAFile", (zvbench::keysDir() / "ca.pem").c_str(), 1);
        ::setenv("ZV_INFO_APIPublicKey", publicKey().c_str(), 1);
        ::setenv("ZV_HOME", (m_scratch.path() / "home").c_str(), 1);
        ::setenv("ZV_KEYCHAIN_FILE", (m_scratch.path() / "keychain.json").c_str(), 1);
        Log::setSink([](std::string_view) {});
        registerGradientBackedViews();
        QDUIHelper::registerAppearance();

        WindowShellOptions options;
        options.window.title = "zentavo-bench";
        options.device.outputFolder = m_scratch.path() / "out";
        std::string error;
        m_shell = WindowShell::open(options, &error);
        if (!m_shell)
            fail("no window: " + error);
        m_shell->launch(std::make_shared<AppDelegate>());
        // Past the splash and the home tab's start prompts, as the tours go, to the feed with its
        // covers in.
        for (const char* line :
            { "wait-for-text 跳过广告 3 10", "tap-id launch.skip", "wait 3", "tap-id update.close",
                "wait 0.5", "tap-id advert.close", "wait 0.5", "tap-id pure.know", "wait 3" }) {
            if (auto error = m_shell->shell().execute(line))
                fail("home feed: " + *error);
        }
        if (!(m_list = frontList()))
            fail("the home tab shows no feed to scroll");
    }

    static ScrollingWindow& shared()
    {
        static zvbench::MainFixture<ScrollingWindow> window;
        return window.get();
    }

    // One frame of a scroll at 960 points a second on a 60 Hz display, back and forth.
    void frame()
    {
        CGFloat low = m_list->minimumContentOffset().y;
        CGFloat high = m_list->maximumContentOffset().y;
        CGFloat next = m_list->contentOffset().y + m_step;
        if (next > high || next < low) {
            m_step = -m_step;
            next = m_list->contentOffset().y + m_step;
        }
        m_list->setContentOffset({ m_list->contentOffset().x, next });
        m_shell->window().drawIfNeeded();
    }

private:
    // The tallest visible list that scrolls vertically.
    static std::shared_ptr<UIScrollView> frontList()
    {
        std::shared_ptr<UIScrollView> best;
        std::function<void(const std::shared_ptr<UIView>&)> visit = [&](const std::shared_ptr<UIView>& view) {
            if (view->isHidden() || view->alpha() < 0.01)
                return;
            auto list = std::dynamic_pointer_cast<UIScrollView>(view);
            CGRect shown = view->convert(view->bounds(), nullptr).intersection(UIScreen::main().bounds());
            if (list && !list->isPagingEnabled() && list->canScrollVertically() && !shown.isNull()
                && list->maximumContentOffset().y - list->minimumContentOffset().y > 100
                && (!best || shown.height() > best->convert(best->bounds(), nullptr).height()))
                best = list;
            for (const auto& sub : view->subviews())
                visit(sub);
        };
        if (auto window = UIApplication::shared().keyWindow())
            visit(window);
        return best;
    }

    zvbench::LocalServer m_server;
    zvbench::ScratchFolder m_scratch;
    std::unique_ptr<WindowShell> m_shell;
    std::shared_ptr<UIScrollView> m_list;
    CGFloat m_step = 16;
};

void BM_WindowScrollFrame(benchmark::State& state)
{
    auto& window = ScrollingWindow::shared();
    for (auto _ : state)
        window.frame();
}
BENCHMARK(BM_WindowScrollFrame)->Unit(benchmark::kMillisecond);

const bool scrollGoal = zvbench::addGoal({
    .name = "window.feed-scroll.frame-vs-8.3ms",
    .limit = 1.0,
    .subject = [] { ScrollingWindow::shared().frame(); },
    .fixedBaseline = std::chrono::microseconds(8300),
    .setUp = [] { ScrollingWindow::shared(); },
});

// ---- An idle app ----

// Processor time of the whole process (every thread), in seconds.
double processorSeconds(pid_t pid)
{
    clockid_t clock = 0;
    timespec now {};
    if (clock_getcpuclockid(pid, &clock) != 0 || clock_gettime(clock, &now) != 0)
        fail("the app's processor clock cannot be read");
    return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

// What the app runs before it idles on a title page: past the launch screen and the home tab's
// prompts, a title opened as the lists open it, its episode playing long enough for the controls
// to hide, then a tap that shows them and one on the play item that pauses; two view-tree dumps
// two seconds apart show whether the time stood still.
const char* const pausedTitleScript[]
    = { "wait-for-text 跳过广告 3 10", "tap-id launch.skip", "wait 3", "tap-id update.close", "wait 0.5",
          "tap-id advert.close", "wait 0.5", "tap-id pure.know", "wait 1", "open-title 40311", "wait 8",
          "tap 195 150", "wait 1", "tap 24 241", "wait 2", "dump paused-1", "wait 2", "dump paused-2" };

// The times a view-tree dump shows ("00:07").
std::vector<std::string> shownTimes(const std::filesystem::path& dump)
{
    std::ifstream file(dump);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<std::string> times;
    for (std::size_t at = 0; (at = text.find("text=\"", at)) != std::string::npos;) {
        at += 6;
        std::string value = text.substr(at, text.find('"', at) - at);
        if (value.size() == 5 && value[2] == ':' && std::isdigit(static_cast<unsigned char>(value[0])))
            times.push_back(value);
    }
    return times;
}

class IdleApp {
public:
    enum class Screen { root, pausedTitle };

    explicit IdleApp(Screen screen = Screen::root)
    {
        zvbench::VirtualDisplay::shared("3840x2160x24");
        std::vector<std::string> environment = zvbench::currentEnvironment();
        for (std::string entry : { "ZV_INFO_DomainFileURL=" + m_server.httpsURL() + "/domain_v2.json",
                 "ZV_INFO_MainURL=" + m_server.httpsURL() + "/api/",
                 "ZV_INFO_TrustedCAFile=" + (zvbench::keysDir() / "ca.pem").string(),
                 "ZV_INFO_APIPublicKey=" + publicKey(), "ZV_HOME=" + (m_scratch.path() / "home").string(),
                 "ZV_KEYCHAIN_FILE=" + (m_scratch.path() / "keychain.json").string() })
            environment.push_back(entry);
        std::filesystem::path out = m_scratch.path() / "out";
        std::vector<std::string> arguments = { ZV_BENCH_APP_PROGRAM, "--window", "--out", out.string() };
        if (screen == Screen::pausedTitle) {
            m_server.serveVideo();
            std::filesystem::path script = m_scratch.path() / "paused-title.txt";
            std::ofstream lines(script);
            for (const char* line : pausedTitleScript)
                lines << line << "\n";
            arguments.insert(arguments.end(), { "--script", script.string() });
        }
        m_pid = zvbench::spawn(arguments, environment);
        if (m_pid <= 0)
            fail("the app does not start");
        if (screen == Screen::root) {
            // Through its launch countdown to the root screen, every first reply in.
            std::this_thread::sleep_for(std::chrono::seconds(6));
        } else {
            // The script's last dump says it is through.
            auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
            while (!std::filesystem::exists(out / "paused-2.txt")
                && std::chrono::steady_clock::now() < deadline && waitpid(m_pid, nullptr, WNOHANG) == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
            std::vector<std::string> before = shownTimes(out / "paused-1.txt");
            if (before.empty() || before != shownTimes(out / "paused-2.txt"))
                fail("the title page did not come to a pause");
            std::this_thread::sleep_for(std::chrono::seconds(1));
        }
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid)
            fail("the app ended on its own");
    }
    ~IdleApp() { zvbench::endProcess(m_pid); }

    static IdleApp& shared()
    {
        static zvbench::MainFixture<IdleApp> app;
        return app.get();
    }
    static IdleApp& pausedTitle()
    {
        static zvbench::MainFixture<IdleApp> app;
        return app.get(Screen::pausedTitle);
    }

    // Processor seconds the app takes in one second of real time.
    double secondOfIdling() const
    {
        double before = processorSeconds(m_pid);
        auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        double real = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        // A second may pass without the app running at all; a microsecond stands for that, so
        // that the ratio stays a measurement (the goal lines read 0 as a failure to measure).
        return std::max(processorSeconds(m_pid) - before, 1e-6) / real;
    }

private:
    zvbench::LocalServer m_server;
    zvbench::ScratchFolder m_scratch;
    pid_t m_pid = -1;
};

const bool idleGoal = zvbench::addGoal({
    .name = "window.idle-app.cpu-vs-1%",
    .limit = 1.0,
    // One core's share per second of real time, against 1% of it.
    .fixedBaseline = std::chrono::milliseconds(10),
    .rounds = 5,
    .sample = [] { return IdleApp::shared().secondOfIdling(); },
});

const bool idleTitleGoal = zvbench::addGoal({
    .name = "window.idle-title-paused.cpu-vs-1%",
    .limit = 1.0,
    .fixedBaseline = std::chrono::milliseconds(10),
    .rounds = 5,
    .sample = [] { return IdleApp::pausedTitle().secondOfIdling(); },
});

}
