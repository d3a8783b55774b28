#include "app/MainController/Chat/Controller/ZV_ChatMainVC.h"

#include "app/MainController/Other/Tool/KeyboardNotificationTool.h"
#include "app/MainController/Other/Tool/NotificationTool.h"
#include "app/MainController/Root/ZVTabPageTitle.h"
#include "platform/foundation/NotificationCenter.h"

ZV_ChatMainVC::ZV_ChatMainVC() = default;

ZV_ChatMainVC::~ZV_ChatMainVC()
{
    NotificationCenter::defaultCenter().removeObservers(this);
}

void ZV_ChatMainVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    addTabPageTitle(*view(), "聊天");

    NotificationCenter& center = NotificationCenter::defaultCenter();
    std::weak_ptr<ZV_ChatMainVC> weakSelf = std::static_pointer_cast<ZV_ChatMainVC>(sharedFromThis());
    for (auto name :
        { NotificationTool::Notification::loginSuccess, NotificationTool::Notification::logoutSuccess }) {
        center.addObserver(
            std::string(NotificationTool::rawValue(name)),
            [weakSelf](const Notification&) {
                if (auto self = weakSelf.lock())
                    self->reloadData();
            },
            this);
    }
    center.post(std::string(NotificationTool::rawValue(NotificationTool::Notification::chatNum)));

    m_keyboardTool = std::make_unique<KeyboardNotificationTool>(weakSelf);
    m_keyboardTool->observeKeyboard(center);
}

void ZV_ChatMainVC::reloadData()
{
    // The room is not built yet: nothing to load again.
}
