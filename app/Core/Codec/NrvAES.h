#pragma once

#include "platform/foundation/Data.h"

#include <optional>
#include <string>
#include <string_view>

// AES over the platform cryptor with a caller-chosen mode, key, key size, IV and padding kind,
// and the decryption of the encrypted parts of API replies. Keeps no state.
//
// Operation: 0 encrypt, 1 decrypt. Mode: the platform cryptor's number (1 ECB, 2 CBC, 3 CFB,
// 4 CTR, 7 OFB). Key and IV are texts whose UTF-8 bytes are cut or zero-extended to keySize
// bytes (16, 24 or 32); the cryptor reads the first 16 bytes of the IV.
class NrvAES {
public:
    enum Padding : int {
        paddingNone = 0,
        paddingPKCS7 = 1, // by the cryptor, or by this class in CFB and OFB
        paddingZeroBytes = 2,
        paddingANSIX923 = 3, // zeros, then the count
        paddingISO10126 = 4, // random bytes, then the count
    };

    // The replies' fixed key and IV: AES-128-CBC with PKCS#7, their ASCII bytes as key and IV.
    static constexpr std::string_view replyKey = "7b3e91c04a6fd258";
    static constexpr std::string_view replyIV = "c4a07e52b9d13f86";

    // The cipher text of the text's UTF-8 bytes as standard padded base64; no text when the
    // cryptor fails or there is no cipher text.
    static std::optional<std::string> NrvAESEncrypt(
        std::string_view text, int mode, std::string_view key, int keySize, std::string_view iv, int padding);
    // Standard padded base64 (strict) to clear text; no text for invalid base64, a cryptor
    // failure or clear bytes that are not UTF-8.
    static std::optional<std::string> NrvAESDecrypt(std::string_view base64, int mode, std::string_view key,
        int keySize, std::string_view iv, int padding);
    // A reply's encrypted text (URL-safe or standard base64, padding optional, whitespace
    // allowed) to its clear text; empty text on any failure.
    static std::string NrvAESDecrypt(std::string_view text);

    // The core cipher. Adds the padding before encryption and removes it after a non-empty
    // decryption. No data on a cryptor error, which is logged as "Encrypt Error:<status>".
    static std::optional<Data> NrvAESWithData(const Data& data, int operation, int mode, std::string_view key,
        int keySize, std::string_view iv, int padding);

    // Padding of the given kind on 16-byte blocks. Kind 1 is added here only in CFB and OFB.
    // Unknown kinds leave the data unchanged.
    static Data bitPaddingWithData(const Data& data, int mode, int padding);
    // Its removal. A count byte that is out of range, or larger than the data, marks the
    // padding invalid: kind 1 then keeps the data whole, kinds 2 to 4 give empty data.
    // The removal does not depend on the operation.
    static Data removeBitPaddingWithData(const Data& data, int mode, int operation, int padding);

    // Hexadecimal digit pairs to text: each pair is one byte (a pair that is not two hex digits
    // gives 0), a trailing odd digit is ignored, and the bytes up to the first zero byte are
    // read as UTF-8; no text when they are not UTF-8.
    static std::optional<std::string> hex2bin(std::string_view hex);

    // Lenient standard base64: skips tab, line feed, form feed, carriage return and space and
    // most "=", keeps only whole bytes. No data for non-ASCII text or any other character.
    static std::optional<Data> decodeBase64WithString(std::string_view text);
};

namespace nrv_detail {
// The clear bytes of a reply's encrypted text (as NrvAES::NrvAESDecrypt(text) reads it), not
// yet checked to be UTF-8: for readers that check it themselves, such as the JSON reader. None
// on any failure and for empty clear text.
std::optional<Data> replyClearBytes(std::string_view text);
}
