#pragma once

#include "platform/ui/controls/UIButton.h"

#include <optional>

// Where the image sits relative to the title.
enum class QMUIButtonImagePosition { top, left, bottom, right };

// A corner radius that follows the bounds: half the height, on every layout pass.
inline constexpr CGFloat QMUIButtonCornerRadiusAdjustsBounds = -1;

// A button that places its image on any side of its title with a spacing between them, and
// dims itself while highlighted or disabled (alphas from QMUIConfiguration). The image and title
// edge insets count as margins around each part: they add to the fitted size. A highlighted
// background or border colour replaces the dimming while highlighted.
class QMUIButton : public UIButton {
public:
    QMUIButton();
    explicit QMUIButton(const CGRect& frame);

    std::string className() const override { return "QMUIButton"; }

    QMUIButtonImagePosition imagePosition() const { return m_imagePosition; }
    void setImagePosition(QMUIButtonImagePosition position);
    // Only between a shown image and a shown title.
    CGFloat spacingBetweenImageAndTitle() const { return m_spacing; }
    void setSpacingBetweenImageAndTitle(CGFloat spacing);

    // On by default: the button takes buttonHighlightedAlpha while highlighted.
    bool adjustsButtonWhenHighlighted() const { return m_adjustsWhenHighlighted; }
    void setAdjustsButtonWhenHighlighted(bool adjusts);
    // On by default: the button takes buttonDisabledAlpha while disabled.
    bool adjustsButtonWhenDisabled() const { return m_adjustsWhenDisabled; }
    void setAdjustsButtonWhenDisabled(bool adjusts);
    // Setting either colour turns adjustsButtonWhenHighlighted off.
    const std::optional<UIColor>& highlightedBackgroundColor() const { return m_highlightedBackgroundColor; }
    void setHighlightedBackgroundColor(std::optional<UIColor> color);
    const std::optional<UIColor>& highlightedBorderColor() const { return m_highlightedBorderColor; }
    void setHighlightedBorderColor(std::optional<UIColor> color);
    // When set: becomes the tint colour, and the title and the image are drawn in it.
    const std::optional<UIColor>& tintColorAdjustsTitleAndImage() const { return m_tintAdjustsTitleAndImage; }
    void setTintColorAdjustsTitleAndImage(std::optional<UIColor> color);
    // The layer's corner radius, or QMUIButtonCornerRadiusAdjustsBounds.
    CGFloat cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(CGFloat radius);

    CGSize sizeThatFits(CGSize size) const override;
    CGSize intrinsicContentSize() const override;
    CGRect titleRectForContentRect(const CGRect& contentRect) const override;
    CGRect imageRectForContentRect(const CGRect& contentRect) const override;
    void layoutSubviews() override;
    void draw(CGContext& context, const CGRect& rect) override;

protected:
    void stateDidChange() override;

private:
    struct Parts {
        CGRect image;
        CGRect title;
    };
    // Places the image and title boxes (insets included) in the content rectangle.
    Parts placeParts(const CGRect& contentRect) const;
    bool showsImage() const;
    bool showsTitle() const;
    CGSize imageBox() const;
    CGSize titleBox() const;
    void applyStateLook();
    void partsDidChange();

    QMUIButtonImagePosition m_imagePosition = QMUIButtonImagePosition::left;
    CGFloat m_spacing = 0;
    bool m_adjustsWhenHighlighted = true;
    bool m_adjustsWhenDisabled = true;
    std::optional<UIColor> m_highlightedBackgroundColor;
    std::optional<UIColor> m_highlightedBorderColor;
    // The border colour from before the highlight, while the highlighted one shows.
    std::optional<UIColor> m_borderColorBeforeHighlight;
    std::optional<UIColor> m_tintAdjustsTitleAndImage;
    CGFloat m_cornerRadius = 0;
};
