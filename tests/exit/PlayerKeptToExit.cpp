// A program whose app ends with a player playing and a report under way, and which keeps that
// player past the app's end to its own exit (a window's close after offline play was seen to store
// a record that late). The report's reply comes from another thread within the end's bound; the
// player's record is stored as the app goes into the background and again as the player goes, among
// the program's statics, into the table of its own name; under the sanitizers nothing reads freed
// memory and the program exits 0.
//   exit_player_kept               runs itself as the program below and checks what it stored
//   exit_player_kept <database>    the program

#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/RunLoop.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/media/SJBaseVideoPlayer.h"
#include "platform/media/SJPlaybackHistoryController.h"
#include "platform/media/SJScriptedPlaybackController.h"
#include "platform/storage/ASConfigration.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/device/DeviceShell.h"
#include "tests/support/TempDir.h"

#include <cerrno>
#include <iostream>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

const SJPlaybackMediaId episode { "40805", "e2" };

// The app: one window with the player on it.
class PlayerDelegate : public UIApplicationDelegate {
public:
    bool didFinishLaunching(UIApplication&, const UIApplicationLaunchOptions&) override
    {
        m_window = std::make_shared<UIWindow>();
        player->view()->setFrame({ 0, 100, 390, 219 });
        m_window->addSubview(player->view());
        m_window->makeKeyAndVisible();
        return true;
    }
    std::shared_ptr<UIWindow> window() const override { return m_window; }

    std::shared_ptr<SJBaseVideoPlayer> player = SJBaseVideoPlayer::player();

private:
    std::shared_ptr<UIWindow> m_window;
};

int failures = 0;

void check(bool ok, const std::string& what)
{
    if (ok)
        return;
    std::cerr << "failed: " << what << "\n";
    ++failures;
}

int endTheAppThenExit(const std::string& database)
{
    std::vector<std::string> logged;
    Log::setSink([&logged](std::string_view line) { logged.emplace_back(line); });
    ASConfigration::setDefaultDB(database, "zvlist.db");
    SJBaseVideoPlayer::setPlaybackControllerFactory([] { return SJScriptedPlaybackController::make(); });
    SJPlaybackRecordSaveHandler::shared().setEventMask(
        SJPlaybackRecordSaveEventBackground | SJPlaybackRecordSaveEventPlayerRelease);

    DeviceShellOptions options;
    options.realTimePerSecond = 0;
    DeviceShell shell(options);
    auto app = std::make_shared<PlayerDelegate>();
    shell.launch(app);
    // Kept to the exit, made after what the player reaches as it goes (the notification centre,
    // the database's settings), as a program's static would be.
    static const std::shared_ptr<SJBaseVideoPlayer> keptToExit = app->player;
    auto asset = SJVideoPlayerURLAsset::initWithURL("https://media.test/episode.m3u8");
    asset->setRecord(std::make_shared<SJPlaybackRecord>(episode, SJMediaTypeVideo, 0));
    keptToExit->setURLAsset(asset);
    shell.wait(0.5 + 5);

    // As the app leaves the front it reports where the viewer was; the reply comes from another
    // thread a moment later.
    bool answered = false;
    auto reporting = NotificationCenter::defaultCenter().addObserver(
        UIApplicationNotification::WillResignActive, [&answered](const Notification&) {
            UIBackgroundTaskIdentifier task = UIApplication::shared().beginBackgroundTask("play report");
            DispatchQueue::global().async([&answered, task] {
                DispatchQueue::main().async([&answered, task] {
                    answered = true;
                    UIApplication::shared().endBackgroundTask(task);
                });
            });
        });
    shell.end();
    NotificationCenter::defaultCenter().removeObserver(reporting);
    check(answered, "the report's reply was waited for");
    check(UIApplication::shared().backgroundTaskCount() == 0, "no background task is left");
    auto stored = SJPlaybackHistoryController::shared().recordForMedia(episode, 0, SJMediaTypeVideo);
    check(stored && stored->position == 5, "the record holds the position of the background");

    // The kept player plays on; what it shows at the exit is stored as it goes.
    RunLoop::main().advance(3);
    check(keptToExit->currentTime() == 8, "the kept player plays on");
    for (const auto& line : logged)
        check(false, "nothing logged: " + line);
    Log::setSink(nullptr);
    return failures == 0 ? 0 : 1;
}

// Runs this program on the database; its wait status.
int runProgram(const std::string& database)
{
    std::string program = "/proc/self/exe";
    std::vector<char*> argv { program.data(), const_cast<char*>(database.c_str()), nullptr };
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) { }
    return status;
}

}

int main(int argc, char** argv)
{
    if (argc == 2)
        return endTheAppThenExit(argv[1]);
    zvtest::TempDir dir;
    std::string database = (dir / "zvlist.db").string();
    int status = runProgram(database);
    check(WIFEXITED(status) && WEXITSTATUS(status) == 0,
        "the program exits 0 (wait status " + std::to_string(status) + ")");
    ASConfigration::setDefaultDB(database, "zvlist.db");
    auto stored = SJPlaybackHistoryController::shared().recordForMedia(episode, 0, SJMediaTypeVideo);
    check(stored && stored->position == 8, "the record holds the position at the exit");
    ASConfigration::closeDefaultDB();
    return failures == 0 ? 0 : 1;
}
