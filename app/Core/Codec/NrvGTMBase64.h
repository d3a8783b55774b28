#pragma once

#include "platform/foundation/Data.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Base64 (RFC 4648) with the standard and the URL-safe alphabet. Encoders never break lines.
// Decoders are strict: whitespace is skipped, every other byte must belong to the alphabet,
// padding must be well formed and the bits left over at the end must be zero.
// "No data" (nullopt) stands for every failure and for every empty input.
class NrvGTMBase64 {
public:
    // Maps each byte to its 6-bit value, or to invalid when the byte is not in the alphabet.
    using DecodeTable = std::array<std::int8_t, 256>;
    static constexpr std::int8_t invalid = -1;

    static constexpr std::string_view standardCharset
        = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    static constexpr std::string_view webSafeCharset
        = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    static const DecodeTable& standardDecodeTable();
    static const DecodeTable& webSafeDecodeTable();

    // Standard alphabet, padding written on encoding and required on decoding.
    static std::optional<Data> encodeData(const Data& data);
    static std::optional<Data> encodeBytes(const void* bytes, size_t length);
    static std::optional<Data> decodeData(const Data& data);
    static std::optional<Data> decodeBytes(const void* bytes, size_t length);
    static std::optional<std::string> stringByEncodingData(const Data& data);
    static std::optional<std::string> stringByEncodingBytes(const void* bytes, size_t length);
    // No data when the text holds anything but ASCII.
    static std::optional<Data> decodeString(std::string_view text);

    // URL-safe alphabet, padding written when asked for and optional on decoding.
    static std::optional<Data> webSafeEncodeData(const Data& data, bool padded);
    static std::optional<Data> webSafeEncodeBytes(const void* bytes, size_t length, bool padded);
    static std::optional<Data> webSafeDecodeData(const Data& data);
    static std::optional<Data> webSafeDecodeBytes(const void* bytes, size_t length);
    static std::optional<std::string> stringByWebSafeEncodingData(const Data& data, bool padded);
    static std::optional<std::string> stringByWebSafeEncodingBytes(
        const void* bytes, size_t length, bool padded);
    static std::optional<Data> webSafeDecodeString(std::string_view text);

    // Base64 of the MD5 digest of the text's bytes up to its first zero byte: always 24
    // characters ending in "==".
    static std::string md5_base64(std::string_view text);
    // Text to base64 text and back. The text is taken as the UTF-8 bytes it holds; decoding
    // gives no text when the decoded bytes are not UTF-8.
    static std::optional<std::string> encodeBase64String(std::string_view text);
    static std::optional<std::string> decodeBase64String(std::string_view base64);
    static std::optional<std::string> encodeBase64Data(const Data& data);
    static std::optional<std::string> decodeBase64Data(const Data& base64);

    // The general encoder and decoder, sizing their own buffers.
    static std::optional<Data> baseEncode(
        const void* bytes, size_t length, std::string_view charset, bool padded);
    static std::optional<Data> baseDecode(
        const void* bytes, size_t length, const DecodeTable& table, bool requirePadding);

    // The same into a caller's buffer: the count of characters or bytes written, or 0 on any
    // failure, including a buffer too small for the result. Nothing is ever written past
    // destLen, and the source is never read past srcLen. The charset must hold 64 characters.
    static size_t baseEncode(const void* src, size_t srcLen, char* destBytes, size_t destLen,
        std::string_view charset, bool padded);
    static size_t baseDecode(const void* src, size_t srcLen, std::uint8_t* destBytes, size_t destLen,
        const DecodeTable& table, bool requirePadding);

private:
    // Exact length of the encoding of length bytes; 0 when it would not fit in a size_t.
    static size_t encodedLength(size_t length, bool padded);
};

namespace nrv_detail {
// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
bool isValidUTF8(std::string_view bytes);
}
