#include "platform/ui/messages/MessageContentCell.h"

#include "platform/ui/messages/MessagesCollectionView.h"

namespace MessageKit {

namespace {

MessagesDisplayDelegate& displayDelegate(const std::shared_ptr<MessagesDisplayDelegate>& given)
{
    static MessagesDisplayDelegate defaults;
    return given ? *given : defaults;
}

std::optional<StyledText> styled(const std::optional<NSAttributedString>& text)
{
    if (!text)
        return std::nullopt;
    return text->styledText();
}

}

MessageContentCell::MessageContentCell()
    : m_avatarView(std::make_shared<AvatarView>())
    , m_messageContainerView(std::make_shared<MessageContainerView>())
    , m_cellTopLabel(std::make_shared<MessageLabel>())
    , m_messageTopLabel(std::make_shared<MessageLabel>())
{
    m_cellTopLabel->setTextAlignment(NSTextAlignment::center);
    m_cellTopLabel->setNumberOfLines(1);
    m_messageTopLabel->setNumberOfLines(1);
    m_messageTopLabel->setFont(UIFont::systemFont(12));
    m_cellTopLabel->setFont(UIFont::systemFont(12));
    const auto& content = contentView();
    content->addSubview(m_cellTopLabel);
    content->addSubview(m_messageTopLabel);
    content->addSubview(m_messageContainerView);
    content->addSubview(m_avatarView);
}

void MessageContentCell::configure(
    const MessageType& message, const IndexPath& indexPath, MessagesCollectionView& view)
{
    delegate = view.messageCellDelegate();
    MessagesDisplayDelegate& display = displayDelegate(view.messagesDisplayDelegate());
    m_messageContainerView->setBackgroundColor(display.backgroundColor(message, indexPath, view));
    display.configureAvatarView(*m_avatarView, message, indexPath, view);
    auto source = view.messagesDataSource();
    m_cellTopLabel->setAttributedText(
        source ? styled(source->cellTopLabelAttributedText(message, indexPath)) : std::nullopt);
    m_messageTopLabel->setAttributedText(
        source ? styled(source->messageTopLabelAttributedText(message, indexPath)) : std::nullopt);
}

void MessageContentCell::apply(const UICollectionViewLayoutAttributes& attributes)
{
    MessageCollectionViewCell::apply(attributes);
    if (const auto* messageAttributes
        = dynamic_cast<const MessagesCollectionViewLayoutAttributes*>(&attributes))
        m_attributes = *messageAttributes;
    placeParts();
}

void MessageContentCell::prepareForReuse()
{
    MessageCollectionViewCell::prepareForReuse();
    m_cellTopLabel->setAttributedText(std::nullopt);
    m_messageTopLabel->setAttributedText(std::nullopt);
}

void MessageContentCell::layoutSubviews()
{
    MessageCollectionViewCell::layoutSubviews();
    placeParts();
}

void MessageContentCell::placeParts()
{
    if (!m_attributes)
        return;
    const MessagesCollectionViewLayoutAttributes& a = *m_attributes;
    CGFloat width = bounds().width();
    CGFloat height = bounds().height();

    m_cellTopLabel->setFrame({ 0, 0, width, a.cellTopLabelHeight });
    m_messageTopLabel->setFrame({ 0, a.cellTopLabelHeight, width, a.messageTopLabelHeight });
    m_messageTopLabel->textInsets = a.messageTopLabelInsets;
    m_messageTopLabel->setTextAlignment(a.messageTopLabelAlignment);

    using Horizontal = AvatarPosition::Horizontal;
    bool onRight = a.avatarPosition.horizontal == Horizontal::cellTrailing
        || (a.avatarPosition.horizontal == Horizontal::natural && a.isOutgoing);
    CGSize avatar = a.avatarSize;
    CGSize container = a.messageContainerSize;
    UIEdgeInsets padding = a.messageContainerPadding;
    CGFloat containerY = a.cellTopLabelHeight + a.messageTopLabelHeight + padding.top;
    CGFloat containerX
        = onRight ? width - avatar.width - padding.right - container.width : avatar.width + padding.left;
    m_messageContainerView->setFrame({ containerX, containerY, container.width, container.height });

    using Vertical = AvatarPosition::Vertical;
    CGFloat avatarY = 0;
    switch (a.avatarPosition.vertical) {
    case Vertical::cellTop:
        avatarY = 0;
        break;
    case Vertical::messageLabelTop:
        avatarY = a.cellTopLabelHeight;
        break;
    case Vertical::messageTop:
        avatarY = containerY;
        break;
    case Vertical::messageCenter:
        avatarY = containerY + (container.height - avatar.height) / 2;
        break;
    case Vertical::messageBottom:
        avatarY = containerY + container.height - avatar.height;
        break;
    case Vertical::cellBottom:
        avatarY = height - avatar.height;
        break;
    }
    m_avatarView->setFrame({ onRight ? width - avatar.width : 0, avatarY, avatar.width, avatar.height });
    layoutMessageContainerContent(a);
}

void MessageContentCell::handleTapGesture(CGPoint point)
{
    auto target = delegate.lock();
    if (!target)
        return;
    if (!m_avatarView->isHidden() && m_avatarView->frame().contains(point))
        target->didTapAvatar(*this);
    else if (m_messageContainerView->frame().contains(point))
        handleMessageContainerTap(*target);
}

TextMessageCell::TextMessageCell()
    : m_messageLabel(std::make_shared<MessageLabel>())
{
    messageContainerView()->addSubview(m_messageLabel);
}

void TextMessageCell::configure(
    const MessageType& message, const IndexPath& indexPath, MessagesCollectionView& view)
{
    MessageContentCell::configure(message, indexPath, view);
    m_messageLabel->setTextColor(
        displayDelegate(view.messagesDisplayDelegate()).textColor(message, indexPath, view));
    const MessageKind& kind = message.kind();
    if (kind.kind() == MessageKind::Case::attributedText)
        m_messageLabel->setAttributedText(kind.attributedTextValue().styledText());
    else
        m_messageLabel->setText(kind.textValue());
}

void TextMessageCell::prepareForReuse()
{
    MessageContentCell::prepareForReuse();
    m_messageLabel->setText({});
}

void TextMessageCell::layoutMessageContainerContent(const MessagesCollectionViewLayoutAttributes& attributes)
{
    m_messageLabel->setFont(attributes.messageLabelFont);
    m_messageLabel->textInsets = attributes.messageLabelInsets;
    m_messageLabel->setFrame(messageContainerView()->bounds());
}

MediaMessageCell::MediaMessageCell()
    : m_imageView(std::make_shared<UIImageView>())
{
    m_imageView->setContentMode(UIViewContentMode::scaleAspectFill);
    m_imageView->setClipsToBounds(true);
    messageContainerView()->addSubview(m_imageView);
}

void MediaMessageCell::configure(
    const MessageType& message, const IndexPath& indexPath, MessagesCollectionView& view)
{
    MessageContentCell::configure(message, indexPath, view);
    displayDelegate(view.messagesDisplayDelegate())
        .configureMediaMessageImageView(*m_imageView, message, indexPath, view);
}

void MediaMessageCell::prepareForReuse()
{
    MessageContentCell::prepareForReuse();
    m_imageView->setImage(std::nullopt);
}

void MediaMessageCell::layoutMessageContainerContent(const MessagesCollectionViewLayoutAttributes&)
{
    m_imageView->setFrame(messageContainerView()->bounds());
}

}
