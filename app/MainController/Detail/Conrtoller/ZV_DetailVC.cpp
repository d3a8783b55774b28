#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"

#include "app/MainController/Root/ZVTabPageTitle.h"

void ZV_DetailVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    setTitle("详情");
    addTabPageTitle(*view(), "影片 " + vod_id);
}
