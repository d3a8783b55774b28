#pragma once

#include "platform/media/SJBaseVideoPlayer.h"
#include "platform/media/SJControlLayerAppearManager.h"
#include "platform/media/SJEdgeControlLayer.h"
#include "platform/media/SJLoadFailedControlLayer.h"

#include <memory>

// Which control layer a full player shows.
using SJControlLayerIdentifier = long;
inline constexpr SJControlLayerIdentifier SJControlLayer_Edge = 1;
inline constexpr SJControlLayerIdentifier SJControlLayer_LoadFailed = 2;

// The full video player: the playback core with controls over the picture. The edge control
// layer shows while the asset plays (rows that a single tap shows and hides, and that go by
// themselves while playing after the appear manager's interval); the load-failed layer takes its
// place when the asset fails, and a new asset brings the edge layer back. The full-screen item
// and the back item in full screen turn the player (SJRotationManager); the back item in
// portrait leaves the screen of the navigation controller the player is in. Main thread.
class SJVideoPlayer : public SJBaseVideoPlayer {
public:
    static std::shared_ptr<SJVideoPlayer> player();

    SJVideoPlayer();
    ~SJVideoPlayer() override;

    const std::shared_ptr<SJEdgeControlLayer>& defaultEdgeControlLayer() const { return m_edgeLayer; }
    const std::shared_ptr<SJLoadFailedControlLayer>& defaultLoadFailedControlLayer() const
    {
        return m_loadFailedLayer;
    }
    SJControlLayerIdentifier currentControlLayerIdentifier() const { return m_currentLayer; }
    // Shows that layer in place of the current one; an unknown identifier changes nothing.
    void switchControlLayerForIdentifier(SJControlLayerIdentifier identifier);

    SJControlLayerAppearManager& controlLayerAppearManager() { return m_appearManager; }

protected:
    void assetStatusDidChange() override;
    void playbackStatusDidChange() override;
    void playbackDidFinish() override;
    void currentTimeDidChange() override;
    void rotationTransitionDidChange(bool isTransitioning) override;
    void singleTapped() override;

private:
    void refreshEdgeLayer();
    void goBack();

    std::shared_ptr<SJEdgeControlLayer> m_edgeLayer;
    std::shared_ptr<SJLoadFailedControlLayer> m_loadFailedLayer;
    SJControlLayerIdentifier m_currentLayer = 0;
    SJControlLayerAppearManager m_appearManager;
};
