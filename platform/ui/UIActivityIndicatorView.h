#pragma once

#include "platform/ui/UIView.h"

#include <optional>

enum class UIActivityIndicatorViewStyle { medium, large };

// The spinning wheel of a running task: spokes of fading colour. While it animates its layer
// carries an endless rotation (animation key "spin"); when stopped it hides itself unless told
// otherwise.
class UIActivityIndicatorView : public UIView {
public:
    explicit UIActivityIndicatorView(
        UIActivityIndicatorViewStyle style = UIActivityIndicatorViewStyle::medium);

    std::string className() const override { return "UIActivityIndicatorView"; }

    UIActivityIndicatorViewStyle style() const { return m_style; }
    void setStyle(UIActivityIndicatorViewStyle style);
    // Unset draws grey.
    UIColor color() const;
    void setColor(std::optional<UIColor> color);
    bool hidesWhenStopped() const { return m_hidesWhenStopped; }
    void setHidesWhenStopped(bool hides);

    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return m_animating; }

    CGSize intrinsicContentSize() const override;
    CGSize sizeThatFits(CGSize size) const override;
    void draw(CGContext& context, const CGRect& rect) override;
    std::string dumpAttributes() const override;

private:
    CGFloat side() const;

    UIActivityIndicatorViewStyle m_style;
    std::optional<UIColor> m_color;
    bool m_hidesWhenStopped = true;
    bool m_animating = false;
};
