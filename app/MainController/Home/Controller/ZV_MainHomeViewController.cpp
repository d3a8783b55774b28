#include "app/MainController/Home/Controller/ZV_MainHomeViewController.h"

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/MainController/Mine/Setting/ZV_PureAlertView.h"
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
    // Until the viewer has answered it, the teen-mode prompt comes up over the whole window.
    ZV_PureAlertView::showIfNeeded(sharedFromThis());
    reloadData();
}

void ZV_MainHomeViewController::reloadData()
{
    // The feed is not built yet; the server configuration is, for the whole app.
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), "v1/app/config", JSON::object(),
        [](std::optional<JSON> json, std::optional<NSError>) {
            if (!json || json->type() != JSON::Type::Object)
                return;
            ConfigSingleton::shared().zv_configData = std::make_shared<const ZV_ConfigData>(*json);
            // The notice dots compare against the new count.
            NotificationCenter::defaultCenter().post(
                std::string(NotificationTool::rawValue(NotificationTool::Notification::noti)));
        });
}
