#pragma once

#include "platform/foundation/Data.h"

#include <string>

// One-shot message digests.
struct Digest {
    static Data md5(const Data& data);
    static Data sha1(const Data& data);
    static Data sha256(const Data& data);
    // Lowercase hexadecimal text of any bytes, two digits a byte.
    static std::string hex(const Data& data);
};

// Keyed message authentication codes (RFC 2104). Keys of any length are accepted.
struct HMAC {
    static Data md5(const Data& key, const Data& message);
    static Data sha256(const Data& key, const Data& message);
};
