#include "platform/ui/banner/FSPagerViewCell.h"

FSPagerViewCell::FSPagerViewCell()
    : FSPagerViewCell(CGRect {})
{ }

FSPagerViewCell::FSPagerViewCell(const CGRect& frame)
    : UICollectionViewCell(frame)
{
    const auto& layer = contentView()->layer();
    layer->setShadowColor(UIColor::black());
    layer->setShadowRadius(5);
    layer->setShadowOpacity(0.75);
    layer->setShadowOffset({ 0, 0 });
}
