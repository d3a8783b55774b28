#pragma once

#include "platform/foundation/Date.h"
#include "platform/ui/refresh/MJRefreshComponent.h"

#include <optional>
#include <string>

// A control above the content that refreshes when the list is pulled down past its height and
// let go. While refreshing, the scroll view's top inset grows by the header's height so that the
// header stays in view; its refreshing block runs when that move has finished
// (fastAnimationDuration). endRefreshing() gives the inset back and notes the time of the
// refresh.
class MJRefreshHeader : public MJRefreshComponent {
public:
    static constexpr CGFloat height = 54;

    explicit MJRefreshHeader(RefreshingBlock refreshingBlock = {});

    std::string className() const override { return "MJRefreshHeader"; }

    // Headers with the same key share the time of their last refresh (kept for the process).
    std::string lastUpdatedTimeKey = "MJRefreshHeaderLastUpdatedTimeKey";
    std::optional<Date> lastUpdatedTime() const;
    // Part of the scroll view's top inset that the header sits above.
    CGFloat ignoredScrollViewContentInsetTop = 0;

    void setState(MJRefreshState state) override;

protected:
    void placeSubviews() override;
    void scrollViewContentOffsetDidChange() override;
    void willLeaveScrollView(UIScrollView& scrollView) override;

private:
    void growInset();
    void restoreInset();

    CGFloat m_insetTopDelta = 0;
    bool m_insetGrown = false;
    unsigned m_refreshGeneration = 0;
};
