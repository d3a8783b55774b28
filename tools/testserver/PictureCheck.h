#pragma once

// Whether bytes that arrive as a picture are one: decoded whole, every row, with the decoder of
// their type (libjpeg for JPEG, Cairo for PNG). Their first bytes alone say nothing of a file cut
// short or damaged after its header, which would be kept and served as if it were whole.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace testserver {

// The largest picture taken: as large as the app shows one, so that whatever is kept it can
// draw. Read from the header and refused before anything is allocated for the pixels.
inline constexpr std::uint32_t maxPictureSide = 16384;
inline constexpr std::uint64_t maxPicturePixels = 40'000'000;

struct PictureFault {
    enum class Kind {
        damaged, // cut short, or not the picture its type and signature promise
        tooLarge, // past maxPictureSide or maxPicturePixels
    };
    Kind kind = Kind::damaged;
    std::string reason; // what is wrong, for a log line ("its data ends before the picture does")
};

// None when the bytes decode whole as a picture of the type ("image/jpeg" or "image/png"); any
// other type is a fault too. Untrusted bytes of any size or content give a value, never a crash.
std::optional<PictureFault> checkPicture(std::string_view contentType, std::string_view bytes);

}
