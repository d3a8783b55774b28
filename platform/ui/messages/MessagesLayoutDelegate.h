#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/lists/IndexPath.h"
#include "platform/ui/messages/MessageKitTypes.h"

namespace MessageKit {

class MessagesCollectionView;

// Heights of the labels of a cell; every one is 0 unless answered. Held weakly.
class MessagesLayoutDelegate {
public:
    virtual ~MessagesLayoutDelegate() = default;
    virtual CGFloat cellTopLabelHeight(const MessageType&, const IndexPath&, MessagesCollectionView&)
    {
        return 0;
    }
    virtual CGFloat messageTopLabelHeight(const MessageType&, const IndexPath&, MessagesCollectionView&)
    {
        return 0;
    }
};

}
