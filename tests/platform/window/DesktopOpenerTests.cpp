// The desktop's opener for links the application opens outside itself: which addresses go, how
// the opener is started (no shell, one argument, not waited for) and what the log says. A script
// stands in for xdg-open and writes down what it was given.

#include "platform/dispatch/Clock.h"
#include "platform/foundation/Log.h"
#include "platform/window/DesktopOpener.h"
#include "tests/support/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <mutex>
#include <sstream>
#include <thread>

namespace {

class DesktopOpenerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Log::setSink([this](std::string_view line) {
            std::lock_guard lock(m_mutex);
            m_lines.emplace_back(line);
        });
    }
    void TearDown() override { Log::setSink({}); }

    // An opener that writes its argument count and arguments into call-<pid> once the file "go"
    // exists (at most ten seconds later), then exits with the status.
    std::string script(int status = 0)
    {
        std::string path = (dir / ("opener-" + std::to_string(status))).string();
        std::ofstream(path) << "#!/bin/sh\n"
                            << "for i in $(seq 200); do [ -e '" << (dir / "go").string()
                            << "' ] && break; sleep 0.05; done\n"
                            << "printf '%s\\n' \"$#\" \"$@\" > '" << (dir / "call-").string() << "'$$\n"
                            << "exit " << status << "\n";
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path;
    }
    void go() { std::ofstream(dir / "go") << "\n"; }

    // The arguments each finished call was given, one text per call (count, then arguments).
    std::vector<std::string> calls() const
    {
        std::vector<std::string> result;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            if (!entry.path().filename().string().starts_with("call-"))
                continue;
            std::ifstream file(entry.path());
            std::stringstream text;
            text << file.rdbuf();
            result.push_back(text.str());
        }
        std::sort(result.begin(), result.end());
        return result;
    }
    // Real time: the opener is another process.
    static bool waitFor(const std::function<bool()>& done)
    {
        double deadline = Clock::realNow() + 10;
        while (!done()) {
            if (Clock::realNow() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }
    std::vector<std::string> lines()
    {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }

    zvtest::TempDir dir;

private:
    std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

}

TEST_F(DesktopOpenerTest, OnlyWebAddressesGoToTheOpenerAsOneArgumentWithoutAShell)
{
    const std::string program = script();
    DesktopOpener opener(program);
    // What a shell would expand or split, kept as it is.
    const std::string update = "https://127.0.0.1:9313/down/zentavo.apk?v=3.0.8&from=$HOME;x=`id`";
    const std::string page = "http://example.com/help";
    struct Case {
        std::string url;
        bool opened;
    };
    const Case cases[] = {
        { update, true },
        { page, true },
        { "file:///etc/passwd", false },
        { "javascript:alert(1)", false },
        { "-h", false },
        { "", false },
        { "https://example.com/a b", false },
        { "https://example.com/\nline", false },
        { "https://example.com/" + std::string(DesktopOpener::maximumURLLength, 'a'), false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(opener.open(c.url), c.opened) << c.url.substr(0, 40);

    // Not waited for: both are still waiting for "go" when open() has answered.
    EXPECT_EQ(opener.pendingCount(), 2u);
    EXPECT_TRUE(calls().empty());
    go();
    ASSERT_TRUE(waitFor([&] { return calls().size() == 2; }));
    std::vector<std::string> expected { "1\n" + page + "\n", "1\n" + update + "\n" };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(calls(), expected);
    EXPECT_TRUE(waitFor([&] {
        opener.collect();
        return opener.pendingCount() == 0;
    }));

    std::vector<std::string> logged = lines();
    ASSERT_EQ(logged.size(), std::size(cases)) << "a line each";
    EXPECT_EQ(logged[0], "desktop: opened " + update + " with " + program);
    EXPECT_NE(logged[2].find("only http and https addresses"), std::string::npos) << logged[2];
}

TEST_F(DesktopOpenerTest, AnOpenerThatFailsOrIsMissingIsLoggedOnce)
{
    const std::string url = "https://example.com/update";
    const std::string program = script(3);
    DesktopOpener failing(program);
    go();
    ASSERT_TRUE(failing.open(url));
    ASSERT_TRUE(waitFor([&] {
        failing.collect();
        return failing.pendingCount() == 0;
    }));
    DesktopOpener missing((dir / "no-such-opener").string());
    EXPECT_FALSE(missing.open(url));
    EXPECT_EQ(missing.pendingCount(), 0u);

    std::vector<std::string> logged = lines();
    ASSERT_EQ(logged.size(), 3u);
    EXPECT_EQ(logged[1], "desktop: " + program + " could not open " + url + " (status 3)");
    EXPECT_EQ(
        logged[2].rfind("desktop: cannot start " + (dir / "no-such-opener").string() + " for " + url, 0), 0u)
        << logged[2];
}
