#pragma once

#include "platform/ui/UILabel.h"
#include "platform/ui/lists/UICollectionViewCell.h"
#include "platform/ui/messages/AvatarView.h"
#include "platform/ui/messages/MessageCellDelegate.h"
#include "platform/ui/messages/MessageContainerView.h"
#include "platform/ui/messages/MessageKitTypes.h"
#include "platform/ui/messages/MessagesCollectionViewLayoutAttributes.h"

#include <memory>
#include <optional>

namespace MessageKit {

class MessagesCollectionView;

// Base of the cells of the message list: it hears the taps the list passes on.
class MessageCollectionViewCell : public UICollectionViewCell {
public:
    std::string className() const override { return "MessageCollectionViewCell"; }

    // A tap at a point of the cell; the base does nothing.
    virtual void handleTapGesture(CGPoint) { }
};

// A message with its parts: the label above the cell, the label above the bubble, the avatar and
// the bubble (message container), placed from the layout's attributes. A tap on the avatar or the
// bubble goes to the list's cell delegate.
class MessageContentCell : public MessageCollectionViewCell {
public:
    MessageContentCell();

    std::string className() const override { return "MessageContentCell"; }

    const std::shared_ptr<AvatarView>& avatarView() const { return m_avatarView; }
    const std::shared_ptr<MessageContainerView>& messageContainerView() const
    {
        return m_messageContainerView;
    }
    const std::shared_ptr<MessageLabel>& cellTopLabel() const { return m_cellTopLabel; }
    const std::shared_ptr<MessageLabel>& messageTopLabel() const { return m_messageTopLabel; }

    // Set by configure from the list; held weakly.
    std::weak_ptr<MessageCellDelegate> delegate;

    // Fills the cell for the message from the list's delegates: labels, colours, avatar.
    virtual void configure(
        const MessageType& message, const IndexPath& indexPath, MessagesCollectionView& view);

    void apply(const UICollectionViewLayoutAttributes& attributes) override;
    void prepareForReuse() override;
    void layoutSubviews() override;
    void handleTapGesture(CGPoint point) override;

protected:
    // A tap on the bubble; text cells report the message, photo cells the image.
    virtual void handleMessageContainerTap(MessageCellDelegate& delegate) { delegate.didTapMessage(*this); }
    // The bubble's own content, after the bubble got its frame.
    virtual void layoutMessageContainerContent(const MessagesCollectionViewLayoutAttributes&) { }

private:
    void placeParts();

    std::shared_ptr<AvatarView> m_avatarView;
    std::shared_ptr<MessageContainerView> m_messageContainerView;
    std::shared_ptr<MessageLabel> m_cellTopLabel;
    std::shared_ptr<MessageLabel> m_messageTopLabel;
    std::optional<MessagesCollectionViewLayoutAttributes> m_attributes;
};

// A text or styled-text message: the text in a label inside the bubble.
class TextMessageCell : public MessageContentCell {
public:
    TextMessageCell();

    std::string className() const override { return "TextMessageCell"; }

    const std::shared_ptr<MessageLabel>& messageLabel() const { return m_messageLabel; }

    void configure(
        const MessageType& message, const IndexPath& indexPath, MessagesCollectionView& view) override;
    void prepareForReuse() override;

protected:
    void layoutMessageContainerContent(const MessagesCollectionViewLayoutAttributes& attributes) override;

private:
    std::shared_ptr<MessageLabel> m_messageLabel;
};

// A photo message: the picture fills the bubble; the display delegate fills the image view.
class MediaMessageCell : public MessageContentCell {
public:
    MediaMessageCell();

    std::string className() const override { return "MediaMessageCell"; }

    const std::shared_ptr<UIImageView>& imageView() const { return m_imageView; }

    void configure(
        const MessageType& message, const IndexPath& indexPath, MessagesCollectionView& view) override;
    void prepareForReuse() override;

protected:
    void handleMessageContainerTap(MessageCellDelegate& delegate) override { delegate.didTapImage(*this); }
    void layoutMessageContainerContent(const MessagesCollectionViewLayoutAttributes& attributes) override;

private:
    std::shared_ptr<UIImageView> m_imageView;
};

}
