#pragma once

#include "platform/ui/refresh/MJRefreshFooter.h"

// A footer right after the content that refreshes by itself when the list is scrolled far enough
// down to show it whole (or, for content shorter than the list, when the list is dragged up). It
// adds its height to the scroll view's bottom inset while it is shown.
class MJRefreshAutoFooter : public MJRefreshFooter {
public:
    explicit MJRefreshAutoFooter(RefreshingBlock refreshingBlock = {});

    std::string className() const override { return "MJRefreshAutoFooter"; }

    bool isAutomaticallyRefresh = true;
    // How much of the footer must show to refresh (1: all of it).
    CGFloat triggerAutomaticallyRefreshPercent = 1;

    void setState(MJRefreshState state) override;
    // A hidden footer gives its inset back and stops loading.
    void setHidden(bool hidden) override;

protected:
    void placeSubviews() override;
    void scrollViewContentSizeDidChange() override;
    void scrollViewContentOffsetDidChange() override;
    void scrollViewPanStateDidChange(UIGestureRecognizerState state) override;
    void willLeaveScrollView(UIScrollView& scrollView) override;
    void didJoinScrollView(UIScrollView& scrollView) override;

private:
    void adjustBottomInset(UIScrollView& scrollView, CGFloat delta);
    void placeBelowContent();
};
