#pragma once

#include "platform/ui/lists/UICollectionViewLayoutAttributes.h"

// Looks of the pages as they move. Raw values are the framework's.
enum class FSPagerViewTransformerType {
    // Pages away from the middle shrink, fade and lie under the middle one, drawn in towards it.
    overlap = 3,
};

// Gives each shown page its look for its position: 0 in the middle, -1 one page to the left,
// 1 one page to the right.
class FSPagerViewTransformer {
public:
    explicit FSPagerViewTransformer(FSPagerViewTransformerType type)
        : type(type)
    { }

    FSPagerViewTransformerType type;
    CGFloat minimumScale = 0.65;
    CGFloat minimumAlpha = 0.6;

    void applyTransform(UICollectionViewLayoutAttributes& attributes, CGFloat position) const;
};
