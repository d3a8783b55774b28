#include "app/Core/Codec/NrvGTMBase64.h"

#include "platform/crypto/Digest.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr std::uint8_t paddingChar = '=';

NrvGTMBase64::DecodeTable makeTable(std::string_view charset)
{
    NrvGTMBase64::DecodeTable table;
    table.fill(NrvGTMBase64::invalid);
    for (size_t i = 0; i < charset.size(); ++i)
        table[static_cast<std::uint8_t>(charset[i])] = static_cast<std::int8_t>(i);
    return table;
}

// Whitespace that the strict decoder steps over: tab to carriage return, space, no-break
// space and 0xFF.
bool isSkippedByStrictDecoder(std::uint8_t byte)
{
    return (byte >= 9 && byte <= 13) || byte == 32 || byte == 160 || byte == 255;
}

bool isASCII(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::optional<std::string> asString(std::optional<Data> data)
{
    if (!data)
        return std::nullopt;
    return stringFromData(*data);
}

std::optional<std::string> asUTF8Text(std::optional<Data> data)
{
    if (!data)
        return std::nullopt;
    std::string text = stringFromData(*data);
    if (!nrv_detail::isValidUTF8(text))
        return std::nullopt;
    return text;
}

}

const NrvGTMBase64::DecodeTable& NrvGTMBase64::standardDecodeTable()
{
    static const DecodeTable table = makeTable(standardCharset);
    return table;
}

const NrvGTMBase64::DecodeTable& NrvGTMBase64::webSafeDecodeTable()
{
    static const DecodeTable table = makeTable(webSafeCharset);
    return table;
}

std::optional<Data> NrvGTMBase64::encodeData(const Data& data)
{
    return encodeBytes(data.data(), data.size());
}

std::optional<Data> NrvGTMBase64::encodeBytes(const void* bytes, size_t length)
{
    return baseEncode(bytes, length, standardCharset, true);
}

std::optional<Data> NrvGTMBase64::decodeData(const Data& data)
{
    return decodeBytes(data.data(), data.size());
}

std::optional<Data> NrvGTMBase64::decodeBytes(const void* bytes, size_t length)
{
    return baseDecode(bytes, length, standardDecodeTable(), true);
}

std::optional<std::string> NrvGTMBase64::stringByEncodingData(const Data& data)
{
    return asString(encodeData(data));
}

std::optional<std::string> NrvGTMBase64::stringByEncodingBytes(const void* bytes, size_t length)
{
    return asString(encodeBytes(bytes, length));
}

std::optional<Data> NrvGTMBase64::decodeString(std::string_view text)
{
    if (!isASCII(text))
        return std::nullopt;
    return decodeBytes(text.data(), text.size());
}

std::optional<Data> NrvGTMBase64::webSafeEncodeData(const Data& data, bool padded)
{
    return webSafeEncodeBytes(data.data(), data.size(), padded);
}

std::optional<Data> NrvGTMBase64::webSafeEncodeBytes(const void* bytes, size_t length, bool padded)
{
    return baseEncode(bytes, length, webSafeCharset, padded);
}

std::optional<Data> NrvGTMBase64::webSafeDecodeData(const Data& data)
{
    return webSafeDecodeBytes(data.data(), data.size());
}

std::optional<Data> NrvGTMBase64::webSafeDecodeBytes(const void* bytes, size_t length)
{
    return baseDecode(bytes, length, webSafeDecodeTable(), false);
}

std::optional<std::string> NrvGTMBase64::stringByWebSafeEncodingData(const Data& data, bool padded)
{
    return asString(webSafeEncodeData(data, padded));
}

std::optional<std::string> NrvGTMBase64::stringByWebSafeEncodingBytes(
    const void* bytes, size_t length, bool padded)
{
    return asString(webSafeEncodeBytes(bytes, length, padded));
}

std::optional<Data> NrvGTMBase64::webSafeDecodeString(std::string_view text)
{
    if (!isASCII(text))
        return std::nullopt;
    return webSafeDecodeBytes(text.data(), text.size());
}

std::string NrvGTMBase64::md5_base64(std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    Data digest = Digest::md5(dataFromString(text));
    return stringByEncodingData(digest).value_or(std::string());
}

std::optional<std::string> NrvGTMBase64::encodeBase64String(std::string_view text)
{
    return stringByEncodingBytes(text.data(), text.size());
}

std::optional<std::string> NrvGTMBase64::decodeBase64String(std::string_view base64)
{
    return asUTF8Text(decodeBytes(base64.data(), base64.size()));
}

std::optional<std::string> NrvGTMBase64::encodeBase64Data(const Data& data)
{
    return stringByEncodingData(data);
}

std::optional<std::string> NrvGTMBase64::decodeBase64Data(const Data& base64)
{
    return asUTF8Text(decodeData(base64));
}

std::optional<Data> NrvGTMBase64::baseEncode(
    const void* bytes, size_t length, std::string_view charset, bool padded)
{
    const size_t capacity = encodedLength(length, padded);
    if (capacity == 0)
        return std::nullopt;
    Data out(capacity);
    size_t written
        = baseEncode(bytes, length, reinterpret_cast<char*>(out.data()), out.size(), charset, padded);
    if (written == 0)
        return std::nullopt;
    out.resize(written);
    return out;
}

std::optional<Data> NrvGTMBase64::baseDecode(
    const void* bytes, size_t length, const DecodeTable& table, bool requirePadding)
{
    if (!bytes || length == 0 || length > std::numeric_limits<size_t>::max() - 3)
        return std::nullopt;
    Data out((length + 3) / 4 * 3);
    size_t written = baseDecode(bytes, length, out.data(), out.size(), table, requirePadding);
    if (written == 0)
        return std::nullopt;
    out.resize(written);
    return out;
}

