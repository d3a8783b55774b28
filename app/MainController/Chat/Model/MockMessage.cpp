#include "app/MainController/Chat/Model/MockMessage.h"

namespace {

// The picture of an image message.
struct ImageMediaItem : MessageKit::MediaItem {
    std::optional<std::string> urlValue;
    std::optional<UIImage> imageValue;
    UIImage placeholder;

    std::optional<std::string> url() const override { return urlValue; }
    std::optional<UIImage> image() const override { return imageValue; }
    UIImage placeholderImage() const override { return placeholder; }
    CGSize size() const override { return { MockMessage::photoSide, MockMessage::photoSide }; }
};

}

MockMessage::MockMessage(std::optional<std::string> imageURL, MockUser user, std::string messageId, Date date)
    : MockMessage(MessageKit::MessageKind::text({}), std::move(user), std::move(messageId), date)
{
    auto item = std::make_shared<ImageMediaItem>();
    item->urlValue = std::move(imageURL);
    item->placeholder = UIImage::named("image_message_placeholder").value_or(UIImage());
    kindValue = MessageKit::MessageKind::photo(std::move(item));
}

MockMessage::MockMessage(UIImage image, MockUser user, std::string messageId, Date date)
    : MockMessage(MessageKit::MessageKind::text({}), std::move(user), std::move(messageId), date)
{
    auto item = std::make_shared<ImageMediaItem>();
    item->imageValue = std::move(image);
    kindValue = MessageKit::MessageKind::photo(std::move(item));
}
