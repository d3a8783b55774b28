#include "tools/kitdemo/KitDemoPlayerPage.h"

#include "platform/media/SJVideoPlayer.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "tools/kitdemo/KitDemoColors.h"
#include "tools/kitdemo/KitDemoTitlePlayerScreen.h"

#include <cstdio>

namespace {

struct Action {
    const char* title;
    const char* identifier;
};

const Action actions[] = {
    { "播放", "kitdemo.player.play" },
    { "跳到 8 秒", "kitdemo.player.seek" },
    { "慢分片", "kitdemo.player.slow" },
    { "坏流", "kitdemo.player.broken" },
    // The app's own player on a sample title of the server's API.
    { "影片页", "kitdemo.player.title" },
};

std::string statusText(SJVideoPlayer& player)
{
    std::string what;
    switch (player.assetStatus()) {
    case SJAssetStatus::unknown:
        return "未开始";
    case SJAssetStatus::failed:
        return "加载失败";
    case SJAssetStatus::preparing:
        what = "打开中";
        break;
    case SJAssetStatus::readyToPlay:
        switch (player.timeControlStatus()) {
        case SJPlaybackTimeControlStatus::paused:
            what = player.isPlaybackFinished() ? "播放完毕" : "暂停";
            break;
        case SJPlaybackTimeControlStatus::waitingToPlayAtSpecifiedRate:
            what = player.reasonForWaitingToPlay() == SJWaitingToMinimizeStallsReason ? "等待数据（缓冲中）"
                                                                                      : "等待";
            break;
        case SJPlaybackTimeControlStatus::playing:
            what = "播放中";
            break;
        }
        break;
    }
    char time[64];
    std::snprintf(time, sizeof time, "  %.1f / %.1f 秒", player.currentTime(), player.duration());
    return what + time;
}

}

KitDemoPlayerPage::KitDemoPlayerPage(std::string videoBase)
    : m_videoBase(std::move(videoBase))
{ }

KitDemoPlayerPage::~KitDemoPlayerPage() = default;

void KitDemoPlayerPage::viewDidLoad()
{
    UIViewController::viewDidLoad();
    view()->setBackgroundColor(kitdemo::mist());

    m_player = SJVideoPlayer::player();
    m_player->setDelayInSecondsForHiddenPlaceholderImageView(0);
    view()->addSubview(m_player->view());
    std::weak_ptr<UIViewController> weakSelf = sharedFromThis();
    auto refresh = [weakSelf](SJBaseVideoPlayer&) {
        if (auto self = std::static_pointer_cast<KitDemoPlayerPage>(weakSelf.lock()))
            self->showStatus();
    };
    auto& observer = m_player->playbackObserver();
    observer.setAssetStatusDidChangeExeBlock(refresh);
    observer.setPlaybackStatusDidChangeExeBlock(refresh);
    observer.setCurrentTimeDidChangeExeBlock(refresh);

    m_status = std::make_shared<UILabel>();
    m_status->setFont(UIFont::systemFont(15, UIFont::Weight::medium));
    m_status->setTextColor(kitdemo::ink());
    m_status->setTextAlignment(NSTextAlignment::center);
    m_status->setAccessibilityIdentifier("kitdemo.player.status");
    view()->addSubview(m_status);
    showStatus();

    for (const Action& action : actions) {
        auto button = std::make_shared<UIButton>();
        button->setTitle(action.title);
        button->setTitleColor(kitdemo::inkOnMint());
        button->setFont(UIFont::systemFont(15, UIFont::Weight::medium));
        button->setBackgroundColor(kitdemo::mint());
        button->layer()->setCornerRadius(8);
        button->setAccessibilityIdentifier(action.identifier);
        std::string identifier = action.identifier;
        button->addAction(UIControlEventTouchUpInside, [weakSelf, identifier](UIControl&) {
            auto self = std::static_pointer_cast<KitDemoPlayerPage>(weakSelf.lock());
            if (!self)
                return;
            if (identifier == "kitdemo.player.play")
                self->open("master.m3u8");
            else if (identifier == "kitdemo.player.seek")
                self->m_player->seekToTime(8);
            else if (identifier == "kitdemo.player.slow")
                self->open("low/index.m3u8?slow=2&delay=12000");
            else if (identifier == "kitdemo.player.title") {
                // The demo's own player stops: one picture plays at a time.
                self->m_player->pause();
                self->present(std::make_shared<KitDemoTitlePlayerScreen>(), true);
            } else
                self->open("broken.m3u8");
        });
        view()->addSubview(button);
        m_buttons.push_back(button);
    }
}

void KitDemoPlayerPage::open(const std::string& path)
{
    // The server checks nothing, but the fields show on every request it records.
    AVURLAsset::Options options { { AVURLAssetHTTPHeaderFieldsKey,
        { { "User-Agent", "Zentavo-KitDemo/1.0" }, { "Referer", "https://zentavo.test/" } } } };
    auto asset
        = SJVideoPlayerURLAsset::initWithAVAsset(AVURLAsset::URLAssetWithURL(m_videoBase + path, options));
    asset->setTitle("测试片 " + path);
    m_player->setURLAsset(asset);
    showStatus();
}

void KitDemoPlayerPage::showStatus()
{
    m_status->setText(statusText(*m_player));
}

void KitDemoPlayerPage::viewDidLayoutSubviews()
{
    UIViewController::viewDidLayoutSubviews();
    CGRect bounds = view()->bounds();
    CGFloat height = bounds.width() * 9 / 16;
    m_player->view()->setFrame({ 0, 0, bounds.width(), height });
    m_status->setFrame({ 16, height + 16, bounds.width() - 32, 24 });
    CGFloat width = (bounds.width() - 16 * 3) / 2;
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        CGFloat x = 16 + static_cast<CGFloat>(i % 2) * (width + 16);
        CGFloat y = height + 60 + static_cast<CGFloat>(i / 2) * 60;
        m_buttons[i]->setFrame({ x, y, width, 44 });
    }
}
