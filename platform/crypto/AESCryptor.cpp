#define OPENSSL_API_COMPAT 30000
#define OPENSSL_NO_DEPRECATED

#include "platform/crypto/AESCryptor.h"

#include <algorithm>
#include <array>
#include <climits>
#include <memory>
#include <openssl/err.h>
#include <openssl/evp.h>

namespace {

constexpr size_t blockSize = 16;

const EVP_CIPHER* cipherFor(int mode, size_t keySize)
{
    const int index = keySize == 16 ? 0 : keySize == 24 ? 1 : 2;
    switch (mode) {
    case AESCryptor::modeECB:
        return std::array { EVP_aes_128_ecb(), EVP_aes_192_ecb(), EVP_aes_256_ecb() }[index];
    case AESCryptor::modeCBC:
        return std::array { EVP_aes_128_cbc(), EVP_aes_192_cbc(), EVP_aes_256_cbc() }[index];
    case AESCryptor::modeCFB:
        return std::array { EVP_aes_128_cfb128(), EVP_aes_192_cfb128(), EVP_aes_256_cfb128() }[index];
    case AESCryptor::modeCTR:
        return std::array { EVP_aes_128_ctr(), EVP_aes_192_ctr(), EVP_aes_256_ctr() }[index];
    case AESCryptor::modeOFB:
        return std::array { EVP_aes_128_ofb(), EVP_aes_192_ofb(), EVP_aes_256_ofb() }[index];
    default:
        return nullptr;
    }
}

bool isBlockMode(int mode)
{
    return mode == AESCryptor::modeECB || mode == AESCryptor::modeCBC;
}

AESCryptor::Result failure(int status)
{
    ERR_clear_error();
    return AESCryptor::Result { status, {} };
}

}

AESCryptor::Result AESCryptor::crypt(
    Operation operation, int mode, bool pkcs7Padding, const Data& key, const Data& iv, const Data& input)
{
    if (operation != Operation::encrypt && operation != Operation::decrypt)
        return failure(paramError);
    if (key.size() != 16 && key.size() != 24 && key.size() != 32)
        return failure(keySizeError);
    const EVP_CIPHER* cipher = cipherFor(mode, key.size());
    if (!cipher)
        return failure(unimplemented);

    if (input.size() > static_cast<size_t>(INT_MAX) - 2 * blockSize)
        return failure(paramError);
    const bool padded = pkcs7Padding && isBlockMode(mode);
    if (isBlockMode(mode) && !padded && input.size() % blockSize != 0)
        return failure(alignmentError);
    if (isBlockMode(mode) && padded && operation == Operation::decrypt
        && (input.empty() || input.size() % blockSize != 0))
        return failure(alignmentError);

    std::array<unsigned char, blockSize> ivBlock {};
    std::copy_n(iv.begin(), std::min(iv.size(), blockSize), ivBlock.begin());

    using CipherCtx = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;
    CipherCtx ctx(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
    const int encrypting = operation == Operation::encrypt ? 1 : 0;
    if (!ctx || EVP_CipherInit_ex(ctx.get(), cipher, nullptr, key.data(), ivBlock.data(), encrypting) != 1
        || EVP_CIPHER_CTX_set_padding(ctx.get(), padded ? 1 : 0) != 1)
        return failure(paramError);

    // One spare byte keeps the buffer non-null for an empty stream-mode input.
    Data out(outputLength(input.size(), padded) + 1);
    int updated = 0;
    static const unsigned char nothing = 0;
    const unsigned char* in = input.empty() ? &nothing : input.data();
    if (EVP_CipherUpdate(ctx.get(), out.data(), &updated, in, static_cast<int>(input.size())) != 1)
        return failure(paramError);
    int finished = 0;
    if (EVP_CipherFinal_ex(ctx.get(), out.data() + updated, &finished) != 1)
        return failure(padded ? decodeError : alignmentError);
    out.resize(static_cast<size_t>(updated) + static_cast<size_t>(finished));
    return Result { success, std::move(out) };
}

size_t AESCryptor::outputLength(size_t inputLength, bool pkcs7Padding)
{
    return pkcs7Padding ? (inputLength / blockSize + 1) * blockSize : inputLength;
}
