#include "platform/ui/QRCode.h"

#include "platform/ui/UIGraphics.h"

#include <cerrno>
#include <cmath>
#include <memory>
#include <qrencode.h>

namespace {

NSError qrError(long code, std::string description)
{
    return { QRCode::errorDomain, code, { { "NSLocalizedDescription", std::move(description) } } };
}

QRecLevel levelOf(QRCode::CorrectionLevel level)
{
    switch (level) {
    case QRCode::CorrectionLevel::low:
        return QR_ECLEVEL_L;
    case QRCode::CorrectionLevel::medium:
        return QR_ECLEVEL_M;
    case QRCode::CorrectionLevel::quartile:
        return QR_ECLEVEL_Q;
    case QRCode::CorrectionLevel::high:
        return QR_ECLEVEL_H;
    }
    return QR_ECLEVEL_M;
}

struct QRcodeDeleter {
    void operator()(QRcode* code) const { QRcode_free(code); }
};

}

std::variant<QRCode, NSError> QRCode::encode(std::string_view text, CorrectionLevel level)
{
    if (text.empty())
        return qrError(emptyText, "The text of a QR code is empty");
    // The largest code holds fewer than 3000 bytes at any level; longer input is refused before
    // the encoder works through it.
    constexpr std::size_t beyondAnyCode = 3000;
    if (text.size() >= beyondAnyCode)
        return qrError(textTooLong, "The text is too long for a QR code");
    errno = 0;
    std::unique_ptr<QRcode, QRcodeDeleter> code(QRcode_encodeData(static_cast<int>(text.size()),
        reinterpret_cast<const unsigned char*>(text.data()), 0, levelOf(level)));
    if (!code) {
        if (errno == ERANGE)
            return qrError(textTooLong, "The text is too long for a QR code");
        return qrError(encodingFailed, "The QR code could not be made");
    }
    int width = code->width;
    std::vector<bool> modules(static_cast<std::size_t>(width) * width);
    for (std::size_t i = 0; i < modules.size(); ++i)
        modules[i] = (code->data[i] & 1) != 0;
    return QRCode(width, std::move(modules));
}

std::variant<UIImage, NSError> QRCode::image(
    std::string_view text, CGFloat side, CGFloat scale, CorrectionLevel level)
{
    auto code = encode(text, level);
    if (auto* error = std::get_if<NSError>(&code))
        return *error;
    return std::get<QRCode>(code).image(side, scale);
}

bool QRCode::isDark(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_width)
        return false;
    return m_modules[static_cast<std::size_t>(y) * m_width + x];
}

UIImage QRCode::image(CGFloat side, CGFloat scale) const
{
    UIGraphicsImageRendererFormat format;
    format.scale = scale;
    format.opaque = true;
    return UIGraphicsImageRenderer({ side, side }, format).image([&](CGContext& context) {
        context.setFillColor(UIColor::white());
        context.fill({ 0, 0, side, side });
        // Whole pixels per module keep the edges sharp for readers; the rest is margin.
        int total = m_width + 2 * quietZone;
        int pixels = static_cast<int>(std::floor(side * scale));
        int modulePixels = std::max(1, pixels / total);
        CGFloat module = modulePixels / scale;
        CGFloat origin = std::floor((pixels - modulePixels * total) / 2.0) / scale + quietZone * module;
        context.setFillColor(UIColor::black());
        for (int y = 0; y < m_width; ++y) {
            for (int x = 0; x < m_width; ++x) {
                if (isDark(x, y))
                    context.fill({ origin + x * module, origin + y * module, module, module });
            }
        }
    });
}
