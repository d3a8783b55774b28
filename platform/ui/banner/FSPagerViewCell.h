#pragma once

#include "platform/ui/lists/UICollectionViewCell.h"

// A page of a pager view. Its content view casts a soft shadow by default (black, radius 5,
// opacity 0.75, no offset), which pages that fill the pager usually switch off.
class FSPagerViewCell : public UICollectionViewCell {
public:
    FSPagerViewCell();
    explicit FSPagerViewCell(const CGRect& frame);

    std::string className() const override { return "FSPagerViewCell"; }
};
