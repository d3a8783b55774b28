#pragma once

#include "platform/ui/lists/UICollectionView.h"
#include "platform/ui/messages/MessageCellDelegate.h"
#include "platform/ui/messages/MessagesDataSource.h"
#include "platform/ui/messages/MessagesDisplayDelegate.h"
#include "platform/ui/messages/MessagesLayoutDelegate.h"

#include <functional>
#include <memory>

namespace MessageKit {

class MessagesCollectionViewFlowLayout;

// The list of messages: a collection view on a MessagesCollectionViewFlowLayout that knows the
// screen's message delegates (each held weakly).
class MessagesCollectionView : public UICollectionView {
public:
    // A null layout gets a new MessagesCollectionViewFlowLayout.
    explicit MessagesCollectionView(
        const CGRect& frame = {}, std::shared_ptr<MessagesCollectionViewFlowLayout> layout = nullptr);

    std::string className() const override { return "MessagesCollectionView"; }

    std::shared_ptr<MessagesDataSource> messagesDataSource() const { return m_dataSource.lock(); }
    void setMessagesDataSource(std::weak_ptr<MessagesDataSource> source) { m_dataSource = std::move(source); }
    std::shared_ptr<MessagesDisplayDelegate> messagesDisplayDelegate() const
    {
        return m_displayDelegate.lock();
    }
    void setMessagesDisplayDelegate(std::weak_ptr<MessagesDisplayDelegate> d)
    {
        m_displayDelegate = std::move(d);
    }
    std::shared_ptr<MessagesLayoutDelegate> messagesLayoutDelegate() const { return m_layoutDelegate.lock(); }
    void setMessagesLayoutDelegate(std::weak_ptr<MessagesLayoutDelegate> d)
    {
        m_layoutDelegate = std::move(d);
    }
    std::shared_ptr<MessageCellDelegate> messageCellDelegate() const { return m_cellDelegate.lock(); }
    void setMessageCellDelegate(std::weak_ptr<MessageCellDelegate> d) { m_cellDelegate = std::move(d); }

    // The layout when it is a messages flow layout (it is unless replaced).
    MessagesCollectionViewFlowLayout* messagesCollectionViewFlowLayout() const;

    // Puts the bottom of the last message at the bottom of the list (nothing without messages).
    void scrollToLastItem(bool animated);

private:
    std::weak_ptr<MessagesDataSource> m_dataSource;
    std::weak_ptr<MessagesDisplayDelegate> m_displayDelegate;
    std::weak_ptr<MessagesLayoutDelegate> m_layoutDelegate;
    std::weak_ptr<MessageCellDelegate> m_cellDelegate;
};

}
