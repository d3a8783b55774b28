#pragma once

#include "platform/ui/UIView.h"
#include "platform/ui/gestures/UIPanGestureRecognizer.h"

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class Timer;
class UIScrollView;

// What a scroll view tells its delegate. Every method is optional (empty by default).
class UIScrollViewDelegate {
public:
    virtual ~UIScrollViewDelegate() = default;

    // The content offset changed (drag, deceleration, animation or code).
    virtual void scrollViewDidScroll(UIScrollView&) { }
    virtual void scrollViewWillBeginDragging(UIScrollView&) { }
    // At the lift of the finger. `velocity` is in points per millisecond, as on the phone;
    // `targetContentOffset` is where the content will come to rest and may be changed.
    virtual void scrollViewWillEndDragging(
        UIScrollView&, CGPoint /*velocity*/, CGPoint& /*targetContentOffset*/)
    { }
    virtual void scrollViewDidEndDragging(UIScrollView&, bool /*willDecelerate*/) { }
    virtual void scrollViewWillBeginDecelerating(UIScrollView&) { }
    virtual void scrollViewDidEndDecelerating(UIScrollView&) { }
    // After setContentOffset(animated) or scrollRectToVisible(animated) has come to rest.
    virtual void scrollViewDidEndScrollingAnimation(UIScrollView&) { }
    // The status bar was tapped and the content went back to its top.
    virtual bool scrollViewShouldScrollToTop(UIScrollView&) { return true; }
    virtual void scrollViewDidScrollToTop(UIScrollView&) { }

    // The view whose size the zoom scale multiplies; none means the content does not zoom.
    virtual std::shared_ptr<UIView> viewForZooming(UIScrollView&) { return nullptr; }
    virtual void scrollViewDidZoom(UIScrollView&) { }
    virtual void scrollViewDidEndZooming(UIScrollView&, UIView* /*view*/, CGFloat /*scale*/) { }
};

enum class UIScrollViewContentInsetAdjustmentBehavior {
    // Vertical edges always, horizontal edges when the content scrolls horizontally.
    automatic,
    // Each axis when the content scrolls along it.
    scrollableAxes,
    never,
    always,
};

enum class UIScrollViewKeyboardDismissMode {
    none,
    // A drag resigns the first responder.
    onDrag,
    interactive,
};

// What an observer of a scroll view hears about (the platform's key-value observation of
// contentOffset, contentSize, contentInset and the pan recogniser's state).
enum class UIScrollViewChange { contentOffset, contentSize, contentInset, panState };

// A view whose bounds origin (the content offset) moves over a larger content. Its own pan
// recogniser drags the content; a release decelerates to a target computed at once: the offset
// jumps there, and the end-of-deceleration callback follows `decelerationDuration` later on the
// run loop's clock. Paging rests on whole multiples of the bounds size. Zooming scales the
// delegate's `viewForZooming` with a transform; the content size follows its scaled frame.
class UIScrollView : public UIView {
public:
    static constexpr double decelerationDuration = 0.5;
    static constexpr double scrollAnimationDuration = 0.3;
    // Release speed (points per second) above which a paging scroll view turns the page.
    static constexpr CGFloat pagingVelocityThreshold = 300;
    // Deceleration rate per millisecond of the phone's normal scrolling.
    static constexpr CGFloat decelerationRateNormal = 0.998;
    static constexpr CGFloat decelerationRateFast = 0.99;

    UIScrollView();
    explicit UIScrollView(const CGRect& frame);
    ~UIScrollView() override;

    std::string className() const override { return "UIScrollView"; }

