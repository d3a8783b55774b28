// Feeds arbitrary bytes to every base64 decoder (strict standard, strict URL-safe, lenient)
// and checks that they agree where their rules overlap and that decoded data re-encodes.

#include "app/Core/Codec/NrvAES.h"
#include "app/Core/Codec/NrvGTMBase64.h"
#include "platform/foundation/Log.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

bool contains(std::string_view text, std::string_view bytes)
{
    return text.find_first_of(bytes) != std::string_view::npos;
}

// The caller-buffer forms into a buffer of exactly destLen bytes, so that the sanitizer sees
// any write past it.
void decodeIntoSmallBuffer(const std::uint8_t* data, size_t size)
{
    if (size < 2)
        return;
    const size_t destLen = data[0] % 24;
    auto dest = std::make_unique<std::uint8_t[]>(std::max<size_t>(destLen, 1));
    const size_t written = NrvGTMBase64::baseDecode(data + 1, size - 1, destLen ? dest.get() : nullptr,
        destLen, NrvGTMBase64::webSafeDecodeTable(), false);
    check(written <= destLen);

    auto text = std::make_unique<char[]>(std::max<size_t>(destLen, 1));
    const size_t encoded = NrvGTMBase64::baseEncode(data + 1, std::min<size_t>(size - 1, 20),
        destLen ? text.get() : nullptr, destLen, NrvGTMBase64::standardCharset, data[0] & 0x80);
    check(encoded <= destLen);
}

}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Log::setSink([](std::string_view) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    auto strict = NrvGTMBase64::decodeBytes(data, size);
    auto webSafe = NrvGTMBase64::webSafeDecodeBytes(data, size);
    auto lenient = NrvAES::decodeBase64WithString(text);
    (void)NrvGTMBase64::decodeString(text);
    (void)NrvGTMBase64::webSafeDecodeString(text);
    auto utf8 = NrvGTMBase64::decodeBase64String(text);
    if (utf8)
        check(nrv_detail::isValidUTF8(*utf8));
    decodeIntoSmallBuffer(data, size);

    if (strict) {
        check(!strict->empty() && strict->size() <= (size + 3) / 4 * 3);
        auto again = NrvGTMBase64::encodeData(*strict);
        check(again && NrvGTMBase64::decodeData(*again) == strict);
        // Valid padded standard text without the two differing characters is valid URL-safe text.
        if (!contains(text, "+/"))
            check(webSafe == strict);
        // Past the bytes where their whitespace rules differ, the lenient decoder reads the same.
        if (!contains(text, std::string_view("\0\v\xA0\xFF", 4)))
            check(lenient == strict);
    }
    if (webSafe) {
        auto again = NrvGTMBase64::webSafeEncodeData(*webSafe, false);
        check(again && NrvGTMBase64::webSafeDecodeData(*again) == webSafe);
    }
    if (lenient)
        check(lenient->size() <= size / 4 * 3 + 2);
    return 0;
}
