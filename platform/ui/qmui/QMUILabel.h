#pragma once

#include "platform/ui/UILabel.h"

// A label whose text sits inside content insets: the insets add to its fitted and intrinsic
// sizes and the text is laid out within the bounds less the insets (where the background still
// shows).
class QMUILabel : public UILabel {
public:
    QMUILabel();
    explicit QMUILabel(const CGRect& frame);

    std::string className() const override { return "QMUILabel"; }

    UIEdgeInsets contentEdgeInsets() const { return m_contentEdgeInsets; }
    void setContentEdgeInsets(UIEdgeInsets insets);

    // Lets the user copy the text by a long press on the phone. Kept as a flag: this platform
    // has no edit menu or pasteboard.
    bool canPerformCopyAction() const { return m_canPerformCopyAction; }
    void setCanPerformCopyAction(bool can) { m_canPerformCopyAction = can; }

    // `size` includes the insets; a width of 0 or less means no width limit.
    CGSize sizeThatFits(CGSize size) const override;
    CGSize intrinsicContentSize() const override;
    CGRect textRectForBounds(const CGRect& bounds, int lines) const override;
    void drawText(CGContext& context, const CGRect& rect) override;

private:
    UIEdgeInsets m_contentEdgeInsets;
    bool m_canPerformCopyAction = false;
};
