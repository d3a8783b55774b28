#pragma once

#include "platform/ui/UIScreen.h"

#include <functional>
#include <memory>

class UIView;
class UIWindow;

// The player framework's rotation manager.
//
// Class side, as far as the application delegate asks it: which orientations a window may take.
// The app stands in portrait; a player in full screen widens the set to landscape while it is
// there and narrows it again when it returns.
//
// Instance side, one per player: full screen on the simulated device. Turning to full screen
// turns the interface to landscape and moves the player's turning view into a window of its own
// over the app, filling the screen (the key window meanwhile, so that touches reach it); turning
// back puts the view back into its place in portrait and gives the key back.
// A turn is a transition of `transitionDuration` on the dispatch clock: the observer hears its
// start (the new state already holds) and its end. With autorotation on, the device's own turns
// (UIDevice orientation) turn a player that is on screen. Main thread.
class SJRotationManager {
public:
    static constexpr double transitionDuration = 0.4;

    static unsigned supportedInterfaceOrientationsForWindow(const UIWindow* window);

    // Portrait unless a screen says otherwise.
    static void setSupportedInterfaceOrientations(unsigned mask);
    static void resetForTesting();

    using TransitionHandler = std::function<void(SJRotationManager& manager, bool isTransitioning)>;
    using Completion = std::function<void(SJRotationManager& manager)>;

    SJRotationManager();
    ~SJRotationManager();
    SJRotationManager(const SJRotationManager&) = delete;
    SJRotationManager& operator=(const SJRotationManager&) = delete;

    // The view that turns and the view it belongs in while in portrait (the player's views).
    void setViews(std::weak_ptr<UIView> rotatingView, std::weak_ptr<UIView> portraitSuperview);
    // Told at the start and at the end of every turn.
    void setTransitionHandler(TransitionHandler handler) { m_transitionHandler = std::move(handler); }

    bool isFullscreen() const { return UIInterfaceOrientationIsLandscape(m_orientation); }
    bool isTransitioning() const { return m_transitioning; }
    UIInterfaceOrientation currentOrientation() const { return m_orientation; }

    bool isDisabledAutorotation() const { return m_disabledAutorotation; }
    void setDisabledAutorotation(bool disabled) { m_disabledAutorotation = disabled; }

    // Turns to full screen from portrait and back.
    void rotate();
    // Turns to the orientation; nothing happens while a turn is under way or when the player
    // already stands so (the completion runs all the same).
    void rotate(UIInterfaceOrientation orientation, bool animated, Completion completion = {});

private:
    void deviceOrientationDidChange();
    void placeRotatingView();
    void endTransition(Completion completion);

    std::weak_ptr<UIView> m_rotatingView;
    std::weak_ptr<UIView> m_portraitSuperview;
    std::shared_ptr<UIWindow> m_fullscreenWindow;
    std::weak_ptr<UIWindow> m_previousKeyWindow;
    TransitionHandler m_transitionHandler;
    UIInterfaceOrientation m_orientation = UIInterfaceOrientation::portrait;
    bool m_transitioning = false;
    bool m_disabledAutorotation = false;
    // Scheduled ends of turns and notification handlers check it, so none outlives the manager.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

// What a player's owner hears of its rotation manager.
struct SJRotationObserver {
    SJRotationManager::TransitionHandler onTransitioningChanged;
};
