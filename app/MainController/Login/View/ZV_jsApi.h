#pragma once

#include "platform/ui/web/DWKWebView.h"

#include <functional>
#include <string>

// The script object of the captcha page: its one synchronous method `jsIOS` takes the page's
// result text, hands it to getResult (when set) and always answers "[Swift sync call:jsIOS]".
class ZV_jsApi : public JavascriptObject {
public:
    static constexpr const char* methodName = "jsIOS";

    ZV_jsApi();

    std::function<void(const std::string&)> getResult;

    std::string jsIOS(const std::string& argument);
};
