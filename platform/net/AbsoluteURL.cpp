#include "platform/net/AbsoluteURL.h"

#include <algorithm>
#include <curl/curl.h>

bool isAbsoluteURL(const std::string& url, std::initializer_list<std::string_view> schemes)
{
    // curl's parser stops at a NUL; an embedded one would hide the rest of the text.
    if (url.find('\0') != std::string::npos)
        return false;
    CURLU* handle = curl_url();
    if (!handle)
        return false;
    bool valid = false;
    // Schemes curl does not speak itself (ws, wss) are still parsed as URLs.
    if (curl_url_set(handle, CURLUPART_URL, url.c_str(), CURLU_NON_SUPPORT_SCHEME) == CURLUE_OK) {
        char* scheme = nullptr;
        char* host = nullptr;
        if (curl_url_get(handle, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK
            && curl_url_get(handle, CURLUPART_HOST, &host, 0) == CURLUE_OK) {
            std::string_view schemeText(scheme);
            // curl also takes "http:/host" and "http:///host"; an absolute URL spells out
            // "scheme://" followed by its authority, not by another slash.
            std::size_t authority = schemeText.size() + 3;
            bool spelledOut = url.size() > authority && url.compare(schemeText.size(), 3, "://") == 0
                && url[authority] != '/' && url[authority] != '\\';
            valid = spelledOut && host[0] != '\0'
                && std::find(schemes.begin(), schemes.end(), schemeText) != schemes.end();
        }
        curl_free(scheme);
        curl_free(host);
    }
    curl_url_cleanup(handle);
    return valid;
}
