#include "platform/ui/lists/UICollectionReusableView.h"

UICollectionReusableView::UICollectionReusableView()
    : UICollectionReusableView(CGRect {})
{ }

UICollectionReusableView::UICollectionReusableView(const CGRect& frame)
    : UIView(frame)
{ }

UICollectionViewLayoutAttributesPtr UICollectionReusableView::preferredLayoutAttributesFitting(
    const UICollectionViewLayoutAttributes& attributes)
{
    return attributes.copy();
}
