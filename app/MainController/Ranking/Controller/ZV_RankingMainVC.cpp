#include "app/MainController/Ranking/Controller/ZV_RankingMainVC.h"

#include "app/MainController/Root/ZVTabPageTitle.h"

void ZV_RankingMainVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
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
