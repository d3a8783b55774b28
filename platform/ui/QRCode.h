#pragma once

#include "platform/foundation/NSError.h"
#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIImage.h"

#include <cstddef>
#include <string_view>
#include <variant>
#include <vector>

// A QR code of a text (its bytes as given, UTF-8 for texts), made with libqrencode.
class QRCode {
public:
    enum class CorrectionLevel { low, medium, quartile, high };
    static constexpr const char* errorDomain = "QRCodeErrorDomain";
    enum ErrorCode : long { emptyText = 1, textTooLong = 2, encodingFailed = 3 };
    // The light border that readers need around the code, in modules.
    static constexpr int quietZone = 4;

    // The code of the text; an error for an empty text or one that does not fit in the largest
    // code at that level (2331 bytes at the medium level).
    static std::variant<QRCode, NSError> encode(
        std::string_view text, CorrectionLevel level = CorrectionLevel::medium);
    // The code drawn black on white into a square of `side` points with its quiet zone, modules
    // on whole pixels, at the scale (pixels per point).
    static std::variant<UIImage, NSError> image(std::string_view text, CGFloat side, CGFloat scale = 1,
        CorrectionLevel level = CorrectionLevel::medium);

    // Modules per side, without the quiet zone.
    int width() const { return m_width; }
    bool isDark(int x, int y) const;
    UIImage image(CGFloat side, CGFloat scale = 1) const;

private:
    QRCode(int width, std::vector<bool> modules)
        : m_width(width)
        , m_modules(std::move(modules))
    { }

    int m_width = 0;
    std::vector<bool> m_modules;
};
