#pragma once

#include "platform/ui/lists/UICollectionViewFlowLayout.h"

#include <map>

// A flow layout whose rows are packed against the left edge: every item after the first of a row
// follows the one before it at the section's minimum inter-item spacing, instead of the space
// being spread over the row. Used for tag buttons. Headers and footers keep the flow layout's
// frames.
class BaseCollectionViewLeftAlignedLayout : public UICollectionViewFlowLayout {
public:
    BaseCollectionViewLeftAlignedLayout() = default;

    // The delegate's answer for the section, else the layout's property.
    virtual CGFloat evaluatedMinimumInteritemSpacing(int section) const;
    virtual UIEdgeInsets evaluatedSectionInset(int section) const;

    void prepare() override;
    std::vector<UICollectionViewLayoutAttributesPtr> layoutAttributesForElements(const CGRect& rect) override;
    UICollectionViewLayoutAttributesPtr layoutAttributesForItem(const IndexPath& indexPath) override;

    // Left-aligned frames computed since the last layout pass.
    const std::map<IndexPath, CGRect>& cachedFrames() const { return m_cachedFrames; }

private:
    // Each item is placed after its predecessor's frame from here, so a pass never walks back
    // to the start of a row.
    std::map<IndexPath, CGRect> m_cachedFrames;
};
