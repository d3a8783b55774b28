#pragma once

#include "platform/ui/TextLayout.h"
#include "platform/ui/UIImage.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIControl.h"

#include <map>
#include <optional>
#include <string>

enum class UIButtonType { custom, system };
enum class UIControlContentHorizontalAlignment { center, left, right, fill };
enum class UIControlContentVerticalAlignment { center, top, bottom, fill };

// A control with a title, an image and a background image per state. The image sits left of
// the title; the pair is centred in the content rectangle (bounds less contentEdgeInsets); the
// title and image edge insets then shift each part. A value missing for a state falls back to
// the selected state's (for selected combinations), then to the normal state's. Custom buttons
// draw white titles by default; system buttons draw their title and template images in the tint
// colour, dimmed while highlighted.
class UIButton : public UIControl {
public:
    static constexpr CGFloat defaultFontSize = 15;

    UIButton();
    explicit UIButton(const CGRect& frame);
    explicit UIButton(UIButtonType type);

    std::string className() const override { return "UIButton"; }
    UIButtonType buttonType() const { return m_type; }

    // ---- Content per state ----
    void setTitle(std::optional<std::string> title, unsigned state = UIControlStateNormal);
    std::optional<std::string> title(unsigned state) const;
    void setTitleColor(std::optional<UIColor> color, unsigned state = UIControlStateNormal);
    std::optional<UIColor> titleColor(unsigned state) const;
    void setImage(std::optional<UIImage> image, unsigned state = UIControlStateNormal);
    std::optional<UIImage> image(unsigned state) const;
    void setBackgroundImage(std::optional<UIImage> image, unsigned state = UIControlStateNormal);
    std::optional<UIImage> backgroundImage(unsigned state) const;
    void setAttributedTitle(std::optional<StyledText> title, unsigned state = UIControlStateNormal);
    std::optional<StyledText> attributedTitle(unsigned state) const;

    // What the current state shows.
    std::optional<std::string> currentTitle() const;
    UIColor currentTitleColor() const;
    std::optional<UIImage> currentImage() const { return image(state()); }
    std::optional<UIImage> currentBackgroundImage() const { return backgroundImage(state()); }
    std::optional<StyledText> currentAttributedTitle() const { return attributedTitle(state()); }

    // The parts, built with the button and hidden while they have nothing to show. They join the
    // view tree as soon as the button is owned by a shared pointer.
    const std::shared_ptr<UILabel>& titleLabel() const;
    const std::shared_ptr<UIImageView>& imageView() const;
    // The title label's font.
    const UIFont& font() const { return m_titleLabel->font(); }
    void setFont(UIFont font);

    // ---- Geometry ----
    UIEdgeInsets contentEdgeInsets() const { return m_contentInsets; }
    void setContentEdgeInsets(UIEdgeInsets insets);
    UIEdgeInsets titleEdgeInsets() const { return m_titleInsets; }
    void setTitleEdgeInsets(UIEdgeInsets insets);
    UIEdgeInsets imageEdgeInsets() const { return m_imageInsets; }
    void setImageEdgeInsets(UIEdgeInsets insets);
    UIControlContentHorizontalAlignment contentHorizontalAlignment() const { return m_horizontalAlignment; }
    void setContentHorizontalAlignment(UIControlContentHorizontalAlignment alignment);
    UIControlContentVerticalAlignment contentVerticalAlignment() const { return m_verticalAlignment; }
    void setContentVerticalAlignment(UIControlContentVerticalAlignment alignment);

    virtual CGRect backgroundRectForBounds(const CGRect& bounds) const { return bounds; }
    virtual CGRect contentRectForBounds(const CGRect& bounds) const;
    virtual CGRect titleRectForContentRect(const CGRect& contentRect) const;
    virtual CGRect imageRectForContentRect(const CGRect& contentRect) const;

    // Title plus image plus the content insets (the title and image insets do not count).
    CGSize intrinsicContentSize() const override;
    CGSize sizeThatFits(CGSize size) const override;
    void layoutSubviews() override;
    void draw(CGContext& context, const CGRect& rect) override;
    void tintColorDidChange() override;
    void didMoveToSuperview() override;
    std::string dumpAttributes() const override;

protected:
    void stateDidChange() override;
    bool keepsSingleTaps() const override { return true; }
    // Natural sizes of the current title and image.
    CGSize titleSize() const;
    CGSize imageSize() const;

private:
    struct Content {
        std::optional<std::string> title;
        std::optional<UIColor> titleColor;
        std::optional<UIImage> image;
        std::optional<UIImage> backgroundImage;
        std::optional<StyledText> attributedTitle;
    };
    void setUp();
    void attachParts() const;
    void updateContent();
    template<typename T> std::optional<T> lookup(unsigned state, std::optional<T> Content::*member) const;
    // Places a part of `size` (after the other part of `otherWidth` on its left, for the title)
    // within `rect`, the two parts forming one group.
    CGRect placePart(const CGRect& rect, CGSize size, CGFloat leading, CGFloat groupWidth) const;

    UIButtonType m_type = UIButtonType::custom;
    std::map<unsigned, Content> m_content;
    std::shared_ptr<UILabel> m_titleLabel;
    std::shared_ptr<UIImageView> m_imageView;
    UIEdgeInsets m_contentInsets;
    UIEdgeInsets m_titleInsets;
    UIEdgeInsets m_imageInsets;
    UIControlContentHorizontalAlignment m_horizontalAlignment = UIControlContentHorizontalAlignment::center;
    UIControlContentVerticalAlignment m_verticalAlignment = UIControlContentVerticalAlignment::center;
};
