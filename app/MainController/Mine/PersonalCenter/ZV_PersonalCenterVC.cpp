#include "app/MainController/Mine/PersonalCenter/ZV_PersonalCenterVC.h"

#include "app/MainController/Other/Tool/NotificationTool.h"
#include "app/MainController/Root/ZVTabPageTitle.h"
#include "platform/foundation/NotificationCenter.h"

ZV_PersonalCenterVC::~ZV_PersonalCenterVC()
{
    NotificationCenter::defaultCenter().removeObservers(this);
}

void ZV_PersonalCenterVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    addTabPageTitle(*view(), "我的");
    std::weak_ptr<ZV_PersonalCenterVC> weakSelf
        = std::static_pointer_cast<ZV_PersonalCenterVC>(sharedFromThis());
    for (auto name :
        { NotificationTool::Notification::loginSuccess, NotificationTool::Notification::logoutSuccess }) {
        NotificationCenter::defaultCenter().addObserver(
            std::string(NotificationTool::rawValue(name)),
            [weakSelf](const Notification&) {
                if (auto self = weakSelf.lock())
                    self->reloadData();
            },
            this);
    }
}

void ZV_PersonalCenterVC::reloadData()
{
    // The page has no data of its own yet.
}
