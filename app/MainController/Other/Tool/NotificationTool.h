#pragma once

#include <optional>
#include <string_view>

// The in-app notification names that screens post to each other on the default notification
// centre. Posters and observers use exactly these strings.
class NotificationTool {
public:
    enum class Notification {
        loginSuccess, // a login or a registration succeeded (no object)
        logoutSuccess, // the viewer logged out or changed the password (no object)
        noti, // the notice count may have changed: the "my" tab recomputes its dot (no object)
        collect, // a favourite toggle was answered (object: the title id, when known)
        pureMode, // teen mode changed; the new value is already stored (no object)
        chatNum, // the chat screen has loaded: the chat badge clears (no object)
    };

    static constexpr std::string_view rawValue(Notification notification)
    {
        switch (notification) {
        case Notification::loginSuccess:
            return "loginSuccess";
        case Notification::logoutSuccess:
            return "logoutSuccess";
        case Notification::noti:
            return "noti";
        case Notification::collect:
            return "collect";
        case Notification::pureMode:
            return "pureMode";
        case Notification::chatNum:
            return "chatNum";
        }
        return {};
    }

    // Exactly one of the six names (letter case counts); none for anything else.
    static std::optional<Notification> fromRawValue(std::string_view name);
};
