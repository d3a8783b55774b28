#include "app/Extensions/BaseCollectionViewLeftAlignedLayout.h"

#include "platform/ui/lists/UICollectionView.h"

#include <cmath>

namespace {

CGRect floored(const CGRect& rect)
{
    return { std::floor(rect.origin.x), std::floor(rect.origin.y), std::floor(rect.size.width),
        std::floor(rect.size.height) };
}

}

CGFloat BaseCollectionViewLeftAlignedLayout::evaluatedMinimumInteritemSpacing(int section) const
{
    return minimumInteritemSpacingForSection(section);
}

UIEdgeInsets BaseCollectionViewLeftAlignedLayout::evaluatedSectionInset(int section) const
{
    return insetForSection(section);
}

void BaseCollectionViewLeftAlignedLayout::prepare()
{
    UICollectionViewFlowLayout::prepare();
    m_cachedFrames.clear();
}

UICollectionViewLayoutAttributesPtr BaseCollectionViewLeftAlignedLayout::layoutAttributesForItem(
    const IndexPath& indexPath)
{
    auto base = UICollectionViewFlowLayout::layoutAttributesForItem(indexPath);
    if (!base)
        return nullptr;
    auto attributes = base->copy();
    CGRect frame = attributes->frame;
    UIEdgeInsets inset = evaluatedSectionInset(indexPath.section);

    if (indexPath.item == 0) {
        frame.origin.x = inset.left;
    } else {
        IndexPath previousPath { indexPath.item - 1, indexPath.section };
        CGRect previous = CGRect::zero();
        if (auto cached = m_cachedFrames.find(previousPath); cached != m_cachedFrames.end())
            previous = cached->second;
        else if (auto unaligned = UICollectionViewFlowLayout::layoutAttributesForItem(previousPath))
            previous = unaligned->frame;
        previous = floored(previous);

        CGFloat width = collectionView() ? collectionView()->frame().size.width : 0;
        CGRect rowBand
            = floored({ inset.left, frame.origin.y, width - inset.left - inset.right, frame.size.height });
        if (previous.intersects(rowBand))
            frame.origin.x = previous.maxX() + evaluatedMinimumInteritemSpacing(indexPath.section);
        else
            frame.origin.x = inset.left;
    }
    attributes->frame = frame;
    m_cachedFrames[indexPath] = frame;
    return attributes;
}

std::vector<UICollectionViewLayoutAttributesPtr>
BaseCollectionViewLeftAlignedLayout::layoutAttributesForElements(const CGRect& rect)
{
    std::vector<UICollectionViewLayoutAttributesPtr> result;
    for (const auto& base : UICollectionViewFlowLayout::layoutAttributesForElements(rect)) {
        auto attributes = base->copy();
        if (attributes->representedElementCategory() == UICollectionElementCategory::cell) {
            if (auto aligned = layoutAttributesForItem(attributes->indexPath))
                attributes->frame = aligned->frame;
        }
        result.push_back(std::move(attributes));
    }
    return result;
}
