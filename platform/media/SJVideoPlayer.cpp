#include "platform/media/SJVideoPlayer.h"

#include "platform/ui/UINavigationController.h"
#include "platform/ui/UIViewController.h"

std::shared_ptr<SJVideoPlayer> SJVideoPlayer::player()
{
    return std::make_shared<SJVideoPlayer>();
}

SJVideoPlayer::SJVideoPlayer()
    : m_edgeLayer(std::make_shared<SJEdgeControlLayer>())
    , m_loadFailedLayer(std::make_shared<SJLoadFailedControlLayer>())
{
    // The layers may outlive the player in its owner's view tree: their callbacks check it.
    m_edgeLayer->onPlay = guarded([](SJBaseVideoPlayer& player) {
        if (player.isPaused())
            player.play();
        else
            player.pauseForUser();
    });
    m_edgeLayer->onFullscreen = guarded([](SJBaseVideoPlayer& player) {
        auto& self = static_cast<SJVideoPlayer&>(player);
        if (self.m_edgeLayer->automaticallyPerformRotationOrFitOnScreen())
            self.rotationManager().rotate();
    });
    m_edgeLayer->onReplay = guarded([](SJBaseVideoPlayer& player) {
        auto& self = static_cast<SJVideoPlayer&>(player);
        if (auto replay = self.m_edgeLayer->centerAdapter()->itemForTag(SJEdgeControlLayerCenterItem_Replay))
            replay->setAlpha(0);
        self.replay();
    });
    m_edgeLayer->onBack = guarded([](SJBaseVideoPlayer& player) { static_cast<SJVideoPlayer&>(player).goBack(); });
    m_edgeLayer->onSeek = [token = weakToken()](double fraction) {
        auto self = token.lock();
        if (self && (*self)->duration() > 0)
            (*self)->seekToTime((*self)->duration() * fraction);
    };
    m_loadFailedLayer->onReload = guarded([](SJBaseVideoPlayer& player) { player.replay(); });
    m_loadFailedLayer->onBack = guarded([](SJBaseVideoPlayer& player) { static_cast<SJVideoPlayer&>(player).goBack(); });

    m_appearManager.setHandler([run = guarded([](SJBaseVideoPlayer& player) {
        auto& self = static_cast<SJVideoPlayer&>(player);
        bool appeared = self.m_appearManager.isAppeared();
        self.m_edgeLayer->setAppeared(appeared);
        self.promptingPopupController().setBottomOffset(appeared ? self.m_edgeLayer->bottomHeight() : 0);
    })](bool) { run(); });
    promptingPopupController().setBottomOffset(m_edgeLayer->bottomHeight());
    switchControlLayerForIdentifier(SJControlLayer_Edge);
    refreshEdgeLayer();
}

SJVideoPlayer::~SJVideoPlayer() = default;

void SJVideoPlayer::switchControlLayerForIdentifier(SJControlLayerIdentifier identifier)
{
    std::shared_ptr<UIView> layer;
    if (identifier == SJControlLayer_Edge)
        layer = m_edgeLayer;
    else if (identifier == SJControlLayer_LoadFailed)
        layer = m_loadFailedLayer;
    if (!layer || identifier == m_currentLayer)
        return;
    m_currentLayer = identifier;
    m_edgeLayer->removeFromSuperview();
    m_loadFailedLayer->removeFromSuperview();
    const auto& container = presentView()->controlView();
    container->addSubview(layer);
    layer->setFrame(container->bounds());
    if (identifier == SJControlLayer_Edge)
        m_appearManager.needAppear();
}

void SJVideoPlayer::refreshEdgeLayer()
{
    SJEdgeControlLayerState state;
    state.paused = timeControlStatus() == SJPlaybackTimeControlStatus::paused;
    state.waiting = timeControlStatus() == SJPlaybackTimeControlStatus::waitingToPlayAtSpecifiedRate;
    state.fullscreen = isFullscreen();
    state.currentTime = currentTime();
    state.duration = duration();
    state.title = URLAsset() ? URLAsset()->title() : std::string();
    bool turned = state.fullscreen != m_edgeLayer->state().fullscreen;
    m_edgeLayer->update(state);
    // Owners change the bottom row's height with full screen: prompts stay above it.
    promptingPopupController().setBottomOffset(m_edgeLayer->isAppeared() ? m_edgeLayer->bottomHeight() : 0);
    if (turned) {
        m_edgeLayer->setNeedsLayout();
        m_edgeLayer->layoutIfNeeded();
    }
}

void SJVideoPlayer::assetStatusDidChange()
{
    switch (assetStatus()) {
    case SJAssetStatus::failed:
        switchControlLayerForIdentifier(SJControlLayer_LoadFailed);
        break;
    case SJAssetStatus::preparing:
        switchControlLayerForIdentifier(SJControlLayer_Edge);
        break;
    default:
        break;
    }
    refreshEdgeLayer();
}

void SJVideoPlayer::playbackStatusDidChange()
{
    bool playing = timeControlStatus() == SJPlaybackTimeControlStatus::playing;
    m_appearManager.setDisappearAllowed(playing);
    if (timeControlStatus() == SJPlaybackTimeControlStatus::paused && m_currentLayer == SJControlLayer_Edge)
        m_appearManager.needAppear();
    refreshEdgeLayer();
}

void SJVideoPlayer::playbackDidFinish()
{
    m_appearManager.needAppear();
    refreshEdgeLayer();
}

void SJVideoPlayer::currentTimeDidChange()
{
    refreshEdgeLayer();
}

void SJVideoPlayer::rotationTransitionDidChange(bool)
{
    refreshEdgeLayer();
}

void SJVideoPlayer::singleTapped()
{
    if (m_currentLayer == SJControlLayer_Edge)
        m_appearManager.switchAppearState();
}

void SJVideoPlayer::goBack()
{
    if (isFullscreen())
        return rotationManager().rotate();
    for (std::shared_ptr<UIResponder> responder = view()->nextResponder(); responder;
         responder = responder->nextResponder()) {
        auto controller = std::dynamic_pointer_cast<UIViewController>(responder);
        if (!controller)
            continue;
        if (auto navigation = controller->navigationController())
            navigation->popViewController(true);
        return;
    }
}
