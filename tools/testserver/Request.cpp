#include "tools/testserver/Request.h"

#include <algorithm>
#include <cctype>

namespace testserver {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The value of the part after "type/subtype;", e.g. boundary or name; quotes removed.
std::optional<std::string> headerParameter(std::string_view value, std::string_view key)
{
    size_t pos = value.find(';');
    while (pos != std::string_view::npos) {
        value.remove_prefix(pos + 1);
        size_t end = 0;
        bool quoted = false;
        // Find the end of this parameter, stepping over quoted text that may hold ';'.
        for (; end < value.size(); ++end) {
            if (value[end] == '"')
                quoted = !quoted;
            else if (value[end] == '\\' && quoted)
                ++end;
            else if (value[end] == ';' && !quoted)
                break;
        }
        std::string_view parameter = trim(value.substr(0, std::min(end, value.size())));
        size_t equals = parameter.find('=');
        if (equals != std::string_view::npos && equalsIgnoringCase(trim(parameter.substr(0, equals)), key)) {
            std::string_view raw = trim(parameter.substr(equals + 1));
            if (raw.size() >= 2 && raw.front() == '"' && raw.back() == '"') {
                std::string unquoted;
                for (size_t i = 1; i + 1 < raw.size(); ++i) {
                    if (raw[i] == '\\' && i + 2 < raw.size())
                        ++i;
                    unquoted += raw[i];
                }
                return unquoted;
            }
            return std::string(raw);
        }
        pos = end < value.size() ? end : std::string_view::npos;
    }
    return std::nullopt;
}

struct PartHeaders {
    Headers fields;
    bool ok = true;
};

PartHeaders parsePartHeaders(std::string_view block)
{
    PartHeaders result;
    while (!block.empty()) {
        size_t end = block.find("\r\n");
        std::string_view line = block.substr(0, end);
        block = end == std::string_view::npos ? std::string_view() : block.substr(end + 2);
        size_t colon = line.find(':');
        if (colon == std::string_view::npos || colon == 0) {
            result.ok = false;
            return result;
        }
        result.fields.emplace_back(
            std::string(line.substr(0, colon)), std::string(trim(line.substr(colon + 1))));
    }
    return result;
}

}

std::optional<std::string> findHeader(const Headers& headers, std::string_view name)
{
    for (const auto& [key, value] : headers) {
        if (equalsIgnoringCase(key, name))
            return value;
    }
    return std::nullopt;
}

std::string percentDecode(std::string_view text, bool plusIsSpace)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else if (c == '+' && plusIsSpace) {
            out += ' ';
        } else {
            out += c;
        }
    }
    return out;
}

Items parseURLEncoded(std::string_view text)
{
    Items items;
    while (!text.empty()) {
        size_t end = text.find('&');
        std::string_view pair = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (pair.empty())
            continue;
        size_t equals = pair.find('=');
        std::string_view key = pair.substr(0, equals);
        std::string_view value
            = equals == std::string_view::npos ? std::string_view() : pair.substr(equals + 1);
        items.emplace_back(percentDecode(key, true), percentDecode(value, true));
    }
    return items;
}

std::optional<MultipartForm> parseMultipart(std::string_view contentType, std::string_view body)
{
    size_t semicolon = contentType.find(';');
    if (!equalsIgnoringCase(trim(contentType.substr(0, semicolon)), "multipart/form-data"))
        return std::nullopt;
    std::optional<std::string> boundary = headerParameter(contentType, "boundary");
    if (!boundary || boundary->empty())
        return std::nullopt;

    const std::string delimiter = "--" + *boundary;
    const std::string innerDelimiter = "\r\n" + delimiter;
    size_t pos = body.find(delimiter);
    if (pos == std::string_view::npos || (pos != 0 && (pos < 2 || body.substr(pos - 2, 2) != "\r\n")))
        return std::nullopt;
    pos += delimiter.size();

    MultipartForm form;
    while (true) {
        if (body.substr(pos, 2) == "--")
            return form;
        if (body.substr(pos, 2) != "\r\n")
            return std::nullopt;
        pos += 2;
        size_t headersEnd = body.find("\r\n\r\n", pos);
        // A part without header fields starts its data right after the delimiter line.
        std::string_view headerBlock;
        size_t dataStart;
        if (body.substr(pos, 2) == "\r\n") {
            dataStart = pos + 2;
        } else {
            if (headersEnd == std::string_view::npos)
                return std::nullopt;
            headerBlock = body.substr(pos, headersEnd - pos);
            dataStart = headersEnd + 4;
        }
        size_t dataEnd = body.find(innerDelimiter, dataStart);
        if (dataEnd == std::string_view::npos)
            return std::nullopt;

        PartHeaders headers = parsePartHeaders(headerBlock);
        if (!headers.ok)
            return std::nullopt;
        std::optional<std::string> disposition = findHeader(headers.fields, "Content-Disposition");
        if (!disposition)
            return std::nullopt;
        std::optional<std::string> name = headerParameter(*disposition, "name");
        if (!name)
            return std::nullopt;
        std::string data(body.substr(dataStart, dataEnd - dataStart));
        if (std::optional<std::string> filename = headerParameter(*disposition, "filename")) {
            form.files.push_back(FilePart { *name, *filename,
                findHeader(headers.fields, "Content-Type").value_or("text/plain"), std::move(data) });
        } else {
            form.fields.emplace_back(*name, std::move(data));
        }
        pos = dataEnd + innerDelimiter.size();
    }
}

Items Request::queryItems() const
{
    return parseURLEncoded(query);
}

Items Request::formItems() const
{
    std::optional<std::string> contentType = header("Content-Type");
    if (!contentType)
        return {};
    std::string_view type = trim(std::string_view(*contentType).substr(0, contentType->find(';')));
    if (!equalsIgnoringCase(type, "application/x-www-form-urlencoded"))
        return {};
    return parseURLEncoded(body);
}

Reply Reply::text(int status, std::string body, std::string contentType)
{
    Reply reply;
    reply.status = status;
    reply.headers.emplace_back("Content-Type", std::move(contentType));
    reply.body = std::move(body);
    return reply;
}

Reply Reply::json(std::string body, int status)
{
    return text(status, std::move(body), "application/json");
}

}
