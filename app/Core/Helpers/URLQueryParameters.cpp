#include "app/Core/Helpers/URLQueryParameters.h"

#include "app/Extensions/ParsableURL.h"

namespace {

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// parsesAsURL has already made sure that every "%" starts a whole escape.
std::string percentDecoded(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexDigitValue(text[i + 1]) >= 0
            && hexDigitValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexDigitValue(text[i + 1]) * 16 + hexDigitValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

}

std::optional<std::map<std::string, std::string>> queryParameters(std::string_view url)
{
    if (!parsesAsURL(url))
        return std::nullopt;
    url = url.substr(0, url.find('#'));
    std::size_t question = url.find('?');
    if (question == std::string_view::npos)
        return std::nullopt;
    std::string_view query = url.substr(question + 1);

    std::map<std::string, std::string> parameters;
    while (true) {
        std::size_t end = query.find('&');
        std::string_view item = query.substr(0, end);
        std::size_t equals = item.find('=');
        std::string name = percentDecoded(item.substr(0, equals));
        if (equals == std::string_view::npos)
            parameters.erase(name);
        else
            parameters.insert_or_assign(std::move(name), percentDecoded(item.substr(equals + 1)));
        if (end == std::string_view::npos)
            break;
        query.remove_prefix(end + 1);
    }
    return parameters;
}
