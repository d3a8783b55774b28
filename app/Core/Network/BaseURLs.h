#pragma once

#include <string>

// The five server addresses. Every request site reads them when it builds its URL, so a change
// (cached value at start, then the server-address file) applies to every later request.
// Compiled-in defaults come from the information keys MainURL, ShortURL, CaptchaURL, HelpURL and
// WebSocketURL. Main thread only.
struct BaseURLs {
    static std::string& main_url(); // API base, ends in "/api/"
    static std::string& short_url(); // short-video list, used with an empty path
    static std::string& captcha_url();
    static std::string& help_url();
    static std::string& websocket_url();

    // Puts all five back to their compiled-in defaults, as a fresh start does (tests).
    static void resetToDefaults();
};
