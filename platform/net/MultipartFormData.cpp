#include "platform/net/MultipartFormData.h"

#include "platform/foundation/SecureRandom.h"

#include <cstdio>

namespace {

// Names go inside a quoted header parameter: quotes and line breaks are escaped the way
// browsers do it, so that no name can add header lines or parts.
std::string quotedParameter(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '"')
            out += "%22";
        else if (c == '\r')
            out += "%0D";
        else if (c == '\n')
            out += "%0A";
        else
            out += c;
    }
    return out;
}

std::string withoutLineBreaks(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c != '\r' && c != '\n')
            out += c;
    }
    return out;
}

void appendText(Data& out, std::string_view text)
{
    out.insert(out.end(), text.begin(), text.end());
}

std::string randomBoundary()
{
    Data bytes = SecureRandom::bytes(8);
    std::string boundary = "zentavo.boundary.";
    char hex[3];
    for (std::uint8_t byte : bytes) {
        std::snprintf(hex, sizeof hex, "%02x", byte);
        boundary += hex;
    }
    return boundary;
}

}

MultipartFormData::MultipartFormData()
    : m_boundary(randomBoundary())
{ }

MultipartFormData::MultipartFormData(std::string boundary)
    : m_boundary(std::move(boundary))
{ }

void MultipartFormData::append(std::string name, std::string value)
{
    m_parts.push_back(Part { std::move(name), {}, {}, dataFromString(value), false });
}

void MultipartFormData::append(Data data, std::string name, std::string filename, std::string mimeType)
{
    m_parts.push_back(
        Part { std::move(name), std::move(filename), std::move(mimeType), std::move(data), true });
}

std::string MultipartFormData::contentType() const
{
    return "multipart/form-data; boundary=" + m_boundary;
}

Data MultipartFormData::encode() const
{
    Data out;
    for (const Part& part : m_parts) {
        appendText(out, "--" + m_boundary + "\r\n");
        std::string disposition
            = "Content-Disposition: form-data; name=\"" + quotedParameter(part.name) + "\"";
        if (part.isFile)
            disposition += "; filename=\"" + quotedParameter(part.filename) + "\"";
        appendText(out, disposition + "\r\n");
        if (part.isFile)
            appendText(out, "Content-Type: " + withoutLineBreaks(part.mimeType) + "\r\n");
        appendText(out, "\r\n");
        out.insert(out.end(), part.data.begin(), part.data.end());
        appendText(out, "\r\n");
    }
    appendText(out, "--" + m_boundary + "--\r\n");
    return out;
}
