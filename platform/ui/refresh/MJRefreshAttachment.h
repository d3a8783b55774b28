#pragma once

#include "platform/ui/lists/UIScrollView.h"
#include "platform/ui/refresh/MJRefreshFooter.h"
#include "platform/ui/refresh/MJRefreshHeader.h"

#include <memory>

// A scroll view's pull-to-refresh controls (its mj_header and mj_footer). Setting one puts it in
// the scroll view (over the content's views) in place of the previous one, which is taken out;
// nullptr just takes the previous one out. The scroll view owns its controls as subviews.
std::shared_ptr<MJRefreshHeader> mjHeader(const UIScrollView& scrollView);
void setMjHeader(UIScrollView& scrollView, std::shared_ptr<MJRefreshHeader> header);
std::shared_ptr<MJRefreshFooter> mjFooter(const UIScrollView& scrollView);
void setMjFooter(UIScrollView& scrollView, std::shared_ptr<MJRefreshFooter> footer);
