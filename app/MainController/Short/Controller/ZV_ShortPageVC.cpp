#include "app/MainController/Short/Controller/ZV_ShortPageVC.h"

#include "app/MainController/Root/ZVTabPageTitle.h"

void ZV_ShortPageVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    addTabPageTitle(*view(), "短剧");
}
