#pragma once

#include "platform/ui/lists/IndexPath.h"
#include "platform/ui/messages/MessageKitTypes.h"

#include <memory>
#include <optional>

namespace MessageKit {

class MediaMessageCell;
class MessagesCollectionView;
class TextMessageCell;

// What the message list shows. Held weakly by the list.
class MessagesDataSource {
public:
    virtual ~MessagesDataSource() = default;

    // The viewer: their messages show on the outgoing side.
    virtual std::shared_ptr<const SenderType> currentSender() const = 0;
    bool isFromCurrentSender(const MessageType& message) const;

    virtual int numberOfSections(MessagesCollectionView&) = 0;
    virtual int numberOfItems(int /*section*/, MessagesCollectionView&) { return 1; }
    // Valid until the list asks again.
    virtual const MessageType& messageForItem(const IndexPath&, MessagesCollectionView&) = 0;

    // The label above the cell and the one above the bubble; none leaves them empty.
    virtual std::optional<NSAttributedString> cellTopLabelAttributedText(const MessageType&, const IndexPath&)
    {
        return std::nullopt;
    }
    virtual std::optional<NSAttributedString> messageTopLabelAttributedText(
        const MessageType&, const IndexPath&)
    {
        return std::nullopt;
    }

    // A cell of one's own for a text (or styled text) or a photo message, or none for the list's
    // own cell. The list has the cell configure itself for the message afterwards.
    virtual std::shared_ptr<TextMessageCell> textCell(
        const MessageType&, const IndexPath&, MessagesCollectionView&)
    {
        return nullptr;
    }
    virtual std::shared_ptr<MediaMessageCell> photoCell(
        const MessageType&, const IndexPath&, MessagesCollectionView&)
    {
        return nullptr;
    }
};

}
