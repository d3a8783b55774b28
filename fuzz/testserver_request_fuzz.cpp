// Feeds untrusted bytes to the local test server's request reading, as any program on the machine
// may connect to it. The first byte chooses what the rest is:
//   0: the bytes of a connection, read into a request with the server's parser and limits;
//   1: an URL-encoded query or form;
//   2: a Content-Type line and a multipart body.

#include "tools/testserver/Request.h"
#include "tools/testserver/RequestReader.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

void checkMultipart(const testserver::MultipartForm& form, std::string_view body)
{
    std::size_t total = 0;
    for (const auto& [name, value] : form.fields)
        total += value.size();
    for (const testserver::FilePart& file : form.files)
        total += file.data.size();
    check(total <= body.size());
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 3) {
    case 0: {
        std::optional<testserver::Request> request = testserver::readRequest(text, "http");
        if (!request)
            break;
        check(request->target.starts_with(request->path));
        request->queryItems();
        request->formItems();
        if (request->multipart)
            checkMultipart(*request->multipart, request->body);
        break;
    }
    case 1:
        for (const auto& [name, value] : testserver::parseURLEncoded(text))
            check(name.size() + value.size() <= text.size());
        check(testserver::percentDecode(text, false).size() <= text.size());
        break;
    case 2: {
        std::size_t end = text.find('\n');
        std::string_view contentType = text.substr(0, end);
        std::string_view body = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (std::optional<testserver::MultipartForm> form = testserver::parseMultipart(contentType, body))
            checkMultipart(*form, body);
        break;
    }
    }
    return 0;
}
