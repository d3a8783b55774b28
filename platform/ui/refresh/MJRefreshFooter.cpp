#include "platform/ui/refresh/MJRefreshFooter.h"

MJRefreshFooter::MJRefreshFooter(RefreshingBlock refreshingBlock)
    : MJRefreshComponent(std::move(refreshingBlock))
{
    setFrame({ {}, { 0, height } });
}
