#include "platform/ui/banner/FSPagerViewTransformer.h"

#include <algorithm>
#include <cmath>

void FSPagerViewTransformer::applyTransform(
    UICollectionViewLayoutAttributes& attributes, CGFloat position) const
{
    if (!std::isfinite(position))
        return;
    CGFloat away = std::min<CGFloat>(1, std::abs(position));
    CGFloat scale = 1 - away * (1 - minimumScale);
    // Drawn in towards the middle page, so that a neighbour's inner edge meets the middle
    // page's edge and the rest of it shows beside it.
    CGFloat shift = -position * attributes.frame.width() * (1 - minimumScale) / 2;
    attributes.transform
        = CGAffineTransform::scale(scale, scale).concatenating(CGAffineTransform::translation(shift, 0));
    attributes.alpha = 1 - away * (1 - minimumAlpha);
    // The middle page on top, the others further down the further away they are.
    attributes.zIndex = -static_cast<int>(std::lround(std::abs(position) * 100));
}