size_t NrvGTMBase64::encodedLength(size_t length, bool padded)
{
    if (length > std::numeric_limits<size_t>::max() / 4 * 3 - 3)
        return 0;
    const size_t whole = length / 3 * 4;
    const size_t rest = length % 3;
    if (rest == 0)
        return whole;
    return whole + (padded ? 4 : rest + 1);
}

size_t NrvGTMBase64::baseEncode(
    const void* src, size_t srcLen, char* destBytes, size_t destLen, std::string_view charset, bool padded)
{
    if (!src || srcLen == 0 || !destBytes || destLen == 0 || charset.size() != 64)
        return 0;
    const size_t needed = encodedLength(srcLen, padded);
    if (needed == 0 || needed > destLen)
        return 0;

    const auto* in = static_cast<const std::uint8_t*>(src);
    char* out = destBytes;
    size_t i = 0;
    for (; i + 3 <= srcLen; i += 3) {
        const std::uint32_t group = (in[i] << 16) | (in[i + 1] << 8) | in[i + 2];
        *out++ = charset[(group >> 18) & 0x3F];
        *out++ = charset[(group >> 12) & 0x3F];
        *out++ = charset[(group >> 6) & 0x3F];
        *out++ = charset[group & 0x3F];
    }
    const size_t rest = srcLen - i;
    if (rest == 2) {
        const std::uint32_t group = (in[i] << 16) | (in[i + 1] << 8);
        *out++ = charset[(group >> 18) & 0x3F];
        *out++ = charset[(group >> 12) & 0x3F];
        *out++ = charset[(group >> 6) & 0x3F];
        if (padded)
            *out++ = paddingChar;
    } else if (rest == 1) {
        const std::uint32_t group = in[i] << 16;
        *out++ = charset[(group >> 18) & 0x3F];
        *out++ = charset[(group >> 12) & 0x3F];
        if (padded) {
            *out++ = paddingChar;
            *out++ = paddingChar;
        }
    }
    return static_cast<size_t>(out - destBytes);
}

size_t NrvGTMBase64::baseDecode(const void* src, size_t srcLen, std::uint8_t* destBytes, size_t destLen,
    const DecodeTable& table, bool requirePadding)
{
    if (!src || srcLen == 0 || !destBytes || destLen == 0)
        return 0;
    const auto* in = static_cast<const std::uint8_t*>(src);
    // A zero byte ends the source like its end does.
    auto atEnd = [&](size_t index) { return index >= srcLen || in[index] == 0; };

    size_t written = 0;
    auto put = [&](std::uint32_t byte) {
        if (written >= destLen)
            return false;
        destBytes[written++] = static_cast<std::uint8_t>(byte);
        return true;
    };

    std::uint32_t bits = 0; // the sextets of the quantum being read
    int count = 0; // how many of them
    bool padded = false;
    size_t i = 0;
    for (; !atEnd(i); ++i) {
        const std::uint8_t ch = in[i];
        if (isSkippedByStrictDecoder(ch))
            continue;
        if (ch == paddingChar) {
            padded = true;
            ++i;
            break;
        }
        const std::int8_t value = table[ch];
        if (value < 0)
            return 0;
        bits = (bits << 6) | static_cast<std::uint32_t>(value);
        if (++count == 4) {
            if (!put(bits >> 16) || !put(bits >> 8 & 0xFF) || !put(bits & 0xFF))
                return 0;
            bits = 0;
            count = 0;
        }
    }

    if (padded) {
        // One "=" completes three characters, two complete two; anything shorter is no quantum.
        if (count < 2)
            return 0;
        if (count == 2) {
            while (!atEnd(i) && isSkippedByStrictDecoder(in[i]))
                ++i;
            if (atEnd(i) || in[i] != paddingChar)
                return 0;
            ++i;
        }
        for (; !atEnd(i); ++i) {
            if (!isSkippedByStrictDecoder(in[i]))
                return 0;
        }
    } else if (requirePadding ? count != 0 : count == 1) {
        return 0;
    }

    // The last partial quantum; the bits below its final byte must be zero.
    if (count == 2) {
        if (bits & 0x0F)
            return 0;
        if (!put(bits >> 4))
            return 0;
    } else if (count == 3) {
        if (bits & 0x03)
            return 0;
        if (!put(bits >> 10) || !put(bits >> 2 & 0xFF))
            return 0;
    }
    return written;
}

namespace nrv_detail {

bool isValidUTF8(std::string_view bytes)
{
    size_t i = 0;
    const size_t n = bytes.size();
    auto at = [&](size_t k) { return static_cast<std::uint8_t>(bytes[k]); };
    auto continuation = [&](size_t k) { return k < n && (at(k) & 0xC0) == 0x80; };
    while (i < n) {
        // ASCII, the bulk of JSON text, eight bytes at a time.
        while (i + 8 <= n) {
            std::uint64_t word;
            std::memcpy(&word, bytes.data() + i, sizeof word);
            if (word & 0x8080808080808080ULL)
                break;
            i += 8;
        }
        if (i >= n)
            break;
        const std::uint8_t lead = at(i);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        size_t length = 0;
        std::uint32_t min = 0;
        std::uint32_t code = 0;
        if ((lead & 0xE0) == 0xC0) {
            length = 2, min = 0x80, code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, min = 0x800, code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, min = 0x10000, code = lead & 0x07;
        } else {
            return false;
        }
        for (size_t k = 1; k < length; ++k) {
            if (!continuation(i + k))
                return false;
            code = (code << 6) | (at(i + k) & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

}
