#include "app/Core/Codec/NrvAES.h"

#include "app/Core/Codec/NrvGTMBase64.h"
#include "platform/crypto/AESCryptor.h"
#include "platform/crypto/SecureRandom.h"
#include "platform/foundation/Log.h"

#include <algorithm>
#include <array>

namespace {

constexpr size_t blockSize = 16;
constexpr int operationEncrypt = 0;
constexpr int operationDecrypt = 1;

bool isSelfPaddedStreamMode(int mode)
{
    return mode == AESCryptor::modeCFB || mode == AESCryptor::modeOFB;
}

Data sizedBytes(std::string_view text, size_t size)
{
    Data bytes = dataFromString(text.substr(0, size));
    bytes.resize(size, 0);
    return bytes;
}

std::optional<Data> failed(int status)
{
    Log::write("Encrypt Error:" + std::to_string(status));
    return std::nullopt;
}

// Drops the last `count` bytes when the count is a valid padding length for this data.
std::optional<Data> withoutTrailingCount(const Data& data)
{
    const size_t count = data.back();
    if (count < 1 || count > blockSize || count > data.size())
        return std::nullopt;
    return Data(data.begin(), data.end() - static_cast<std::ptrdiff_t>(count));
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

// The lenient decoder's reading of each byte: a sextet value or one of these.
constexpr std::int8_t lenientInvalid = -1;
constexpr std::int8_t lenientSkipped = -2;
constexpr std::int8_t lenientPadding = -3;

using LenientTable = std::array<std::int8_t, 256>;

LenientTable makeLenientTable(bool urlSafeToo)
{
    LenientTable table;
    table.fill(lenientInvalid);
    for (size_t i = 0; i < NrvGTMBase64::standardCharset.size(); ++i)
        table[static_cast<std::uint8_t>(NrvGTMBase64::standardCharset[i])] = static_cast<std::int8_t>(i);
    for (char c : { '\t', '\n', '\f', '\r', ' ' })
        table[static_cast<std::uint8_t>(c)] = lenientSkipped;
    table['='] = lenientPadding;
    // Reading "-" as "+" and "_" as "/" is the same as rewriting the text to the standard alphabet first.
    if (urlSafeToo) {
        table['-'] = 62;
        table['_'] = 63;
    }
    return table;
}

std::optional<Data> lenientDecode(std::string_view text, bool urlSafeToo)
{
    static const LenientTable standardOnly = makeLenientTable(false);
    static const LenientTable eitherAlphabet = makeLenientTable(true);
    const LenientTable& table = urlSafeToo ? eitherAlphabet : standardOnly;

    Data out(text.size() / 4 * 3 + 3);
    size_t written = 0;
    std::uint32_t bits = 0;
    int count = 0; // sextets of the quantum being read
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    for (size_t i = 0; i < text.size(); ++i) {
        // Whole quanta of four alphabet characters, the bulk of any reply, four at a time; the
        // first byte that is anything else is read below, one at a time.
        if (count == 0) {
            while (i + 4 <= text.size()) {
                const std::int8_t a = table[bytes[i]], b = table[bytes[i + 1]], c = table[bytes[i + 2]],
                                  d = table[bytes[i + 3]];
                if ((a | b | c | d) < 0)
                    break;
                const std::uint32_t quantum = static_cast<std::uint32_t>(a) << 18
                    | static_cast<std::uint32_t>(b) << 12 | static_cast<std::uint32_t>(c) << 6
                    | static_cast<std::uint32_t>(d);
                out[written] = static_cast<std::uint8_t>(quantum >> 16);
                out[written + 1] = static_cast<std::uint8_t>(quantum >> 8);
                out[written + 2] = static_cast<std::uint8_t>(quantum);
                written += 3;
                i += 4;
            }
            if (i >= text.size())
                break;
        }
        // Bytes of 0x80 and above are not ASCII and so are invalid in the table.
        const std::int8_t value = table[static_cast<std::uint8_t>(text[i])];
        if (value >= 0) {
            bits = (bits << 6) | static_cast<std::uint32_t>(value);
            if (++count == 4) {
                out[written++] = static_cast<std::uint8_t>(bits >> 16);
                out[written++] = static_cast<std::uint8_t>(bits >> 8);
                out[written++] = static_cast<std::uint8_t>(bits);
                bits = 0;
                count = 0;
            }
            continue;
        }
        if (value == lenientSkipped)
            continue;
        if (value == lenientInvalid)
            return std::nullopt;
        // A lone sextet cannot make a byte; padding right after it marks broken input.
        const bool nextIsPadding = i + 1 < text.size() && text[i + 1] == '=';
        if (count == 1 && !nextIsPadding)
            return std::nullopt;
    }
    // Only whole bytes count; the bits left over are dropped.
    if (count == 2) {
        out[written++] = static_cast<std::uint8_t>(bits >> 4);
    } else if (count == 3) {
        out[written++] = static_cast<std::uint8_t>(bits >> 10);
        out[written++] = static_cast<std::uint8_t>(bits >> 2);
    }
    out.resize(written);
    return out;
}

}

std::optional<std::string> NrvAES::NrvAESEncrypt(
    std::string_view text, int mode, std::string_view key, int keySize, std::string_view iv, int padding)
{
    auto cipher = NrvAESWithData(dataFromString(text), operationEncrypt, mode, key, keySize, iv, padding);
    if (!cipher)
        return std::nullopt;
    return NrvGTMBase64::stringByEncodingData(*cipher);
}

std::optional<std::string> NrvAES::NrvAESDecrypt(
    std::string_view base64, int mode, std::string_view key, int keySize, std::string_view iv, int padding)
{
    auto cipher = NrvGTMBase64::decodeString(base64);
    if (!cipher)
        return std::nullopt;
    auto clear = NrvAESWithData(*cipher, operationDecrypt, mode, key, keySize, iv, padding);
    if (!clear)
        return std::nullopt;
    std::string text = stringFromData(*clear);
    if (!nrv_detail::isValidUTF8(text))
        return std::nullopt;
    return text;
}

std::string NrvAES::NrvAESDecrypt(std::string_view text)
{
    auto clear = nrv_detail::replyClearBytes(text);
    if (!clear
        || !nrv_detail::isValidUTF8(
            std::string_view(reinterpret_cast<const char*>(clear->data()), clear->size())))
        return {};
    return stringFromData(*clear);
}

std::optional<Data> nrv_detail::replyClearBytes(std::string_view text)
{
    // URL-safe characters are read as their standard counterparts; padding is optional.
    auto cipher = lenientDecode(text, true);
    if (!cipher)
        return std::nullopt;
    auto clear = NrvAES::NrvAESWithData(*cipher, operationDecrypt, AESCryptor::modeCBC, NrvAES::replyKey,
        static_cast<int>(NrvAES::replyKey.size()), NrvAES::replyIV, NrvAES::paddingPKCS7);
    if (!clear || clear->empty())
        return std::nullopt;
    return clear;
}

std::optional<Data> NrvAES::NrvAESWithData(const Data& data, int operation, int mode, std::string_view key,
    int keySize, std::string_view iv, int padding)
{
    // Checked before the key is sized, so that a wild size never becomes an allocation.
    if (keySize != 16 && keySize != 24 && keySize != 32)
        return failed(AESCryptor::keySizeError);
    if (operation != operationEncrypt && operation != operationDecrypt)
        return failed(AESCryptor::paramError);

    const Data keyBytes = sizedBytes(key, static_cast<size_t>(keySize));
    const Data ivBytes = sizedBytes(iv, static_cast<size_t>(keySize));
    const bool encrypting = operation == operationEncrypt;
    // Only encryption adds padding; a reply is decrypted from the caller's bytes as they are.
    std::optional<Data> padded;
    if (encrypting)
        padded = bitPaddingWithData(data, mode, padding);
    const Data& input = encrypting ? *padded : data;

    auto result
        = AESCryptor::crypt(encrypting ? AESCryptor::Operation::encrypt : AESCryptor::Operation::decrypt,
            mode, padding == paddingPKCS7, keyBytes, ivBytes, input);
    if (!result.ok())
        return failed(result.status);
    // PKCS#7 outside CFB and OFB was removed by the cryptor: nothing to take off, nothing to copy.
    const bool cryptorRemovedPadding = padding == paddingPKCS7 && !isSelfPaddedStreamMode(mode);
    if (!encrypting && !result.data.empty() && !cryptorRemovedPadding)
        return removeBitPaddingWithData(result.data, mode, operation, padding);
    return std::move(result.data);
}

Data NrvAES::bitPaddingWithData(const Data& data, int mode, int padding)
{
    const size_t count = blockSize - data.size() % blockSize;
    Data out = data;
    switch (padding) {
    case paddingPKCS7:
        if (isSelfPaddedStreamMode(mode))
            out.insert(out.end(), count, static_cast<std::uint8_t>(count));
        break;
    case paddingZeroBytes:
        out.insert(out.end(), count, 0);
        break;
    case paddingANSIX923:
        out.insert(out.end(), count - 1, 0);
        out.push_back(static_cast<std::uint8_t>(count));
        break;
    case paddingISO10126:
        for (size_t i = 0; i + 1 < count; ++i)
            out.push_back(static_cast<std::uint8_t>(SecureRandom::uniform(254) + 1));
        out.push_back(static_cast<std::uint8_t>(count));
        break;
    default:
        break;
    }
    return out;
}

Data NrvAES::removeBitPaddingWithData(const Data& data, int mode, int operation, int padding)
{
    if (data.empty())
        return data;
    switch (padding) {
    case paddingPKCS7:
        // Outside CFB and OFB the cryptor has removed its own padding.
        if (!isSelfPaddedStreamMode(mode))
            return data;
        return withoutTrailingCount(data).value_or(data);
    case paddingZeroBytes: {
        if (data.back() != 0)
            return {};
        auto lastNonZero = std::find_if(data.rbegin(), data.rend(), [](std::uint8_t b) { return b != 0; });
        return Data(data.begin(), lastNonZero.base());
    }
    case paddingANSIX923:
    case paddingISO10126:
        return withoutTrailingCount(data).value_or(Data());
    default:
        return data;
    }
}

std::optional<std::string> NrvAES::hex2bin(std::string_view hex)
{
    std::string bytes;
    bytes.reserve(hex.size() / 2);
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        const int high = hexValue(hex[i]);
        const int low = hexValue(hex[i + 1]);
        const char byte = (high < 0 || low < 0) ? '\0' : static_cast<char>(high << 4 | low);
        if (byte == '\0')
            break;
        bytes.push_back(byte);
    }
    if (!nrv_detail::isValidUTF8(bytes))
        return std::nullopt;
    return bytes;
}

std::optional<Data> NrvAES::decodeBase64WithString(std::string_view text)
{
    return lenientDecode(text, false);
}
