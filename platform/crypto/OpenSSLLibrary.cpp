#include "platform/crypto/OpenSSLLibrary.h"

#include <mutex>
#include <openssl/crypto.h>

void OpenSSLLibrary::initialize()
{
    static std::once_flag once;
    // Whichever call sets the library up first decides whether it cleans up at exit.
    std::call_once(once, [] { OPENSSL_init_crypto(OPENSSL_INIT_NO_ATEXIT, nullptr); });
}

namespace {

[[gnu::constructor]] void initializeOpenSSLAtLoad()
{
    OpenSSLLibrary::initialize();
}

}
