#pragma once

#include "platform/ui/UIViewController.h"
#include "platform/ui/messages/MessagesCollectionView.h"

#include <memory>

class UITapGestureRecognizer;

namespace MessageKit {

// A screen that shows a MessagesCollectionView over its whole view. It feeds the collection view
// from the messages data source (one section per message, text and styled text in a
// TextMessageCell, photos in a MediaMessageCell, unless the data source makes its own), sizes
// the items through the messages flow layout, and passes a tap on a cell to the cell, which tells
// the cell delegate what was tapped. Subclasses set the messages delegates on the collection
// view in viewDidLoad, after the base.
class MessagesViewController : public UIViewController,
                               public UICollectionViewDataSource,
                               public UICollectionViewDelegateFlowLayout {
public:
    static constexpr const char* textCellIdentifier = "TextMessageCell";
    static constexpr const char* mediaCellIdentifier = "MediaMessageCell";

    MessagesViewController();

    std::string className() const override { return "MessagesViewController"; }

    const std::shared_ptr<MessagesCollectionView>& messagesCollectionView() const { return m_collectionView; }

    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;

    // UICollectionViewDataSource
    int numberOfSections(UICollectionView&) override;
    int numberOfItems(UICollectionView&, int section) override;
    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView&, const IndexPath& indexPath) override;

    // UICollectionViewDelegateFlowLayout
    std::optional<CGSize> sizeForItem(
        UICollectionView&, UICollectionViewLayout&, const IndexPath& indexPath) override;

private:
    void handleTap(UITapGestureRecognizer& recognizer);

    std::shared_ptr<MessagesCollectionView> m_collectionView;
    std::shared_ptr<UITapGestureRecognizer> m_tap;
};

}
