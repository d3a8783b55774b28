// A program whose app ends with a player playing and a report under way, and which keeps that
// player past the app's end to its own exit (a window's close after offline play was seen to store
// a record that late). The report's reply, from another thread, is waited for; the record is stored
// as the app goes into the background and again as the player goes among the statics, into its
// own table, read back last; nothing reads freed memory (the sanitizers) and the program exits 0.

#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/RunLoop.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/media/SJBaseVideoPlayer.h"
#include "platform/media/SJPlaybackHistoryController.h"
#include "platform/media/SJScriptedPlaybackController.h"
#include "platform/storage/ASConfigration.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/device/DeviceShell.h"
#include "tests/support/TempDir.h"

#include <cstdio>
#include <cstdlib>

namespace {

const SJPlaybackMediaId episode { "40805", "e2" };

class PlayerDelegate : public UIApplicationDelegate {
public:
    bool didFinishLaunching(UIApplication&, const UIApplicationLaunchOptions&) override
    {
        m_window = std::make_shared<UIWindow>();
        m_window->addSubview(player->view());
        m_window->makeKeyAndVisible();
        return true;
    }
    std::shared_ptr<UIWindow> window() const override { return m_window; }

    std::shared_ptr<SJBaseVideoPlayer> player = SJBaseVideoPlayer::player();

private:
    std::shared_ptr<UIWindow> m_window;
};

double storedPosition()
{
    auto stored = SJPlaybackHistoryController::shared().recordForMedia(episode, 0, SJMediaTypeVideo);
    return stored ? stored->position : -1;
}

bool check(bool ok, const char* what)
{
    if (!ok)
        std::fprintf(stderr, "failed: %s\n", what);
    return ok;
}

}

int main()
{
    static zvtest::TempDir dir;
    ASConfigration::setDefaultDB((dir / "zvlist.db").string(), "zvlist.db");
    // Runs after the kept player has gone, before the database's settings go.
    std::atexit([] {
        if (!check(storedPosition() == 8, "the record holds the position at the exit"))
            std::_Exit(1);
    });
    SJBaseVideoPlayer::setPlaybackControllerFactory([] { return SJScriptedPlaybackController::make(); });
    SJPlaybackRecordSaveHandler::shared().setEventMask(
        SJPlaybackRecordSaveEventBackground | SJPlaybackRecordSaveEventPlayerRelease);
    DeviceShellOptions options;
    options.realTimePerSecond = 0;
    DeviceShell shell(options);
    auto app = std::make_shared<PlayerDelegate>();
    shell.launch(app);
    // Made after what the player reaches as it goes (the notification centre), as a static would be.
    static const std::shared_ptr<SJBaseVideoPlayer> keptToExit = app->player;
    auto asset = SJVideoPlayerURLAsset::initWithURL("https://media.test/episode.m3u8");
    asset->setRecord(std::make_shared<SJPlaybackRecord>(episode, SJMediaTypeVideo, 0));
    keptToExit->setURLAsset(asset);
    shell.wait(0.5 + 5);

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
    bool waited
        = check(answered && UIApplication::shared().backgroundTaskCount() == 0, "the reply was waited for");
    bool stored = check(storedPosition() == 5, "the record holds the position of the background");
    // The kept player plays on to the exit.
    RunLoop::main().advance(3);
    return waited && stored ? 0 : 1;
}
