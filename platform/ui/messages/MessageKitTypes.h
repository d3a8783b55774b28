#pragma once

#include "platform/foundation/Date.h"
#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIImage.h"
#include "platform/ui/text/NSAttributedString.h"

#include <memory>
#include <optional>
#include <string>

// The chat UI framework: a list of messages, one per section, drawn as bubbles beside avatars,
// with a label above the cell (a time, say) and one above the bubble (a name). The screen that
// shows the list answers its data source, display, layout and cell delegates.
namespace MessageKit {

// Who wrote a message. Messages whose sender id equals the data source's current sender show on
// the outgoing (right) side.
class SenderType {
public:
    virtual ~SenderType() = default;
    virtual std::string senderId() const = 0;
    virtual std::string displayName() const = 0;
};

// The picture of a photo message: an address to load or an image at hand, a placeholder while
// loading, and the size the bubble asks for.
class MediaItem {
public:
    virtual ~MediaItem() = default;
    virtual std::optional<std::string> url() const = 0;
    virtual std::optional<UIImage> image() const = 0;
    virtual UIImage placeholderImage() const = 0;
    virtual CGSize size() const = 0;
};

// What a message shows: plain text, styled text (its own fonts and colours) or a photo.
class MessageKind {
public:
    enum class Case { text, attributedText, photo };

    static MessageKind text(std::string text);
    static MessageKind attributedText(NSAttributedString text);
    static MessageKind photo(std::shared_ptr<const MediaItem> item);

    Case kind() const { return m_case; }
    // The payload of the case; empty for the other cases.
    const std::string& textValue() const { return m_text; }
    const NSAttributedString& attributedTextValue() const { return m_attributedText; }
    const std::shared_ptr<const MediaItem>& mediaItem() const { return m_media; }

private:
    Case m_case = Case::text;
    std::string m_text;
    NSAttributedString m_attributedText;
    std::shared_ptr<const MediaItem> m_media;
};

// One message of the list.
class MessageType {
public:
    virtual ~MessageType() = default;
    virtual const SenderType& sender() const = 0;
    virtual std::string messageId() const = 0;
    virtual Date sentDate() const = 0;
    virtual const MessageKind& kind() const = 0;
};

// Where the avatar sits: on which side (natural: incoming left, outgoing right) and level with
// which part of the cell.
struct AvatarPosition {
    enum class Horizontal { cellLeading, cellTrailing, natural };
    enum class Vertical { cellTop, messageLabelTop, messageTop, messageCenter, messageBottom, cellBottom };

    Horizontal horizontal = Horizontal::natural;
    Vertical vertical = Vertical::cellBottom;

    bool operator==(const AvatarPosition&) const = default;
};

}
