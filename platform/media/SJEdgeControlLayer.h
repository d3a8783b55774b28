#pragma once

#include "platform/media/SJEdgeControlButtonItemAdapter.h"
#include "platform/ui/UIView.h"

#include <functional>
#include <memory>
#include <string>

class SJProgressSlider;
class UIActivityIndicatorView;
class UILabel;

// Tags of the edge control layer's own items.
enum SJEdgeControlLayerItemTag : int {
    SJEdgeControlLayerTopItem_Back = 10000,
    SJEdgeControlLayerTopItem_Title = 10001,
    SJEdgeControlLayerBottomItem_Play = 10010,
    SJEdgeControlLayerBottomItem_CurrentTime = 10011,
    SJEdgeControlLayerBottomItem_Separator = 10012,
    SJEdgeControlLayerBottomItem_DurationTime = 10013,
    SJEdgeControlLayerBottomItem_Progress = 10014,
    SJEdgeControlLayerBottomItem_Full = 10015,
    SJEdgeControlLayerCenterItem_Replay = 10020,
};

// What the edge controls show of their player.
struct SJEdgeControlLayerState {
    bool paused = true;
    bool waiting = false;
    bool fullscreen = false;
    double currentTime = 0;
    double duration = 0;
    std::string title;
};

// The full player's controls over the picture: a top row (back, title), a bottom row (play,
// current time, "/", duration, progress, full screen) on dark gradients that show and hide
// together, a centre row (replay, hidden until an owner shows it), a loading indicator while the
// player waits and a thin progress line at the bottom while the rows are hidden. Owners add their
// own items to the rows and their own views to the layer. Touches outside items and owners' views
// go through to the picture. Main thread.
class SJEdgeControlLayer : public UIView {
public:
    static constexpr CGFloat defaultRowHeight = 49;
    // The shade behind a row: dark enough over the whole row that its white texts and icons read
    // on any picture (white text needs 4.5:1 even over a white frame), fading out over this many
    // points beyond the row's inner edge.
    static constexpr CGFloat rowShadeAlpha = 0.6;
    static constexpr CGFloat rowShadeFade = 24;

    SJEdgeControlLayer();

    std::string className() const override { return "SJEdgeControlLayer"; }

    // Parts of the layer: owners add their items to the rows and may place views against them.
    const std::shared_ptr<UIView>& topContainerView() { return attached(m_topContainer); }
    const std::shared_ptr<UIView>& bottomContainerView() { return attached(m_bottomContainer); }
    const std::shared_ptr<SJEdgeControlButtonItemAdapter>& topAdapter() { return attached(m_topAdapter); }
    const std::shared_ptr<SJEdgeControlButtonItemAdapter>& bottomAdapter()
    {
        return attached(m_bottomAdapter);
    }
    const std::shared_ptr<SJEdgeControlButtonItemAdapter>& centerAdapter()
    {
        return attached(m_centerAdapter);
    }
    const std::shared_ptr<UIActivityIndicatorView>& loadingView() { return attached(m_loadingView); }
    const std::shared_ptr<UIView>& bottomProgressIndicator() { return attached(m_bottomIndicator); }

    // ---- Settings ----
    // The bottom container's height above the safe area (its row lies in its top 49 points).
    CGFloat bottomHeight() const { return m_bottomHeight; }
    void setBottomHeight(CGFloat height);
    // Kept for owners; the back item hides with the rows either way.
    bool fixesBackItem() const { return m_fixesBackItem; }
    void setFixesBackItem(bool fixes) { m_fixesBackItem = fixes; }
    // This layer has no "more" item; the setting is kept for owners.
    bool showsMoreItem() const { return m_showsMoreItem; }
    void setShowsMoreItem(bool shows) { m_showsMoreItem = shows; }
    bool hiddenBottomProgressIndicator() const { return m_hiddenBottomIndicator; }
    void setHiddenBottomProgressIndicator(bool hidden);
    bool hiddenTitleItemWhenOrientationIsPortrait() const { return m_hiddenTitleInPortrait; }
    void setHiddenTitleItemWhenOrientationIsPortrait(bool hidden);
    // Whether the full-screen item turns the player itself (else it only tells onFullscreen).
    bool automaticallyPerformRotationOrFitOnScreen() const { return m_automaticRotation; }
    void setAutomaticallyPerformRotationOrFitOnScreen(bool automatic) { m_automaticRotation = automatic; }

    // ---- For the player ----
    bool isAppeared() const { return m_appeared; }
    void setAppeared(bool appeared);
    void update(const SJEdgeControlLayerState& state);
    const SJEdgeControlLayerState& state() const { return m_state; }

    std::function<void()> onBack;
    std::function<void()> onPlay; // the play item: play or pause
    std::function<void()> onFullscreen;
    std::function<void()> onReplay;
    std::function<void(double fraction)> onSeek; // the progress bar was let go there

    void layoutSubviews() override;
    void didMoveToSuperview() override;
    std::shared_ptr<UIView> hitTest(CGPoint point, const UIEvent* event = nullptr) override;

private:
    void attachParts();
    template<typename T> const std::shared_ptr<T>& attached(const std::shared_ptr<T>& part)
    {
        attachParts();
        return part;
    }
    void makeItems();
    void updateImages();
    void updateTexts();
    void updateIndicator();

    std::shared_ptr<UIView> m_topContainer;
    std::shared_ptr<UIView> m_bottomContainer;
    std::shared_ptr<SJEdgeControlButtonItemAdapter> m_topAdapter;
    std::shared_ptr<SJEdgeControlButtonItemAdapter> m_bottomAdapter;
    std::shared_ptr<SJEdgeControlButtonItemAdapter> m_centerAdapter;
    std::shared_ptr<UIActivityIndicatorView> m_loadingView;
    std::shared_ptr<UIView> m_bottomIndicator;
    std::shared_ptr<UIView> m_bottomIndicatorTrace;
    std::shared_ptr<UILabel> m_titleLabel;
    std::shared_ptr<UILabel> m_currentTimeLabel;
    std::shared_ptr<UILabel> m_separatorLabel;
    std::shared_ptr<UILabel> m_durationLabel;
    std::shared_ptr<SJProgressSlider> m_progress;

    SJEdgeControlLayerState m_state;
    bool m_attached = false;
    bool m_stateShown = false;
    bool m_appeared = true;
    CGFloat m_bottomHeight = defaultRowHeight;
    bool m_fixesBackItem = true;
    bool m_showsMoreItem = true;
    bool m_hiddenBottomIndicator = false;
    bool m_hiddenTitleInPortrait = false;
    bool m_automaticRotation = true;
};

// "mm:ss", or "h:mm:ss" from an hour on; negative or not finite counts as 0.
std::string SJEdgeControlLayerTimeText(double seconds);
