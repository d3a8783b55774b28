#pragma once

#include "platform/ui/UIImage.h"
#include "platform/ui/UIView.h"

#include <optional>

// Shows an image placed by the content mode (scale to fill by default). Template images are
// drawn in the tint colour.
class UIImageView : public UIView {
public:
    UIImageView();
    explicit UIImageView(const CGRect& frame);
    // Sized to the image.
    explicit UIImageView(std::optional<UIImage> image);

    std::string className() const override { return "UIImageView"; }

    const std::optional<UIImage>& image() const { return m_image; }
    virtual void setImage(std::optional<UIImage> image);

    // The image's size in points; no intrinsic size without an image.
    CGSize intrinsicContentSize() const override;
    CGSize sizeThatFits(CGSize size) const override;
    void tintColorDidChange() override;
    std::string dumpAttributes() const override;

private:
    void updateContents();

    std::optional<UIImage> m_image;
};
