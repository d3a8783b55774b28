#include "platform/ui/lists/UICollectionViewLayoutAttributes.h"

std::shared_ptr<UICollectionViewLayoutAttributes> UICollectionViewLayoutAttributes::forCell(
    const IndexPath& indexPath)
{
    auto attributes = std::make_shared<UICollectionViewLayoutAttributes>();
    attributes->indexPath = indexPath;
    return attributes;
}

std::shared_ptr<UICollectionViewLayoutAttributes> UICollectionViewLayoutAttributes::forSupplementaryView(
    const std::string& kind, const IndexPath& indexPath)
{
    auto attributes = forCell(indexPath);
    attributes->m_kind = kind;
    return attributes;
}

std::shared_ptr<UICollectionViewLayoutAttributes> UICollectionViewLayoutAttributes::copy() const
{
    return std::make_shared<UICollectionViewLayoutAttributes>(*this);
}
