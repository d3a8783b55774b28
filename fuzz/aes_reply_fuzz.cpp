// Feeds arbitrary text to the reply decryption, as an untrusted server body would, and the
// raw bytes to the padding removal of every kind.

#include "app/Core/Codec/NrvAES.h"
#include "app/Core/Codec/NrvGTMBase64.h"
#include "platform/foundation/Log.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
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

    const std::string clear = NrvAES::NrvAESDecrypt(text);
    check(clear.size() <= size);
    check(nrv_detail::isValidUTF8(clear));
    // The bytes that the JSON reader gets are the same text, before its UTF-8 check.
    const auto bytes = nrv_detail::replyClearBytes(text);
    check(clear.empty() || (bytes && stringFromData(*bytes) == clear));
    check(!bytes || !clear.empty() || !nrv_detail::isValidUTF8(stringFromData(*bytes)));

    const Data raw(data, data + size);
    for (int mode : { 2, 3 }) {
        for (int padding = 0; padding <= 5; ++padding)
            check(NrvAES::removeBitPaddingWithData(raw, mode, 1, padding).size() <= size);
    }
    return 0;
}
