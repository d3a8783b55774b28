#include "platform/ui/controls/UITextView.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/CGContext.h"
#include "platform/ui/controls/UIKeyboard.h"
#include "platform/ui/controls/UITextField.h"
#include "platform/ui/gestures/UITouch.h"

#include <algorithm>
#include <cmath>

UITextView::UITextView()
    : UITextView(CGRect {})
{ }

UITextView::UITextView(const CGRect& frame)
    : UIView(frame)
{
    setBackgroundColor(UIColor::systemBackground());
}

void UITextView::setText(std::string text)
{
    m_text = std::move(text);
    setNeedsDisplay();
}

void UITextView::setFont(UIFont font)
{
    m_font = std::move(font);
    setNeedsDisplay();
}

void UITextView::setTextColor(UIColor color)
{
    m_textColor = std::move(color);
    setNeedsDisplay();
}

void UITextView::setTextAlignment(NSTextAlignment alignment)
{
    m_alignment = alignment;
    setNeedsDisplay();
}

void UITextView::setEditable(bool editable)
{
    m_editable = editable;
    if (!editable && isFirstResponder())
        resignFirstResponder();
}

void UITextView::setTextContainerInset(UIEdgeInsets inset)
{
    m_inset = inset;
    setNeedsDisplay();
}

void UITextView::post(const char* name)
{
    NotificationCenter::defaultCenter().post(name, std::any(this));
}

bool UITextView::canBecomeFirstResponder() const
{
    return m_editable && window() != nullptr;
}

bool UITextView::becomeFirstResponder()
{
    if (isFirstResponder())
        return true;
    if (!canBecomeFirstResponder())
        return false;
    auto keep = weak_from_this().lock();
    if (auto d = delegate(); d && !d->textViewShouldBeginEditing(*this))
        return false;
    UIKeyboard::Handover handover;
    if (!UIView::becomeFirstResponder())
        return false;
    m_editing = true;
    if (auto d = delegate())
        d->textViewDidBeginEditing(*this);
    post(UITextViewNotification::TextDidBeginEditing);
    UIKeyboard::shared().inputDidBecomeFirstResponder();
    return true;
}

bool UITextView::resignFirstResponder()
{
    if (!isFirstResponder())
        return UIView::resignFirstResponder();
    auto keep = weak_from_this().lock();
    if (auto d = delegate(); d && !d->textViewShouldEndEditing(*this))
        return false;
    if (!UIView::resignFirstResponder())
        return false;
    m_editing = false;
    if (auto d = delegate())
        d->textViewDidEndEditing(*this);
    post(UITextViewNotification::TextDidEndEditing);
    UIKeyboard::shared().inputDidResignFirstResponder();
    return true;
}

bool UITextView::replace(NSRange range, const std::string& replacement)
{
    std::size_t length = detail::utf16Count(m_text);
    range.location = std::min(range.location, length);
    range.length = std::min(range.length, length - range.location);
    auto keep = weak_from_this().lock();
    if (auto d = delegate(); d && !d->textViewShouldChangeText(*this, range, replacement))
        return false;
    std::size_t from = detail::byteOffsetOfUtf16(m_text, range.location);
    std::size_t to = detail::byteOffsetOfUtf16(m_text, range.location + range.length);
    m_text.replace(from, to - from, replacement);
    setNeedsDisplay();
    if (auto d = delegate())
        d->textViewDidChange(*this);
    post(UITextViewNotification::TextDidChange);
    return true;
}

void UITextView::insertText(const std::string& text)
{
    if (!text.empty())
        replace({ detail::utf16Count(m_text), 0 }, text);
}

void UITextView::deleteBackward()
{
    if (!m_text.empty())
        replace(detail::lastCharacterRange(m_text), "");
}

CGRect UITextView::textRect() const
{
    CGRect rect = bounds().inset(m_inset);
    return rect.insetBy(lineFragmentPadding, 0);
}

CGSize UITextView::sizeThatFits(CGSize size) const
{
    CGFloat width = size.width - m_inset.left - m_inset.right - 2 * lineFragmentPadding;
    CGSize text
        = TextLayout::measure(m_text, m_font, width > 0 ? std::optional<CGFloat>(width) : std::nullopt);
    CGFloat lineHeight = std::ceil(m_font.lineHeight());
    return { size.width, std::max(text.height, lineHeight) + m_inset.top + m_inset.bottom };
}

void UITextView::draw(CGContext& context, const CGRect& rect)
{
    UIView::draw(context, rect);
    CGRect area = textRect();
    if (area.isEmpty())
        return;
    TextLayout layout(StyledText::plain(m_text), m_font, m_textColor);
    layout.setWidth(area.width());
    layout.setAlignment(m_alignment);
    context.saveGState();
    context.clip(bounds());
    CGSize all = layout.size();
    // Scrolled to the end, where the caret is.
    CGFloat scrolled = m_scrollEnabled ? std::max<CGFloat>(0, all.height - area.height()) : 0;
    layout.draw(context, { area.minX(), area.minY() - scrolled });
    if (m_editing) {
        // The caret after the last line.
        CGFloat line = std::ceil(m_font.lineHeight());
        std::size_t lastBreak = m_text.rfind('\n');
        std::string lastLine = lastBreak == std::string::npos ? m_text : m_text.substr(lastBreak + 1);
        CGSize tail = TextLayout::measure(lastLine, m_font, area.width());
        CGFloat y
            = m_text.empty() ? area.minY() : area.minY() - scrolled + std::max<CGFloat>(0, all.height - line);
        CGFloat x = area.minX() + (tail.height > line ? 0 : tail.width);
        context.setFillColor(tintColor());
        context.fill({ x, y, 2, line });
    }
    context.restoreGState();
}

void UITextView::setScrollEnabled(bool enabled)
{
    m_scrollEnabled = enabled;
    setNeedsDisplay();
}

void UITextView::touchesBegan(const UITouchSet&, const UIEvent*)
{ }

void UITextView::touchesMoved(const UITouchSet&, const UIEvent*)
{ }

void UITextView::touchesEnded(const UITouchSet& touches, const UIEvent*)
{
    if (touches.empty() || !m_editable)
        return;
    if (bounds().contains(touches.front()->location(this)))
        becomeFirstResponder();
}

void UITextView::touchesCancelled(const UITouchSet&, const UIEvent*)
{ }

std::string UITextView::dumpAttributes() const
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
    if (m_editing)
        out += " editing";
    return out;
}
