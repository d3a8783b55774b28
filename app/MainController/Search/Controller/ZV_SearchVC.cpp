#include "app/MainController/Search/Controller/ZV_SearchVC.h"

#include "app/MainController/Root/ZVTabPageTitle.h"

void ZV_SearchVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    addTabPageTitle(*view(), "搜索 " + keyword.value_or(""));
}
