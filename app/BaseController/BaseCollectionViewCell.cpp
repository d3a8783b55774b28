#include "app/BaseController/BaseCollectionViewCell.h"

BaseCollectionViewCell::BaseCollectionViewCell()
    : BaseCollectionViewCell(CGRect {})
{ }

BaseCollectionViewCell::BaseCollectionViewCell(const CGRect& frame)
    : UICollectionViewCell(frame)
{
    setBackgroundColor(UIColor::clear());
}
