#pragma once

#include "platform/ui/TextLayout.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UIView.h"

#include <optional>
#include <string>

// A read-only text: plain text in one font and colour, or styled runs. The text is laid out in
// the bounds, centred vertically, wrapped at the width when more than one line is allowed and
// shortened by the line break mode when it does not fit.
class UILabel : public UIView {
public:
    UILabel();
    explicit UILabel(const CGRect& frame);

    std::string className() const override { return "UILabel"; }

    // Setting the text drops any styled text; setting styled text sets the text to its string.
    const std::string& text() const { return m_text; }
    void setText(std::string text);
    const std::optional<StyledText>& attributedText() const { return m_attributedText; }
    void setAttributedText(std::optional<StyledText> text);

    const UIFont& font() const { return m_font; }
    void setFont(UIFont font);
    const UIColor& textColor() const { return m_textColor; }
    void setTextColor(UIColor color);
    NSTextAlignment textAlignment() const { return m_alignment; }
    void setTextAlignment(NSTextAlignment alignment);
    // 0 means as many lines as needed.
    int numberOfLines() const { return m_numberOfLines; }
    void setNumberOfLines(int lines);
    NSLineBreakMode lineBreakMode() const { return m_lineBreakMode; }
    void setLineBreakMode(NSLineBreakMode mode);
    // Wrapping width for the intrinsic size of multi-line labels (0: the current width).
    CGFloat preferredMaxLayoutWidth() const { return m_preferredMaxLayoutWidth; }
    void setPreferredMaxLayoutWidth(CGFloat width);

    // Single-line labels measure their whole line; others wrap at size.width (when positive).
    CGSize sizeThatFits(CGSize size) const override;
    CGSize intrinsicContentSize() const override;

    // The rectangle the text occupies within `bounds` with at most `lines` lines (0: no limit).
    virtual CGRect textRectForBounds(const CGRect& bounds, int lines) const;
    // Draws the text laid out in `rect` (vertically centred); subclasses with insets narrow it.
    virtual void drawText(CGContext& context, const CGRect& rect);
    void draw(CGContext& context, const CGRect& rect) override;

    // The label's text with its font, colour and alignment, ready to measure or draw.
    TextLayout makeTextLayout() const;
    // Whether the text as laid out in the current bounds is shortened or cut.
    bool isTextTruncated() const;

    std::string dumpAttributes() const override;

private:
    void textDidChange();

    std::string m_text;
    std::optional<StyledText> m_attributedText;
    UIFont m_font = UIFont::systemFont(17);
    UIColor m_textColor = UIColor::label();
    NSTextAlignment m_alignment = NSTextAlignment::natural;
    int m_numberOfLines = 1;
    NSLineBreakMode m_lineBreakMode = NSLineBreakMode::byTruncatingTail;
    CGFloat m_preferredMaxLayoutWidth = 0;
};
