#pragma once

#include "platform/ui/UIImage.h"

#include <optional>
#include <string>

// What a controller shows in a tab bar: a title and an image, another image while its tab is
// selected (the normal one when unset), and a tag for the app's own use.
class UITabBarItem {
public:
    UITabBarItem() = default;
    UITabBarItem(std::string title, std::optional<UIImage> image, int tag)
        : m_title(std::move(title))
        , m_image(std::move(image))
        , m_tag(tag)
    { }

    const std::string& title() const { return m_title; }
    void setTitle(std::string title) { m_title = std::move(title); }
    const std::optional<UIImage>& image() const { return m_image; }
    void setImage(std::optional<UIImage> image) { m_image = std::move(image); }
    const std::optional<UIImage>& selectedImage() const
    {
        return m_selectedImage ? m_selectedImage : m_image;
    }
    void setSelectedImage(std::optional<UIImage> image) { m_selectedImage = std::move(image); }
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

private:
    std::string m_title;
    std::optional<UIImage> m_image;
    std::optional<UIImage> m_selectedImage;
    int m_tag = 0;
};
