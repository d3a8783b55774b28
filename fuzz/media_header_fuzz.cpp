// Feeds arbitrary bytes to what the media cache reads from clients and origins besides
// playlists: Range and Content-Range fields, and the proxy's own paths.

#include "platform/media/cache/MCSDownloader.h"
#include "platform/media/cache/MCSProxyAddress.h"
#include "platform/media/cache/MCSReadThrough.h"
#include "platform/media/cache/MCSURL.h"

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

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(bytes), size);

    if (auto range = parseRangeHeader(text)) {
        if (range->first && range->last)
            check(*range->first <= *range->last);
        check(range->first || !range->last);
    }
    if (auto range = parseContentRange(text)) {
        check(range->first <= range->last);
        check(!range->total || *range->total > range->last);
    }

    static const MCSProxyAddress addresses(Data(32, 7));
    if (auto online = addresses.parseOnline(text))
        check(addresses.onlinePath(online->asset, online->role, online->url)
                  .starts_with("/o/" + online->asset));
    if (auto file = MCSProxyAddress::parseExport(text)) {
        check(MCSURL::isSafeComponent(file->name) && MCSURL::isSafeComponent(file->file));
        check(file->name.find('/') == std::string::npos && file->file != "..");
    }
    if (auto decoded = MCSURL::base64URLDecode(text))
        check(MCSURL::base64URLDecode(MCSURL::base64URLEncode(*decoded)) == decoded);
    return 0;
}
