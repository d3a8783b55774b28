#include "app/Core/Start/TourSteps.h"

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"
#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "app/MainController/Search/Controller/ZV_SearchVC.h"
#include "platform/ui/device/DeviceShell.h"

#include <memory>

namespace {

// A step's argument: its first word, without the blanks around it.
std::string firstWord(const std::string& rest)
{
    std::size_t begin = rest.find_first_not_of(" \t");
    if (begin == std::string::npos)
        return {};
    std::size_t end = rest.find_first_of(" \t", begin);
    return rest.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

}

void registerTourSteps()
{
    registerDeviceShellCommand("open-search", [](const std::string&) -> std::optional<std::string> {
        ZV_Tools::getCurrentVC()->show(std::make_shared<ZV_SearchVC>());
        return std::nullopt;
    });
    registerDeviceShellCommand("open-title", [](const std::string& rest) -> std::optional<std::string> {
        std::string id = firstWord(rest);
        if (id.empty())
            return std::string("usage: open-title <title id>");
        auto detail = std::make_shared<ZV_DetailVC>();
        detail->vod_id = id;
        ZV_Tools::getCurrentVC()->show(detail);
        return std::nullopt;
    });
    registerDeviceShellCommand("load-app-config", [](const std::string&) -> std::optional<std::string> {
        ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), "v1/app/config", JSON::object(),
            [](std::optional<JSON> json, std::optional<NSError>) {
                if (json && json->dictionary())
                    ConfigSingleton::shared().zv_configData = std::make_shared<const ZV_ConfigData>(*json);
            });
        return std::nullopt;
    });
}
