#pragma once

#include <string_view>

// Plain keys of the standard defaults store (the typed ones are StoreData).
namespace DefaultsKey {
inline constexpr std::string_view mainURL
    = "main_url"; // String: API base learnt from the server-address file
inline constexpr std::string_view shortURL = "short_url"; // String: short-video list address
inline constexpr std::string_view captchaURL
    = "captcha_url"; // String: captcha page (written, not read at start)
inline constexpr std::string_view helpURL = "help_url"; // String: help page (written, not read at start)
inline constexpr std::string_view websocketURL
    = "websocket_url"; // String: chat socket (written, not read at start)
inline constexpr std::string_view cleanAD = "cleanAD"; // Bool: hidden ad-free mode
inline constexpr std::string_view newNotice = "new_notice"; // String: decimal total of the notice list
inline constexpr std::string_view appConfig
    = "appConfig"; // String: JSON text of the last server configuration
}
