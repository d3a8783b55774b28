#include "app/Theme/ZVBackdropImageView.h"

ZVBackdropImageView::ZVBackdropImageView(std::optional<UIImage> image)
    : UIImageView(std::move(image))
{ }

void ZVBackdropImageView::traitCollectionDidChange(const UITraitCollection& previous)
{
    UIImageView::traitCollectionDidChange(previous);
    setAlpha(traitCollection().userInterfaceStyle == UIUserInterfaceStyle::dark ? darkStyleAlpha : 1);
}
