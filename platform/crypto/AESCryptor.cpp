#define OPENSSL_API_COMPAT 30000
#define OPENSSL_NO_DEPRECATED

#include "platform/crypto/AESCryptor.h"

#include <algorithm>
#include <array>
#include <climits>
#include <map>
#include <memory>
#include <mutex>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <string>

namespace {

constexpr size_t blockSize = 16;

using Cipher = std::unique_ptr<EVP_CIPHER, decltype(&EVP_CIPHER_free)>;

// The algorithm for a mode and key size, fetched from the provider once: an implicit fetch on
// every initialisation walks the provider tables each time.
const EVP_CIPHER* cipherFor(int mode, size_t keySize)
{
    const char* modeName = mode == AESCryptor::modeECB ? "ECB"
        : mode == AESCryptor::modeCBC                  ? "CBC"
        : mode == AESCryptor::modeCFB                  ? "CFB"
        : mode == AESCryptor::modeCTR                  ? "CTR"
        : mode == AESCryptor::modeOFB                  ? "OFB"
                                                       : nullptr;
    if (!modeName)
        return nullptr;
    static std::mutex mutex;
    static std::map<std::string, Cipher> fetched;
    std::string name = "AES-" + std::to_string(keySize * 8) + "-" + modeName;
    std::lock_guard lock(mutex);
    auto found = fetched.find(name);
    if (found == fetched.end())
        found
            = fetched.emplace(name, Cipher(EVP_CIPHER_fetch(nullptr, name.c_str(), nullptr), EVP_CIPHER_free))
                  .first;
    return found->second.get();
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

    // One context per thread, initialised afresh by each call.
    using CipherCtx = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;
    thread_local CipherCtx ctx(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
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
