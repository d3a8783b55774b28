#include "app/MainController/Other/Tool/NotificationTool.h"

std::optional<NotificationTool::Notification> NotificationTool::fromRawValue(std::string_view name)
{
    for (Notification candidate : { Notification::loginSuccess, Notification::logoutSuccess,
             Notification::noti, Notification::collect, Notification::pureMode, Notification::chatNum }) {
        if (rawValue(candidate) == name)
            return candidate;
    }
    return std::nullopt;
}
