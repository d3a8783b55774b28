// Feeds arbitrary bytes to every base64 decoder (strict standard, strict URL-safe, lenient)
// and checks that they agree where their rules overlap and that decoded data re-encodes.

#include "app/Core/Codec/NrvAES.h"
#include "app/Core/Codec/NrvGTMBase64.h"
#include "platform/foundation/Log.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
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

// The lenient decoder read one byte at a time, as it was written first: the bulk reader must
// agree with it on every input.
std::optional<Data> lenientOneByteAtATime(std::string_view text)
{
    Data out;
    std::uint32_t bits = 0;
    int count = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const size_t at = NrvGTMBase64::standardCharset.find(static_cast<char>(c));
        if (c < 0x80 && at != std::string_view::npos) {
            bits = (bits << 6) | static_cast<std::uint32_t>(at);
            if (++count == 4) {
                out.insert(
                    out.end(), { std::uint8_t(bits >> 16), std::uint8_t(bits >> 8), std::uint8_t(bits) });
                bits = 0;
                count = 0;
            }
        } else if (c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ') {
        } else if (c != '=' || (count == 1 && !(i + 1 < text.size() && text[i + 1] == '='))) {
            return std::nullopt;
        }
    }
    if (count == 2)
        out.push_back(std::uint8_t(bits >> 4));
    if (count == 3)
        out.insert(out.end(), { std::uint8_t(bits >> 10), std::uint8_t(bits >> 2) });
    return out;
}

// UTF-8 checked one byte at a time, without the ASCII shortcut.
bool validUTF8OneByteAtATime(std::string_view text)
{
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        size_t length = lead < 0x80        ? 1
            : lead >= 0xC2 && lead <= 0xDF ? 2
            : lead >= 0xE0 && lead <= 0xEF ? 3
            : lead >= 0xF0 && lead <= 0xF4 ? 4
                                           : 0;
        if (length == 0 || i + length > text.size())
            return false;
        unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
        unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
        for (size_t k = 1; k < length; ++k) {
            const unsigned char c = static_cast<unsigned char>(text[i + k]);
            if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF))
                return false;
        }
        i += length;
    }
    return true;
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
    check(lenient == lenientOneByteAtATime(text));
    check(nrv_detail::isValidUTF8(text) == validUTF8OneByteAtATime(text));
    return 0;
}
