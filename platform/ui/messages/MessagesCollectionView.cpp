#include "platform/ui/messages/MessagesCollectionView.h"

#include "platform/ui/UIWindow.h"
#include "platform/ui/messages/MessagesCollectionViewFlowLayout.h"

#include <algorithm>

namespace MessageKit {

MessagesCollectionView::MessagesCollectionView(
    const CGRect& frame, std::shared_ptr<MessagesCollectionViewFlowLayout> layout)
    : UICollectionView(
        frame, layout ? std::move(layout) : std::make_shared<MessagesCollectionViewFlowLayout>())
{
    setAlwaysBounceVertical(true);
}

MessagesCollectionViewFlowLayout* MessagesCollectionView::messagesCollectionViewFlowLayout() const
{
    return dynamic_cast<MessagesCollectionViewFlowLayout*>(collectionViewLayout().get());
}

void MessagesCollectionView::scrollToLastItem(bool animated)
{
    int sections = numberOfSections();
    if (sections == 0 || numberOfItems(sections - 1) == 0)
        return;
    // Where the bottom is depends on the list's size now: lay out whatever is pending around it.
    if (auto root = window())
        root->layoutIfNeeded();
    layoutIfNeeded();
    UIEdgeInsets inset = adjustedContentInset();
    CGFloat bottom = contentSize().height + inset.bottom - bounds().height();
    setContentOffset({ contentOffset().x, std::max(bottom, -inset.top) }, animated);
}

}
