#include "app/MainController/Ranking/Controller/ZV_RankingMainVC.h"

#include "app/MainController/Root/ZVTabPageTitle.h"
#include "platform/ui/UIColor.h"

void ZV_RankingMainVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    // The root's ranking picture is this page's backdrop.
    view()->setBackgroundColor(UIColor::clear());
    addTabPageTitle(*view(), "排行");
}

void ZV_RankingMainVC::viewWillAppear(bool animated)
{
    BaseViewController::viewWillAppear(animated);
    showRootBackground("ranking_bg");
}

void ZV_RankingMainVC::viewWillDisappear(bool animated)
{
    BaseViewController::viewWillDisappear(animated);
    hideRootBackground();
}
