#pragma once

#include "platform/ui/UIImage.h"

#include <memory>
#include <optional>
#include <string>

// One emotion of the framework's emotion input: the identifier naming its picture, the text it
// stands for in a message ("[微笑]") and the picture once loaded. Main thread.
class QMUIEmotion {
public:
    static std::shared_ptr<QMUIEmotion> emotionWithIdentifier(std::string identifier, std::string displayName)
    {
        return std::make_shared<QMUIEmotion>(std::move(identifier), std::move(displayName));
    }

    QMUIEmotion(std::string identifier, std::string displayName)
        : m_identifier(std::move(identifier))
        , m_displayName(std::move(displayName))
    { }

    const std::string& identifier() const { return m_identifier; }
    const std::string& displayName() const { return m_displayName; }
    const std::optional<UIImage>& image() const { return m_image; }
    void setImage(std::optional<UIImage> image) { m_image = std::move(image); }

private:
    std::string m_identifier;
    std::string m_displayName;
    std::optional<UIImage> m_image;
};
