#include "app/MainController/Home/Controller/ZV_MainHomeViewController.h"

#include "app/MainController/Other/Tool/NotificationTool.h"
#include "app/MainController/Root/ZVTabPageTitle.h"
#include "platform/foundation/NotificationCenter.h"

ZV_MainHomeViewController::~ZV_MainHomeViewController()
{
    NotificationCenter::defaultCenter().removeObservers(this);
}

void ZV_MainHomeViewController::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    addTabPageTitle(*view(), "首页");
    std::weak_ptr<ZV_MainHomeViewController> weakSelf
        = std::static_pointer_cast<ZV_MainHomeViewController>(sharedFromThis());
    NotificationCenter::defaultCenter().addObserver(
        std::string(NotificationTool::rawValue(NotificationTool::Notification::pureMode)),
        [weakSelf](const Notification&) {
            if (auto self = weakSelf.lock())
                self->reloadData();
        },
        this);
}

void ZV_MainHomeViewController::reloadData()
{
    // The feed is not built yet: nothing to load again.
}
