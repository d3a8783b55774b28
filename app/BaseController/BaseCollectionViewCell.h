#pragma once

#include "platform/ui/lists/UICollectionViewCell.h"

#include <string>

// Base of the app's grid cells: clear background.
class BaseCollectionViewCell : public UICollectionViewCell {
public:
    BaseCollectionViewCell();
    explicit BaseCollectionViewCell(const CGRect& frame);

    std::string className() const override { return "BaseCollectionViewCell"; }
};
