#include "app/Core/Helpers/NoticeHelpers.h"

#include "app/Core/Config/ConfigSingleton.h"
#include "platform/foundation/UserDefaults.h"

#include <optional>
#include <string>

bool hasNewNotice()
{
    std::optional<std::string> stored = UserDefaults::standard().stringForKey("new_notice");
    std::optional<std::string> configured;
    if (const auto& config = ConfigSingleton::shared().zv_configData)
        configured = config->new_notice;
    return stored != configured;
}
