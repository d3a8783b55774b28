#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"

#include "platform/ui/UIColor.h"

void ZV_DetailVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    view()->setBackgroundColor(UIColor::systemBackground());
    setTitle("影片 " + vod_id);
}
