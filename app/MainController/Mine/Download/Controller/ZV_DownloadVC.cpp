#include "app/MainController/Mine/Download/Controller/ZV_DownloadVC.h"

#include "app/MainController/Root/ZVTabPageTitle.h"

void ZV_DownloadVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    setTitle("本地下载");
    addTabPageTitle(*view(), "本地下载");
}