    // Held weakly.
    std::shared_ptr<UIScrollViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<UIScrollViewDelegate> delegate) { m_delegate = std::move(delegate); }

    // Observers beside the delegate (pull-to-refresh controls and the like), told after each
    // change; an observer may remove itself while being told.
    using Observer = std::function<void(UIScrollView&, UIScrollViewChange)>;
    using ObserverId = int;
    ObserverId addObserver(Observer observer);
    void removeObserver(ObserverId id);

    // ---- Content ----
    CGPoint contentOffset() const { return bounds().origin; }
    void setContentOffset(CGPoint offset);
    // Animated: the offset is set at once; scrollViewDidEndScrollingAnimation follows after
    // scrollAnimationDuration.
    void setContentOffset(CGPoint offset, bool animated);
    CGSize contentSize() const { return m_contentSize; }
    void setContentSize(CGSize size);
    UIEdgeInsets contentInset() const { return m_contentInset; }
    void setContentInset(UIEdgeInsets insets);
    // contentInset plus the safe-area insets that the adjustment behaviour takes in.
    UIEdgeInsets adjustedContentInset() const;
    UIScrollViewContentInsetAdjustmentBehavior contentInsetAdjustmentBehavior() const
    {
        return m_adjustmentBehavior;
    }
    void setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior behavior);
    // The smallest and largest offsets at rest (from the adjusted insets and the content size).
    CGPoint minimumContentOffset() const;
    CGPoint maximumContentOffset() const;
    // Scrolls the least needed to show the rectangle (content coordinates).
    void scrollRectToVisible(const CGRect& rect, bool animated);
    // What a tap on the status bar does: back to the top when scrollsToTop and the delegate agree.
    bool scrollToTopFromStatusBar();

    // ---- Behaviour ----
    bool isScrollEnabled() const { return m_scrollEnabled; }
    void setScrollEnabled(bool enabled);
    bool isPagingEnabled() const { return m_pagingEnabled; }
    void setPagingEnabled(bool enabled) { m_pagingEnabled = enabled; }
    bool bounces() const { return m_bounces; }
    void setBounces(bool bounces) { m_bounces = bounces; }
    bool alwaysBounceVertical() const { return m_alwaysBounceVertical; }
    void setAlwaysBounceVertical(bool bounce) { m_alwaysBounceVertical = bounce; }
    bool alwaysBounceHorizontal() const { return m_alwaysBounceHorizontal; }
    void setAlwaysBounceHorizontal(bool bounce) { m_alwaysBounceHorizontal = bounce; }
    bool scrollsToTop() const { return m_scrollsToTop; }
    void setScrollsToTop(bool scrolls) { m_scrollsToTop = scrolls; }
    CGFloat decelerationRate() const { return m_decelerationRate; }
    void setDecelerationRate(CGFloat rate) { m_decelerationRate = rate; }
    UIScrollViewKeyboardDismissMode keyboardDismissMode() const { return m_keyboardDismissMode; }
    void setKeyboardDismissMode(UIScrollViewKeyboardDismissMode mode) { m_keyboardDismissMode = mode; }
    // Scroll indicators are not drawn; the flags are kept for the screens that set them.
    bool showsVerticalScrollIndicator() const { return m_showsVerticalIndicator; }
    void setShowsVerticalScrollIndicator(bool shows) { m_showsVerticalIndicator = shows; }
    bool showsHorizontalScrollIndicator() const { return m_showsHorizontalIndicator; }
    void setShowsHorizontalScrollIndicator(bool shows) { m_showsHorizontalIndicator = shows; }

    // ---- State ----
    // Finger down on the content and moved far enough to drag.
    bool isDragging() const { return m_dragging; }
    bool isTracking() const { return m_dragging; }
    bool isDecelerating() const { return m_decelerating; }
    bool isZooming() const { return false; }
    bool isZoomBouncing() const { return false; }
    // The recogniser that drags the content (others may be told to wait for it).
    const std::shared_ptr<UIPanGestureRecognizer>& panGestureRecognizer() const { return m_pan; }
    // Whether a drag along the axis would move the content.
    bool canScrollHorizontally() const;
    bool canScrollVertically() const;
    // A flick by other means than a finger (a desktop's wheel): a drag let go at once at
    // `velocity` (points per second, towards the end of the content), so a paging view turns to
    // the next page that way and the delegate hears the drag end and the deceleration. Ignored
    // while the content is held or already on its way; false then or when it would not move.
    bool flick(CGPoint velocity);
    // Where a flick at `velocity` would bring the content to rest (its offset when it would not
    // move).
    CGPoint flickTarget(CGPoint velocity) const;

    // ---- Zoom ----
    CGFloat minimumZoomScale() const { return m_minimumZoomScale; }
    void setMinimumZoomScale(CGFloat scale);
    CGFloat maximumZoomScale() const { return m_maximumZoomScale; }
    void setMaximumZoomScale(CGFloat scale);
    CGFloat zoomScale() const { return m_zoomScale; }
    // Clamped to the limits; keeps the middle of the visible part in place. Nothing happens
    // without a view for zooming.
    void setZoomScale(CGFloat scale, bool animated = false);
    // Zooms so that the rectangle (in the zooming view's own coordinates) fills the bounds as far
    // as the limits allow, centred on it.
    void zoomTo(const CGRect& rect, bool animated);

    void setBounds(const CGRect& bounds) override;
    void setFrame(const CGRect& frame) override;
    // Attaches the scroll view's pan recogniser; overrides call the base.
    void didMoveToSuperview() override;
    // Keeps a resting offset at rest when the adjusted insets change (safe area, insets).
    void layoutSubviews() override;

protected:
    // The offset moved; list views place their cells here. Runs before scrollViewDidScroll.
    virtual void contentOffsetDidChange() { }
    // The bounds size changed.
    virtual void boundsSizeDidChange() { }

private:
    void setUp();
    void handlePan(UIPanGestureRecognizer& pan);
    void beginDrag();
    void endDrag(CGPoint velocity);
    CGPoint clampedOffset(CGPoint offset) const;
    CGPoint rubberBandedOffset(CGPoint proposed) const;
    CGPoint decelerationTarget(CGPoint offset, CGPoint velocity) const;
    void stopDeceleration();
    void scheduleAfter(double seconds, std::function<void(UIScrollView&)> action);
    void applyZoom(CGFloat scale, std::optional<CGPoint> focusInZoomView);
    void keepOffsetAtRest(const UIEdgeInsets& previousAdjusted);
    void notifyObservers(UIScrollViewChange change);

    std::weak_ptr<UIScrollViewDelegate> m_delegate;
    std::shared_ptr<UIPanGestureRecognizer> m_pan;
    std::shared_ptr<Timer> m_pending;
    std::vector<std::pair<ObserverId, Observer>> m_observers;
    ObserverId m_nextObserverId = 1;
    CGSize m_contentSize;
    UIEdgeInsets m_contentInset;
    UIEdgeInsets m_lastAdjustedInset;
    UIScrollViewContentInsetAdjustmentBehavior m_adjustmentBehavior
        = UIScrollViewContentInsetAdjustmentBehavior::automatic;
    UIScrollViewKeyboardDismissMode m_keyboardDismissMode = UIScrollViewKeyboardDismissMode::none;
    CGFloat m_decelerationRate = decelerationRateNormal;
    CGFloat m_minimumZoomScale = 1;
    CGFloat m_maximumZoomScale = 1;
    CGFloat m_zoomScale = 1;
    CGPoint m_dragStartOffset;
    bool m_scrollEnabled = true;
    bool m_pagingEnabled = false;
    bool m_bounces = true;
    bool m_alwaysBounceVertical = false;
    bool m_alwaysBounceHorizontal = false;
    bool m_scrollsToTop = true;
    bool m_showsVerticalIndicator = true;
    bool m_showsHorizontalIndicator = true;
    bool m_dragging = false;
    bool m_decelerating = false;
};
