#include "app/MainController/Short/View/ZV_SVideoPlayer.h"

#include "platform/media/SJMediaCacheServer.h"
#include "platform/ui/UIColor.h"

std::shared_ptr<ZV_SVideoPlayer> ZV_SVideoPlayer::player()
{
    return std::make_shared<ZV_SVideoPlayer>();
}

ZV_SVideoPlayer::ZV_SVideoPlayer()
{
    setPausedInBackground(true);
    setAutoplayWhenSetNewAsset(false);
    setResumePlaybackWhenScrollAppeared(false);
    setResumePlaybackWhenAppDidEnterForeground(false);
    rotationManager().setDisabledAutorotation(true);
    setVideoGravity(AVLayerVideoGravity::resizeAspect);
    view()->setBackgroundColor(UIColor::clear());
    presentView()->setBackgroundColor(UIColor::clear());
    presentView()->hidePlaceholderImageViewAnimated(false);
}

void ZV_SVideoPlayer::configureWithURL(const std::string& url)
{
    stop();
    std::string playback = SJMediaCacheServer::shared().playbackURLWithURL(url);
    m_url = url;
    setURLAsset(SJVideoPlayerURLAsset::initWithURL(playback.empty() ? url : playback));
}

bool ZV_SVideoPlayer::isConfiguredWith(const std::string& url) const
{
    return URLAsset() && m_url == url && assetStatus() != SJAssetStatus::failed;
}
