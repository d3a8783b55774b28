#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testserver {

// Header fields in wire order, names as written by the sender.
using Headers = std::vector<std::pair<std::string, std::string>>;
using Items = std::vector<std::pair<std::string, std::string>>;

// Field names compare without regard to case, as HTTP wants.
std::optional<std::string> findHeader(const Headers& headers, std::string_view name);

struct FilePart {
    std::string name;
    std::string filename;
    std::string contentType;
    std::string data;
};

struct MultipartForm {
    Items fields; // parts without a file name, in order
    std::vector<FilePart> files;
};

// One request as it arrived; handlers get it, and the server keeps a copy of each.
struct Request {
    std::string scheme; // "http" or "https"
    std::uint64_t connection = 0; // serial number of the connection it came on, from 1
    std::string method;
    std::string target; // path and query exactly as sent
    std::string path; // target up to the '?', not decoded
    std::string query; // after the '?', not decoded; empty when there is none
    Headers headers;
    std::string body;
    std::optional<MultipartForm> multipart; // when the body is multipart/form-data and well formed

    std::optional<std::string> header(std::string_view name) const { return findHeader(headers, name); }
    Items queryItems() const;
    // The body's pairs when it is an URL-encoded form; empty otherwise.
    Items formItems() const;
};

enum class ReplyAction {
    Send,
    CloseWithoutReply, // read the request, then drop the connection
    TruncateBody, // announce the whole body, send half of it, then drop the connection
};

struct Reply {
    int status = 200;
    Headers headers; // sent in this order; Content-Length is added unless present or Transfer-Encoding is
    std::string body;
    std::chrono::milliseconds delay { 0 }; // wait this long before answering
    // Above zero: the body goes out one byte at a time with this pause before each byte.
    std::chrono::milliseconds byteInterval { 0 };
    ReplyAction action = ReplyAction::Send;

    static Reply text(int status, std::string body, std::string contentType = "text/plain; charset=utf-8");
    static Reply json(std::string body, int status = 200);
};

// Percent-decoding; with plusIsSpace a '+' reads as a space, as in forms. Bad escapes stay as written.
std::string percentDecode(std::string_view text, bool plusIsSpace);
Items parseURLEncoded(std::string_view text);
// nullopt when the content type is not multipart/form-data with a boundary or the body is malformed.
std::optional<MultipartForm> parseMultipart(std::string_view contentType, std::string_view body);

}
