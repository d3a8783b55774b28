#pragma once

#include "platform/ui/controls/UITextField.h"

#include <optional>

// A text field with insets around its text (and placeholder) and a placeholder colour. Defaults
// come from QMUIConfiguration: textFieldTextInsets, placeholderColor, textFieldTextColor and
// textFieldTintColor.
class QMUITextField : public UITextField {
public:
    QMUITextField();
    explicit QMUITextField(const CGRect& frame);

    std::string className() const override { return "QMUITextField"; }

    UIEdgeInsets textInsets() const { return m_textInsets; }
    void setTextInsets(UIEdgeInsets insets);
    // Colour of a plain placeholder (a styled placeholder keeps its own colours).
    const UIColor& placeholderColor() const { return m_placeholderColor; }
    void setPlaceholderColor(UIColor color);

    // The editing and placeholder rectangles follow the text rectangle.
    CGRect textRectForBounds(const CGRect& bounds) const override;
    CGSize intrinsicContentSize() const override;
    void drawPlaceholder(CGContext& context, const CGRect& rect) override;

private:
    UIEdgeInsets m_textInsets;
    UIColor m_placeholderColor;
};
