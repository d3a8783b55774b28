#include "platform/media/cache/MCSURL.h"

#include "platform/foundation/Base64.h"

#include <algorithm>
#include <cctype>
#include <curl/curl.h>
#include <memory>

namespace MCSURL {

namespace {

struct URLDeleter {
    void operator()(CURLU* handle) const { curl_url_cleanup(handle); }
};
using URLHandle = std::unique_ptr<CURLU, URLDeleter>;

struct CurlString {
    char* text = nullptr;
    ~CurlString() { curl_free(text); }
};

// The whole URL of the handle when it is http or https with a host.
std::optional<std::string> httpURL(CURLU* handle)
{
    CurlString scheme;
    CurlString host;
    CurlString url;
    if (curl_url_get(handle, CURLUPART_SCHEME, &scheme.text, 0) != CURLUE_OK
        || curl_url_get(handle, CURLUPART_HOST, &host.text, 0) != CURLUE_OK
        || curl_url_get(handle, CURLUPART_URL, &url.text, 0) != CURLUE_OK)
        return std::nullopt;
    std::string_view schemeText(scheme.text);
    if ((schemeText != "http" && schemeText != "https") || host.text[0] == '\0')
        return std::nullopt;
    return std::string(url.text);
}

bool hasControlCharacter(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) {
        auto byte = static_cast<unsigned char>(c);
        return byte <= 0x20 || byte == 0x7F;
    });
}

// The path of the address without query and fragment.
std::string_view pathOf(std::string_view url)
{
    std::size_t end = url.find_first_of("?#");
    if (end != std::string_view::npos)
        url = url.substr(0, end);
    std::size_t scheme = url.find("://");
    if (scheme != std::string_view::npos) {
        std::size_t slash = url.find('/', scheme + 3);
        url = slash == std::string_view::npos ? std::string_view() : url.substr(slash);
    }
    return url;
}

std::string_view lastSegment(std::string_view url)
{
    std::string_view path = pathOf(url);
    std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}

std::optional<std::string> normalizedHTTP(std::string_view url)
{
    if (url.empty() || url.size() > 8192 || hasControlCharacter(url))
        return std::nullopt;
    URLHandle handle(curl_url());
    if (!handle || curl_url_set(handle.get(), CURLUPART_URL, std::string(url).c_str(), 0) != CURLUE_OK)
        return std::nullopt;
    return httpURL(handle.get());
}

std::optional<std::string> resolve(std::string_view base, std::string_view reference)
{
    if (reference.empty() || reference.size() > 8192 || hasControlCharacter(reference))
        return std::nullopt;
    URLHandle handle(curl_url());
    if (!handle || curl_url_set(handle.get(), CURLUPART_URL, std::string(base).c_str(), 0) != CURLUE_OK)
        return std::nullopt;
    // With a URL already set, curl resolves a relative one against it.
    if (curl_url_set(handle.get(), CURLUPART_URL, std::string(reference).c_str(), 0) != CURLUE_OK)
        return std::nullopt;
    return httpURL(handle.get());
}

std::string leafName(std::string_view url)
{
    std::string name;
    for (char c : lastSegment(url)) {
        if (name.size() >= 64)
            break;
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.')
            name += c;
    }
    if (name.empty() || name == "." || name == "..")
        return "media";
    return name;
}

std::string extension(std::string_view url)
{
    std::string_view segment = lastSegment(url);
    std::size_t dot = segment.rfind('.');
    if (dot == std::string_view::npos)
        return {};
    std::string_view ext = segment.substr(dot + 1);
    if (ext.empty() || ext.size() > 8 || !std::all_of(ext.begin(), ext.end(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c));
        }))
        return {};
    std::string lower(ext);
    std::transform(lower.begin(), lower.end(), lower.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

bool isSafeComponent(std::string_view name)
{
    if (name.empty() || name.size() > 128 || name == "." || name == "..")
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.';
    });
}

std::optional<std::filesystem::path> child(const std::filesystem::path& folder, std::string_view name)
{
    if (!isSafeComponent(name))
        return std::nullopt;
    return folder / std::string(name);
}

std::string base64URLEncode(std::string_view bytes)
{
    std::string text = Base64::encode(Data(bytes.begin(), bytes.end()));
    while (!text.empty() && text.back() == '=')
        text.pop_back();
    for (char& c : text) {
        if (c == '+')
            c = '-';
        else if (c == '/')
            c = '_';
    }
    return text;
}

std::optional<std::string> base64URLDecode(std::string_view text)
{
    std::string standard(text);
    for (char& c : standard) {
        if (c == '-')
            c = '+';
        else if (c == '_')
            c = '/';
        else if (c == '+' || c == '/' || c == '=')
            return std::nullopt;
    }
    while (standard.size() % 4 != 0)
        standard += '=';
    auto data = Base64::decode(standard);
    if (!data)
        return std::nullopt;
    return stringFromData(*data);
}

}
