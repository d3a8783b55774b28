#include "platform/ui/UILabel.h"

#include "platform/ui/CGContext.h"

#include <cmath>
#include <cstdio>

UILabel::UILabel()
    : UILabel(CGRect {})
{ }

UILabel::UILabel(const CGRect& frame)
    : UIView(frame)
{
    setUserInteractionEnabled(false);
}

void UILabel::textDidChange()
{
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

void UILabel::setText(std::string text)
{
    m_text = std::move(text);
    m_attributedText.reset();
    textDidChange();
}

void UILabel::setAttributedText(std::optional<StyledText> text)
{
    m_attributedText = std::move(text);
    m_text = m_attributedText ? m_attributedText->string() : std::string();
    textDidChange();
}

void UILabel::setFont(UIFont font)
{
    m_font = std::move(font);
    textDidChange();
}

void UILabel::setTextColor(UIColor color)
{
    m_textColor = std::move(color);
    setNeedsDisplay();
}

void UILabel::setTextAlignment(NSTextAlignment alignment)
{
    m_alignment = alignment;
    setNeedsDisplay();
}

void UILabel::setNumberOfLines(int lines)
{
    m_numberOfLines = std::max(0, lines);
    textDidChange();
}

void UILabel::setLineBreakMode(NSLineBreakMode mode)
{
    m_lineBreakMode = mode;
    textDidChange();
}

void UILabel::setPreferredMaxLayoutWidth(CGFloat width)
{
    m_preferredMaxLayoutWidth = width;
    textDidChange();
}

TextLayout UILabel::makeTextLayout() const
{
    StyledText text = m_attributedText ? *m_attributedText : StyledText::plain(m_text);
    TextLayout layout(text, m_font, m_textColor);
    layout.setAlignment(text.alignment.value_or(m_alignment));
    layout.setLineBreakMode(m_lineBreakMode);
    layout.setMaximumNumberOfLines(m_numberOfLines);
    return layout;
}

CGRect UILabel::textRectForBounds(const CGRect& bounds, int lines) const
{
    TextLayout layout = makeTextLayout();
    layout.setMaximumNumberOfLines(lines);
    layout.setWidth(bounds.size.width);
    layout.setMaximumHeight(bounds.size.height);
    CGSize size = layout.size();
    CGFloat width = std::min(size.width, bounds.size.width);
    return { bounds.origin.x, bounds.origin.y + std::floor((bounds.size.height - size.height) / 2), width,
        size.height };
}

CGSize UILabel::sizeThatFits(CGSize size) const
{
    TextLayout layout = makeTextLayout();
    if (m_numberOfLines != 1 && size.width > 0 && std::isfinite(size.width))
        layout.setWidth(size.width);
    return layout.size();
}

CGSize UILabel::intrinsicContentSize() const
{
    TextLayout layout = makeTextLayout();
    if (m_numberOfLines != 1) {
        CGFloat width = m_preferredMaxLayoutWidth > 0 ? m_preferredMaxLayoutWidth : bounds().size.width;
        if (width > 0)
            layout.setWidth(width);
    }
    return layout.size();
}

void UILabel::drawText(CGContext& context, const CGRect& rect)
{
    if (rect.isEmpty())
        return;
    TextLayout layout = makeTextLayout();
    layout.setWidth(rect.size.width);
    layout.setMaximumHeight(rect.size.height);
    CGSize size = layout.size();
    CGFloat y = rect.origin.y + std::floor((rect.size.height - size.height) / 2);
    layout.draw(context, { rect.origin.x, y });
}

void UILabel::draw(CGContext& context, const CGRect& rect)
{
    drawText(context, rect);
}

bool UILabel::isTextTruncated() const
{
    TextLayout layout = makeTextLayout();
    layout.setWidth(bounds().size.width);
    layout.setMaximumHeight(bounds().size.height);
    return layout.isTruncated();
}

std::string UILabel::dumpAttributes() const
{
    std::string out = "text=\"";
    for (char c : m_text) {
        if (c == '\n')
            out += "\\n";
        else if (c == '"')
            out += "\\\"";
        else
            out += c;
    }
    out += "\"";
    if (isTextTruncated())
        out += " truncated";
    return out;
}
