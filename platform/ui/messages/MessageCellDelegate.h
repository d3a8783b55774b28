#pragma once

namespace MessageKit {

class MessageCollectionViewCell;

// Taps on the parts of a message cell. Held weakly.
class MessageCellDelegate {
public:
    virtual ~MessageCellDelegate() = default;
    virtual void didTapAvatar(MessageCollectionViewCell&) { }
    // On the bubble of a text message.
    virtual void didTapMessage(MessageCollectionViewCell&) { }
    // On the picture of a photo message.
    virtual void didTapImage(MessageCollectionViewCell&) { }
};

}
