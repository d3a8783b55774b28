#pragma once

#include "platform/ui/UILabel.h"

// A label whose text sits inside content insets: the insets add to its fitted and intrinsic
// sizes and the text is laid out within the bounds less the insets (where the background still
// shows).
class QMUILabel : public UILabel {
public:
    // Defaults for labels made afterwards.
    struct Appearance {
        std::optional<UIColor> highlightedBackgroundColor;
    };
    static Appearance& appearance();

    QMUILabel();
    explicit QMUILabel(const CGRect& frame);

    std::string className() const override { return "QMUILabel"; }

    UIEdgeInsets contentEdgeInsets() const { return m_contentEdgeInsets; }
    void setContentEdgeInsets(UIEdgeInsets insets);

    // Lets the user copy the text by a long press on the phone. Kept as a flag: this platform
    // has no edit menu or pasteboard.
    bool canPerformCopyAction() const { return m_canPerformCopyAction; }
    void setCanPerformCopyAction(bool can) { m_canPerformCopyAction = can; }

    // Shown in place of the background while the label is highlighted (as while its text is
    // offered for copying).
    const std::optional<UIColor>& highlightedBackgroundColor() const { return m_highlightedBackgroundColor; }
    void setHighlightedBackgroundColor(std::optional<UIColor> color);
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted);
    void setBackgroundColor(std::optional<UIColor> color) override;

    // `size` includes the insets; a width of 0 or less means no width limit.
    CGSize sizeThatFits(CGSize size) const override;
    CGSize intrinsicContentSize() const override;
    CGRect textRectForBounds(const CGRect& bounds, int lines) const override;
    void drawText(CGContext& context, const CGRect& rect) override;

private:
    void updateBackground();

    UIEdgeInsets m_contentEdgeInsets;
    std::optional<UIColor> m_normalBackgroundColor;
    std::optional<UIColor> m_highlightedBackgroundColor;
    bool m_highlighted = false;
    bool m_canPerformCopyAction = false;
};
