#include "platform/net/URLEncodedFormEncoder.h"

#include <array>

namespace {

// The bytes that stay as they are; every other byte becomes %XX.
constexpr auto kStaysAsIs = [] {
    std::array<bool, 256> table {};
    for (int c = 0; c < 256; ++c) {
        table[c] = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'
            || c == '.' || c == '_' || c == '~' || c == '/' || c == '?';
    }
    return table;
}();

}

std::string URLEncodedFormEncoder::escape(std::string_view text)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    // Sized first and written in place: a request's pack is hundreds of characters.
    std::size_t length = text.size();
    for (unsigned char c : text)
        length += kStaysAsIs[c] ? 0 : 2;
    std::string out(length, '\0');
    char* at = out.data();
    for (unsigned char c : text) {
        if (kStaysAsIs[c]) {
            *at++ = static_cast<char>(c);
        } else {
            *at++ = '%';
            *at++ = hex[c >> 4];
            *at++ = hex[c & 0x0F];
        }
    }
    return out;
}

std::string URLEncodedFormEncoder::encode(const URLEncodedForm& form)
{
    std::string out;
    for (const auto& [key, value] : form) {
        if (!out.empty())
            out += '&';
        out += escape(key);
        out += '=';
        out += escape(value);
    }
    return out;
}

void URLEncodedFormEncoder::apply(const URLEncodedForm& form, HTTPRequest& request)
{
    std::string encoded = encode(form);
    if (request.method != HTTPMethod::POST) {
        if (encoded.empty())
            return;
        // A fragment stays at the end, after the query.
        size_t hash = request.url.find('#');
        std::string fragment = hash == std::string::npos ? "" : request.url.substr(hash);
        std::string base = request.url.substr(0, hash);
        size_t question = base.find('?');
        if (question == std::string::npos)
            base += '?';
        else if (question + 1 < base.size() && base.back() != '&')
            base += '&';
        request.url = base + encoded + fragment;
        return;
    }
    if (!headerValueIgnoringCase(request.headers, "Content-Type"))
        request.headers.emplace_back("Content-Type", "application/x-www-form-urlencoded; charset=utf-8");
    request.body = dataFromString(encoded);
}

HTTPRequest URLEncodedFormEncoder::makeRequest(
    HTTPMethod method, std::string url, const URLEncodedForm& form, HTTPHeaders headers, double timeout)
{
    HTTPRequest request;
    request.method = method;
    request.url = std::move(url);
    request.headers = std::move(headers);
    request.timeout = timeout;
    apply(form, request);
    return request;
}
