#pragma once

// The body of a request to the test server's API as the app sends it: the pack, percent-encoded,
// and its signature. Shared by the server's test programs that talk to the API over a socket.

#include "tools/testserver/ApiCrypto.h"

#include <cctype>
#include <string>

namespace zvtest {

inline std::string percentEncode(const std::string& text)
{
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

inline std::string signedForm(const std::string& pack)
{
    return "pack=" + percentEncode(pack)
        + "&signature=" + testserver::apicrypto::hmacMD5Hex(testserver::apicrypto::hmacKey, pack);
}

}
