#include "platform/ui/sharing/UIPasteboard.h"

UIPasteboard& UIPasteboard::general()
{
    static UIPasteboard pasteboard;
    return pasteboard;
}

void UIPasteboard::setString(std::optional<std::string> string)
{
    m_image.reset();
    m_string = std::move(string);
}

void UIPasteboard::setImage(std::optional<UIImage> image)
{
    m_string.reset();
    // An image without a bitmap is no picture to paste.
    if (image && !image->hasBitmap())
        image.reset();
    m_image = std::move(image);
}
