#pragma once

#include "platform/foundation/Data.h"

#include <cstddef>

// The platform's one-shot AES cryptor. Mode numbers are the platform's: 1 ECB, 2 CBC, 3 CFB
// (128-bit feedback), 4 CTR (128-bit big-endian counter), 7 OFB.
struct AESCryptor {
    enum class Operation { encrypt = 0, decrypt = 1 };

    static constexpr int modeECB = 1;
    static constexpr int modeCBC = 2;
    static constexpr int modeCFB = 3;
    static constexpr int modeCTR = 4;
    static constexpr int modeOFB = 7;

    // Status codes, as the platform numbers them.
    static constexpr int success = 0;
    static constexpr int paramError = -4300;
    static constexpr int alignmentError = -4303;
    static constexpr int decodeError = -4304;
    static constexpr int unimplemented = -4305;
    static constexpr int keySizeError = -4310;

    struct Result {
        int status = success;
        Data data;
        bool ok() const { return status == success; }
    };

    // Encrypts or decrypts the whole input at once. The key must be 16, 24 or 32 bytes. The
    // first 16 bytes of iv are the initialisation vector; a shorter iv is zero-extended, and
    // ECB ignores it. PKCS#7 padding applies to the block modes ECB and CBC; the stream modes
    // need none. Without padding, ECB and CBC need whole 16-byte blocks (alignmentError).
    // A PKCS#7 decryption whose padding is wrong gives decodeError. On failure data is empty.
    static Result crypt(
        Operation operation, int mode, bool pkcs7Padding, const Data& key, const Data& iv, const Data& input);

    // Room that crypt() may need for an input of this length (an upper bound for decryption).
    static size_t outputLength(size_t inputLength, bool pkcs7Padding);
};
