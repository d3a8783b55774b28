#include "app/Core/Network/BaseURLs.h"

#include "platform/foundation/Bundle.h"

namespace {

struct Values {
    std::string main;
    std::string shortVideo;
    std::string captcha;
    std::string help;
    std::string websocket;
};

std::string defaultFor(std::string_view key)
{
    return Bundle::main().infoString(key).value_or("");
}

Values defaults()
{
    return { defaultFor(InfoKey::MainURL), defaultFor(InfoKey::ShortURL), defaultFor(InfoKey::CaptchaURL),
        defaultFor(InfoKey::HelpURL), defaultFor(InfoKey::WebSocketURL) };
}

Values& values()
{
    static Values current = defaults();
    return current;
}

}

std::string& BaseURLs::main_url()
{
    return values().main;
}

std::string& BaseURLs::short_url()
{
    return values().shortVideo;
}

std::string& BaseURLs::captcha_url()
{
    return values().captcha;
}

std::string& BaseURLs::help_url()
{
    return values().help;
}

std::string& BaseURLs::websocket_url()
{
    return values().websocket;
}

void BaseURLs::resetToDefaults()
{
    values() = defaults();
}
