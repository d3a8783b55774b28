#include "platform/net/URLOrigin.h"

#include "platform/net/AbsoluteURL.h"

#include <algorithm>
#include <cctype>
#include <curl/curl.h>
#include <memory>

namespace {

struct URLDeleter {
    void operator()(CURLU* handle) const { curl_url_cleanup(handle); }
};

std::optional<std::string> part(CURLU* handle, CURLUPart which, unsigned flags = 0)
{
    char* text = nullptr;
    if (curl_url_get(handle, which, &text, flags) != CURLUE_OK || !text)
        return std::nullopt;
    std::string value(text);
    curl_free(text);
    return value;
}

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}

std::optional<URLOrigin> URLOrigin::of(std::string_view url)
{
    std::string text(url);
    if (!isAbsoluteURL(text, { "http", "https" }))
        return std::nullopt;
    std::unique_ptr<CURLU, URLDeleter> handle(curl_url());
    if (!handle || curl_url_set(handle.get(), CURLUPART_URL, text.c_str(), 0) != CURLUE_OK)
        return std::nullopt;
    std::optional<std::string> scheme = part(handle.get(), CURLUPART_SCHEME);
    std::optional<std::string> host = part(handle.get(), CURLUPART_HOST);
    std::optional<std::string> port = part(handle.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT);
    if (!scheme || !host || host->empty() || !port)
        return std::nullopt;
    URLOrigin origin { lowered(*scheme), lowered(*host), 0 };
    for (char digit : *port) {
        if (digit < '0' || digit > '9' || origin.port > 65535)
            return std::nullopt;
        origin.port = origin.port * 10 + (digit - '0');
    }
    if (origin.port <= 0 || origin.port > 65535)
        return std::nullopt;
    return origin;
}
