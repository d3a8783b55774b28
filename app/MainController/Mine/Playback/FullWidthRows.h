#pragma once

#include "platform/ui/lists/UICollectionView.h"

#include <optional>

// The flow layout of the "mine" lists: rows as wide as the screen and 90 high, touching each other
// and the list's edges.
class FullWidthRows : public UICollectionViewDelegateFlowLayout {
public:
    std::optional<CGSize> sizeForItem(UICollectionView&, UICollectionViewLayout&, const IndexPath&) override;
    std::optional<UIEdgeInsets> insetForSection(UICollectionView&, UICollectionViewLayout&, int) override;
    std::optional<CGFloat> minimumLineSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int) override;
    std::optional<CGFloat> minimumInteritemSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int) override;
};
