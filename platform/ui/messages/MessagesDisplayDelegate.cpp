#include "platform/ui/messages/MessagesDisplayDelegate.h"

#include "platform/ui/UIImageView.h"
#include "platform/ui/messages/AvatarView.h"
#include "platform/ui/messages/MessagesCollectionView.h"

namespace MessageKit {

namespace {

bool isOutgoing(const MessageType& message, MessagesCollectionView& view)
{
    auto source = view.messagesDataSource();
    return source && source->isFromCurrentSender(message);
}

}

UIColor MessagesDisplayDelegate::backgroundColor(
    const MessageType& message, const IndexPath&, MessagesCollectionView& view)
{
    return isOutgoing(message, view) ? UIColor(69 / 255.0, 193 / 255.0, 89 / 255.0, 1)
                                     : UIColor(230 / 255.0, 230 / 255.0, 235 / 255.0, 1);
}

UIColor MessagesDisplayDelegate::textColor(
    const MessageType& message, const IndexPath&, MessagesCollectionView& view)
{
    return isOutgoing(message, view) ? UIColor::white() : UIColor::black();
}

void MessagesDisplayDelegate::configureAvatarView(
    AvatarView&, const MessageType&, const IndexPath&, MessagesCollectionView&)
{ }

void MessagesDisplayDelegate::configureMediaMessageImageView(
    UIImageView& imageView, const MessageType& message, const IndexPath&, MessagesCollectionView&)
{
    const auto& item = message.kind().mediaItem();
    if (!item) {
        imageView.setImage(std::nullopt);
        return;
    }
    std::optional<UIImage> image = item->image();
    imageView.setImage(image ? image : std::optional<UIImage>(item->placeholderImage()));
}

bool MessagesDataSource::isFromCurrentSender(const MessageType& message) const
{
    auto current = currentSender();
    return current && message.sender().senderId() == current->senderId();
}

}
