#include "app/MainController/Mine/Collect/ZV_CollectVC.h"

#include "app/MainController/Root/ZVTabPageTitle.h"

void ZV_CollectVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    addTabPageTitle(*view(), "我的收藏");
}
