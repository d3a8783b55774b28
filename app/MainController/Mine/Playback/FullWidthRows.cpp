#include "app/MainController/Mine/Playback/FullWidthRows.h"

#include "app/Extensions/LayoutConstants.h"

std::optional<CGSize> FullWidthRows::sizeForItem(UICollectionView&, UICollectionViewLayout&, const IndexPath&)
{
    return CGSize { screenWidth(), 90 };
}

std::optional<UIEdgeInsets> FullWidthRows::insetForSection(UICollectionView&, UICollectionViewLayout&, int)
{
    return UIEdgeInsets {};
}

std::optional<CGFloat> FullWidthRows::minimumLineSpacingForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return 0;
}

std::optional<CGFloat> FullWidthRows::minimumInteritemSpacingForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return 0;
}
