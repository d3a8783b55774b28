#pragma once

#include "platform/ui/UIImage.h"

#include <optional>
#include <string>

// The pasteboard that copy and paste share within the app. It holds one item: setting a string
// replaces a picture and the other way round; setting nothing clears it. Main thread only.
class UIPasteboard {
public:
    static UIPasteboard& general();

    std::optional<std::string> string() const { return m_string; }
    void setString(std::optional<std::string> string);
    std::optional<UIImage> image() const { return m_image; }
    void setImage(std::optional<UIImage> image);

private:
    UIPasteboard() = default;

    std::optional<std::string> m_string;
    std::optional<UIImage> m_image;
};
