// The test server's check of an uploaded or kept picture: untrusted bytes declared as a PNG (first
// byte even) or a JPEG (odd) are decoded whole. Whatever they hold, the check answers with a value:
// libjpeg's and libpng's errors never leave the decoders' frames nor end the process.

#include "tools/testserver/PictureCheck.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view type = data[0] % 2 == 0 ? "image/png" : "image/jpeg";
    std::optional<testserver::PictureFault> fault
        = testserver::checkPicture(type, std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
    // A fault always says what is wrong.
    if (fault && fault->reason.empty())
        __builtin_trap();
    return 0;
}
