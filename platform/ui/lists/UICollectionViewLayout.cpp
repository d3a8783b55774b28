#include "platform/ui/lists/UICollectionViewLayout.h"

#include "platform/ui/lists/UICollectionView.h"

UICollectionViewLayout::~UICollectionViewLayout() = default;

std::vector<UICollectionViewLayoutAttributesPtr> UICollectionViewLayout::layoutAttributesForElements(
    const CGRect&)
{
    return {};
}

UICollectionViewLayoutAttributesPtr UICollectionViewLayout::layoutAttributesForItem(const IndexPath&)
{
    return nullptr;
}

UICollectionViewLayoutAttributesPtr UICollectionViewLayout::layoutAttributesForSupplementaryView(
    const std::string&, const IndexPath&)
{
    return nullptr;
}

void UICollectionViewLayout::invalidateLayout()
{
    m_valid = false;
    if (m_collectionView)
        m_collectionView->setNeedsLayout();
}

bool UICollectionViewLayout::shouldInvalidateLayoutForPreferredAttributes(
    const UICollectionViewLayoutAttributes& preferred, const UICollectionViewLayoutAttributes& original)
{
    return preferred.frame != original.frame;
}

void UICollectionViewLayout::invalidateLayoutForPreferredAttributes(const UICollectionViewLayoutAttributes&)
{
    invalidateLayout();
}

UICollectionViewLayoutAttributesPtr UICollectionViewLayout::makeLayoutAttributes() const
{
    return std::make_shared<UICollectionViewLayoutAttributes>();
}
