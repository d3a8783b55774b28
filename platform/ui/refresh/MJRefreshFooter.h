#pragma once

#include "platform/ui/refresh/MJRefreshComponent.h"

// A control under the content that loads the next page. Once everything is loaded the owner puts
// it into its no-more-data state, where it stays until reset or ended.
class MJRefreshFooter : public MJRefreshComponent {
public:
    static constexpr CGFloat height = 44;

    explicit MJRefreshFooter(RefreshingBlock refreshingBlock = {});

    std::string className() const override { return "MJRefreshFooter"; }

    // Part of the scroll view's bottom inset that the footer sits below.
    CGFloat ignoredScrollViewContentInsetBottom = 0;

    void endRefreshingWithNoMoreData() { setState(MJRefreshState::noMoreData); }
    // Back to idle from the no-more-data state.
    void resetNoMoreData() { setState(MJRefreshState::idle); }
};
