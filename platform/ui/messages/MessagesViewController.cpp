#include "platform/ui/messages/MessagesViewController.h"

#include "platform/ui/gestures/UITapGestureRecognizer.h"
#include "platform/ui/messages/MessageContentCell.h"
#include "platform/ui/messages/MessagesCollectionViewFlowLayout.h"

namespace MessageKit {

MessagesViewController::MessagesViewController()
    : m_collectionView(std::make_shared<MessagesCollectionView>())
{ }

void MessagesViewController::viewDidLoad()
{
    UIViewController::viewDidLoad();
    view()->setBackgroundColor(UIColor::white());
    m_collectionView->setBackgroundColor(UIColor::white());
    m_collectionView->setKeyboardDismissMode(UIScrollViewKeyboardDismissMode::interactive);
    m_collectionView->setFrame(view()->bounds());
    view()->addSubview(m_collectionView);

    auto self = sharedFromThis();
    m_collectionView->setDataSource(std::dynamic_pointer_cast<UICollectionViewDataSource>(self));
    m_collectionView->setDelegate(std::dynamic_pointer_cast<UICollectionViewDelegate>(self));
    m_collectionView->registerClass<TextMessageCell>(textCellIdentifier);
    m_collectionView->registerClass<MediaMessageCell>(mediaCellIdentifier);

    std::weak_ptr<UIViewController> weak = self;
    m_tap = std::make_shared<UITapGestureRecognizer>([weak](UIGestureRecognizer& recognizer) {
        auto controller = std::dynamic_pointer_cast<MessagesViewController>(weak.lock());
        if (controller && recognizer.state() == UIGestureRecognizerState::ended)
            controller->handleTap(static_cast<UITapGestureRecognizer&>(recognizer));
    });
    // Buttons and the like inside cells keep their own taps.
    m_tap->cancelsTouchesInView = false;
    m_collectionView->addGestureRecognizer(m_tap);
}

void MessagesViewController::viewDidLayoutSubviews()
{
    UIViewController::viewDidLayoutSubviews();
    m_collectionView->setFrame(view()->bounds());
}

int MessagesViewController::numberOfSections(UICollectionView&)
{
    auto source = m_collectionView->messagesDataSource();
    return source ? source->numberOfSections(*m_collectionView) : 0;
}

int MessagesViewController::numberOfItems(UICollectionView&, int section)
{
    auto source = m_collectionView->messagesDataSource();
    return source ? source->numberOfItems(section, *m_collectionView) : 0;
}

std::shared_ptr<UICollectionViewCell> MessagesViewController::cellForItem(
    UICollectionView&, const IndexPath& indexPath)
{
    auto source = m_collectionView->messagesDataSource();
    if (!source)
        return nullptr;
    MessagesCollectionView& list = *m_collectionView;
    const MessageType& message = source->messageForItem(indexPath, list);
    if (message.kind().kind() == MessageKind::Case::photo) {
        if (auto own = source->photoCell(message, indexPath, list))
            return own;
        auto cell = list.dequeueReusableCell<MediaMessageCell>(mediaCellIdentifier, indexPath);
        cell->configure(message, indexPath, list);
        return cell;
    }
    if (auto own = source->textCell(message, indexPath, list))
        return own;
    auto cell = list.dequeueReusableCell<TextMessageCell>(textCellIdentifier, indexPath);
    cell->configure(message, indexPath, list);
    return cell;
}

std::optional<CGSize> MessagesViewController::sizeForItem(
    UICollectionView&, UICollectionViewLayout&, const IndexPath& indexPath)
{
    MessagesCollectionViewFlowLayout* layout = m_collectionView->messagesCollectionViewFlowLayout();
    if (!layout)
        return std::nullopt;
    return layout->messageSizeForItem(indexPath);
}

void MessagesViewController::handleTap(UITapGestureRecognizer& recognizer)
{
    CGPoint point = recognizer.location(m_collectionView.get());
    std::optional<IndexPath> indexPath = m_collectionView->indexPathForItem(point);
    if (!indexPath)
        return;
    auto cell
        = std::dynamic_pointer_cast<MessageCollectionViewCell>(m_collectionView->cellForItem(*indexPath));
    if (!cell)
        return;
    cell->handleTapGesture(cell->convertFrom(point, m_collectionView.get()));
}

}
