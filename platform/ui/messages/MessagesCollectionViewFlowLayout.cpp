#include "platform/ui/messages/MessagesCollectionViewFlowLayout.h"

#include "platform/ui/messages/MessagesCollectionView.h"
#include "platform/ui/messages/MessagesCollectionViewLayoutAttributes.h"

#include <algorithm>

namespace MessageKit {

MessagesCollectionViewFlowLayout::MessagesCollectionViewFlowLayout()
    : m_text(*this)
    , m_photo(*this)
{
    setSectionInset({ 4, 8, 4, 8 });
    setMinimumLineSpacing(0);
    setMinimumInteritemSpacing(0);
    AvatarPosition incoming { AvatarPosition::Horizontal::natural, AvatarPosition::Vertical::cellBottom };
    setMessageIncomingAvatarPosition(incoming);
    setMessageOutgoingAvatarPosition(incoming);
}

MessagesCollectionView* MessagesCollectionViewFlowLayout::messagesCollectionView() const
{
    return dynamic_cast<MessagesCollectionView*>(collectionView());
}

CGFloat MessagesCollectionViewFlowLayout::itemWidth() const
{
    UICollectionView* view = collectionView();
    if (!view)
        return 0;
    UIEdgeInsets inset = sectionInset();
    UIEdgeInsets content = view->adjustedContentInset();
    return std::max<CGFloat>(
        0, view->bounds().width() - inset.left - inset.right - content.left - content.right);
}

void MessagesCollectionViewFlowLayout::setMessageIncomingAvatarPosition(AvatarPosition position)
{
    for (MessageSizeCalculator* calculator :
        { static_cast<MessageSizeCalculator*>(&m_text), static_cast<MessageSizeCalculator*>(&m_photo) })
        calculator->incomingAvatarPosition = position;
    invalidateLayout();
}

void MessagesCollectionViewFlowLayout::setMessageOutgoingAvatarPosition(AvatarPosition position)
{
    for (MessageSizeCalculator* calculator :
        { static_cast<MessageSizeCalculator*>(&m_text), static_cast<MessageSizeCalculator*>(&m_photo) })
        calculator->outgoingAvatarPosition = position;
    invalidateLayout();
}

MessageSizeCalculator& MessagesCollectionViewFlowLayout::cellSizeCalculatorForItem(const MessageType& message)
{
    if (message.kind().kind() == MessageKind::Case::photo)
        return m_photo;
    return m_text;
}

CGSize MessagesCollectionViewFlowLayout::messageSizeForItem(const IndexPath& indexPath)
{
    MessagesCollectionView* view = messagesCollectionView();
    auto source = view ? view->messagesDataSource() : nullptr;
    if (!source)
        return {};
    const MessageType& message = source->messageForItem(indexPath, *view);
    return cellSizeCalculatorForItem(message).sizeForItem(message, indexPath);
}

UICollectionViewLayoutAttributesPtr MessagesCollectionViewFlowLayout::makeLayoutAttributes() const
{
    return std::make_shared<MessagesCollectionViewLayoutAttributes>();
}

void MessagesCollectionViewFlowLayout::configure(UICollectionViewLayoutAttributes& attributes)
{
    auto* messageAttributes = dynamic_cast<MessagesCollectionViewLayoutAttributes*>(&attributes);
    MessagesCollectionView* view = messagesCollectionView();
    auto source = view ? view->messagesDataSource() : nullptr;
    if (!messageAttributes || !source
        || attributes.representedElementCategory() != UICollectionElementCategory::cell)
        return;
    const IndexPath& indexPath = attributes.indexPath;
    if (indexPath.section >= source->numberOfSections(*view))
        return;
    const MessageType& message = source->messageForItem(indexPath, *view);
    cellSizeCalculatorForItem(message).configure(*messageAttributes, message);
}

std::vector<UICollectionViewLayoutAttributesPtr>
MessagesCollectionViewFlowLayout::layoutAttributesForElements(const CGRect& rect)
{
    auto elements = UICollectionViewFlowLayout::layoutAttributesForElements(rect);
    for (const auto& attributes : elements)
        configure(*attributes);
    return elements;
}

UICollectionViewLayoutAttributesPtr MessagesCollectionViewFlowLayout::layoutAttributesForItem(
    const IndexPath& indexPath)
{
    auto attributes = UICollectionViewFlowLayout::layoutAttributesForItem(indexPath);
    if (attributes)
        configure(*attributes);
    return attributes;
}

bool MessagesCollectionViewFlowLayout::shouldInvalidateLayoutForBoundsChange(const CGRect& newBounds)
{
    // Items are as wide as the list.
    UICollectionView* view = collectionView();
    return !view || view->bounds().width() != newBounds.width();
}

}
