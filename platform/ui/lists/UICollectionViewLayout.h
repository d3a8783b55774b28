#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/lists/UICollectionViewLayoutAttributes.h"

#include <memory>
#include <string>
#include <vector>

class UICollectionView;

// Decides where the elements of a collection view go. The collection view calls prepare() once
// after each invalidation, then asks for the content size and for the elements in the rectangles
// it shows. Subclasses override these and may call the base implementation and adjust copies of
// its attributes.
class UICollectionViewLayout {
public:
    UICollectionViewLayout() = default;
    virtual ~UICollectionViewLayout();
    UICollectionViewLayout(const UICollectionViewLayout&) = delete;
    UICollectionViewLayout& operator=(const UICollectionViewLayout&) = delete;

    // The collection view that owns the layout; null before one does and after it is gone.
    UICollectionView* collectionView() const { return m_collectionView; }

    virtual void prepare() { }
    virtual CGSize collectionViewContentSize() { return {}; }
    virtual std::vector<UICollectionViewLayoutAttributesPtr> layoutAttributesForElements(const CGRect& rect);
    virtual UICollectionViewLayoutAttributesPtr layoutAttributesForItem(const IndexPath& indexPath);
    virtual UICollectionViewLayoutAttributesPtr layoutAttributesForSupplementaryView(
        const std::string& kind, const IndexPath& indexPath);

    // Makes the collection view prepare the layout again before it next places its elements.
    virtual void invalidateLayout();
    bool isValid() const { return m_valid; }
    // The collection view's bounds are about to become `newBounds`; true redoes the layout.
    virtual bool shouldInvalidateLayoutForBoundsChange(const CGRect& newBounds) { return false; }
    // The collection view's data was reloaded; layouts drop what they learnt about the old items.
    virtual void prepareForDataReload() { }

    // Self-sizing: whether cells are asked for their preferred attributes when they show.
    virtual bool wantsPreferredLayoutAttributes() const { return false; }
    // A cell answered `preferred` to `original`; true makes the layout take it in
    // (invalidateLayoutForPreferredAttributes) and be prepared again.
    virtual bool shouldInvalidateLayoutForPreferredAttributes(
        const UICollectionViewLayoutAttributes& preferred, const UICollectionViewLayoutAttributes& original);
    virtual void invalidateLayoutForPreferredAttributes(const UICollectionViewLayoutAttributes& preferred);

    // A new attributes object, of the class this layout hands out.
    virtual UICollectionViewLayoutAttributesPtr makeLayoutAttributes() const;

private:
    friend class UICollectionView;
    UICollectionView* m_collectionView = nullptr; // the owner; it clears this when it goes
    bool m_valid = false;
};
