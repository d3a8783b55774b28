#pragma once

#include "platform/ui/lists/UICollectionViewLayout.h"

#include <map>
#include <optional>
#include <vector>

class UICollectionViewDelegateFlowLayout;

enum class UICollectionViewScrollDirection { vertical, horizontal };

// Items in lines: rows filled left to right for vertical scrolling, columns filled top to bottom
// for horizontal scrolling. A line takes as many items as fit with the minimum inter-item
// spacing; the space left over is spread between them (a lone item is centred), and items
// shorter than their line are centred across it. Lines follow each other at the minimum line
// spacing inside the section insets, with the section's header before and footer after.
//
// Sizes and spacings come from the delegate (UICollectionViewDelegateFlowLayout) where it
// answers, else from the properties. With a non-zero estimatedItemSize the cells size
// themselves: an item starts at the delegate's size (or the estimate) and takes the size its
// cell prefers once it has shown.
class UICollectionViewFlowLayout : public UICollectionViewLayout {
public:
    UICollectionViewFlowLayout() = default;

    UICollectionViewScrollDirection scrollDirection() const { return m_scrollDirection; }
    void setScrollDirection(UICollectionViewScrollDirection direction);
    CGSize itemSize() const { return m_itemSize; }
    void setItemSize(CGSize size);
    CGSize estimatedItemSize() const { return m_estimatedItemSize; }
    void setEstimatedItemSize(CGSize size);
    CGFloat minimumLineSpacing() const { return m_minimumLineSpacing; }
    void setMinimumLineSpacing(CGFloat spacing);
    CGFloat minimumInteritemSpacing() const { return m_minimumInteritemSpacing; }
    void setMinimumInteritemSpacing(CGFloat spacing);
    UIEdgeInsets sectionInset() const { return m_sectionInset; }
    void setSectionInset(UIEdgeInsets insets);
    // Only the height (vertical) or the width (horizontal) counts; zero means no header/footer.
    CGSize headerReferenceSize() const { return m_headerReferenceSize; }
    void setHeaderReferenceSize(CGSize size);
    CGSize footerReferenceSize() const { return m_footerReferenceSize; }
    void setFooterReferenceSize(CGSize size);

    // What the collection view's flow-layout delegate answers, else the property (for an item
    // of a self-sizing layout: the size its cell preferred, once known).
    CGSize sizeForItem(const IndexPath& indexPath) const;
    UIEdgeInsets insetForSection(int section) const;
    CGFloat minimumLineSpacingForSection(int section) const;
    CGFloat minimumInteritemSpacingForSection(int section) const;
    CGSize referenceSizeForHeader(int section) const;
    CGSize referenceSizeForFooter(int section) const;

    void prepare() override;
    CGSize collectionViewContentSize() override;
    std::vector<UICollectionViewLayoutAttributesPtr> layoutAttributesForElements(const CGRect& rect) override;
    UICollectionViewLayoutAttributesPtr layoutAttributesForItem(const IndexPath& indexPath) override;
    UICollectionViewLayoutAttributesPtr layoutAttributesForSupplementaryView(
        const std::string& kind, const IndexPath& indexPath) override;
    bool shouldInvalidateLayoutForBoundsChange(const CGRect& newBounds) override;
    void prepareForDataReload() override;
    bool wantsPreferredLayoutAttributes() const override;
    bool shouldInvalidateLayoutForPreferredAttributes(const UICollectionViewLayoutAttributes& preferred,
        const UICollectionViewLayoutAttributes& original) override;
    void invalidateLayoutForPreferredAttributes(const UICollectionViewLayoutAttributes& preferred) override;

private:
    struct Line {
        CGFloat start = 0; // along the scroll direction
        CGFloat end = 0;
        int firstItem = 0;
    };
    struct Section {
        std::optional<CGRect> header;
        std::optional<CGRect> footer;
        std::vector<CGRect> items;
        std::vector<Line> lines;
        CGRect frame; // everything of the section
    };

    bool isVertical() const { return m_scrollDirection == UICollectionViewScrollDirection::vertical; }
    // Extent across the scroll direction that lines fill.
    CGFloat crossExtent() const;
    UICollectionViewLayoutAttributesPtr itemAttributes(int section, int item) const;
    UICollectionViewLayoutAttributesPtr supplementaryAttributes(const std::string& kind, int section) const;
    bool isEarlierLine(const Line& line, const CGRect& rect) const;
    bool isLaterLine(const Line& line, const CGRect& rect) const;

    UICollectionViewScrollDirection m_scrollDirection = UICollectionViewScrollDirection::vertical;
    CGSize m_itemSize { 50, 50 };
    CGSize m_estimatedItemSize;
    CGFloat m_minimumLineSpacing = 10;
    CGFloat m_minimumInteritemSpacing = 10;
    UIEdgeInsets m_sectionInset;
    CGSize m_headerReferenceSize;
    CGSize m_footerReferenceSize;

    std::vector<Section> m_sections;
    CGSize m_contentSize;
    CGFloat m_preparedCrossExtent = -1;
    std::map<IndexPath, CGSize> m_preferredSizes;
};
