#pragma once

#include "platform/ui/UIColor.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/segmented/JXSegmentedTypes.h"

#include <functional>
#include <optional>
#include <string>

class UIImageView;

// What one item of the tab bar shows. The data source makes one model per item (subclasses of
// the data source make subclasses of the model) and fills it; the bar adds the placement; cells
// draw from it.
class JXSegmentedBaseItemModel {
public:
    virtual ~JXSegmentedBaseItemModel() = default;

    int index = 0;
    bool isSelected = false;
    // Width of the item's cell.
    CGFloat itemWidth = 0;
    // Width of what the item shows (text, image): line indicators of automatic width take it.
    CGFloat itemContentWidth = 0;
};

class JXSegmentedTitleItemModel : public JXSegmentedBaseItemModel {
public:
    std::string title;
    int titleNumberOfLines = 1;
    UIColor titleNormalColor = UIColor::black();
    UIColor titleSelectedColor = UIColor::red();
    UIFont titleNormalFont = UIFont::systemFont(15);
    UIFont titleSelectedFont = UIFont::systemFont(15);
    bool isTitleColorGradientEnabled = false;
    bool isTitleZoomEnabled = false;
    CGFloat titleSelectedZoomScale = 1.2;
    // Width of the title as drawn when selected or not, whichever is wider.
    CGFloat textWidth = 0;

    // The font and colour for the item's current state. With zoom on, the selected title is the
    // normal font enlarged by the zoom scale (the selected font is not used).
    UIFont currentFont() const;
    UIColor currentColor() const { return isSelected ? titleSelectedColor : titleNormalColor; }
};

class JXSegmentedTitleImageItemModel : public JXSegmentedTitleItemModel {
public:
    using ImageLoader = std::function<void(UIImageView&, const std::string&)>;

    JXSegmentedTitleImageType titleImageType = JXSegmentedTitleImageType::rightImage;
    CGSize imageSize { 20, 20 };
    CGFloat titleImageSpacing = 5;
    std::optional<std::string> normalImageInfo;
    std::optional<std::string> selectedImageInfo;
    // Puts the image named by an info into the view; unset loads the asset of that name.
    ImageLoader loadImageClosure;

    // The info for the current state: the selected one when selected and given, else the normal.
    std::optional<std::string> currentImageInfo() const;
};
