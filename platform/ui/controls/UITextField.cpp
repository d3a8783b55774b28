#include "platform/ui/controls/UITextField.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/CGContext.h"
#include "platform/ui/controls/UIKeyboard.h"
#include "platform/ui/gestures/UITouch.h"

#include <algorithm>
#include <cmath>

namespace detail {

namespace {

// Length in bytes of the UTF-8 sequence starting with `lead` (1 for stray bytes), and its UTF-16 units.
std::pair<std::size_t, std::size_t> sequenceAt(const std::string& text, std::size_t i)
{
    auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = lead < 0x80 ? 1
        : (lead >> 5) == 0x6         ? 2
        : (lead >> 4) == 0xE         ? 3
        : (lead >> 3) == 0x1E        ? 4
                                     : 1;
    if (i + length > text.size())
        length = 1;
    for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
            return { 1, 1 };
    }
    return { length, length == 4 ? 2 : 1 };
}

}

std::size_t utf16Count(const std::string& text)
{
    std::size_t units = 0;
    for (std::size_t i = 0; i < text.size();) {
        auto [bytes, count] = sequenceAt(text, i);
        i += bytes;
        units += count;
    }
    return units;
}

std::size_t byteOffsetOfUtf16(const std::string& text, std::size_t offset)
{
    std::size_t units = 0;
    std::size_t i = 0;
    while (i < text.size() && units < offset) {
        auto [bytes, count] = sequenceAt(text, i);
        i += bytes;
        units += count;
    }
    return i;
}

NSRange lastCharacterRange(const std::string& text)
{
    std::size_t units = 0;
    std::size_t last = 0;
    for (std::size_t i = 0; i < text.size();) {
        auto [bytes, count] = sequenceAt(text, i);
        i += bytes;
        units += count;
        last = count;
    }
    return { units - last, last };
}

}

UITextField::UITextField()
    : UITextField(CGRect {})
{ }

UITextField::UITextField(const CGRect& frame)
    : UIControl(frame)
{ }

void UITextField::contentDidChange()
{
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

void UITextField::setText(std::string text)
{
    m_markedStart.reset();
    m_text = std::move(text);
    contentDidChange();
}

void UITextField::setPlaceholder(std::string placeholder)
{
    m_placeholder = std::move(placeholder);
    m_attributedPlaceholder.reset();
    contentDidChange();
}

void UITextField::setAttributedPlaceholder(std::optional<StyledText> placeholder)
{
    m_attributedPlaceholder = std::move(placeholder);
    m_placeholder = m_attributedPlaceholder ? m_attributedPlaceholder->string() : std::string();
    contentDidChange();
}

void UITextField::setFont(UIFont font)
{
    m_font = std::move(font);
    contentDidChange();
}

void UITextField::setTextColor(UIColor color)
{
    m_textColor = std::move(color);
    setNeedsDisplay();
}

void UITextField::setTextAlignment(NSTextAlignment alignment)
{
    m_alignment = alignment;
    setNeedsDisplay();
}

void UITextField::setSecureTextEntry(bool secure)
{
    m_secure = secure;
    contentDidChange();
}

void UITextField::setLeftView(std::shared_ptr<UIView> view)
{
    if (m_leftView)
        m_leftView->removeFromSuperview();
    m_leftView = std::move(view);
    if (m_leftView)
        addSubview(m_leftView);
    setNeedsLayout();
}

void UITextField::setRightView(std::shared_ptr<UIView> view)
{
    if (m_rightView)
        m_rightView->removeFromSuperview();
    m_rightView = std::move(view);
    if (m_rightView)
        addSubview(m_rightView);
    setNeedsLayout();
}

void UITextField::post(const char* name)
{
    NotificationCenter::defaultCenter().post(name, std::any(this));
}

// ---- First responder ----

bool UITextField::canBecomeFirstResponder() const
{
    return isEnabled() && window() != nullptr;
}

bool UITextField::becomeFirstResponder()
{
    if (isFirstResponder())
        return true;
    if (!canBecomeFirstResponder())
        return false;
    auto keep = weak_from_this().lock();
    if (auto d = delegate(); d && !d->textFieldShouldBeginEditing(*this))
        return false;
    UIKeyboard::Handover handover;
    if (!UIControl::becomeFirstResponder())
        return false;
    m_editing = true;
    setNeedsLayout();
    if (auto d = delegate())
        d->textFieldDidBeginEditing(*this);
    sendActions(UIControlEventEditingDidBegin);
    post(UITextFieldNotification::TextDidBeginEditing);
    UIKeyboard::shared().inputDidBecomeFirstResponder();
    return true;
}

bool UITextField::resignFirstResponder()
{
    if (!isFirstResponder())
        return UIControl::resignFirstResponder();
    auto keep = weak_from_this().lock();
    if (auto d = delegate(); d && !d->textFieldShouldEndEditing(*this))
        return false;
    if (!UIControl::resignFirstResponder())
        return false;
    m_editing = false;
    setNeedsLayout();
    if (auto d = delegate())
        d->textFieldDidEndEditing(*this);
    sendActions(UIControlEventEditingDidEnd);
    post(UITextFieldNotification::TextDidEndEditing);
    UIKeyboard::shared().inputDidResignFirstResponder();
    return true;
}

// ---- Typing ----

bool UITextField::replace(NSRange range, const std::string& replacement)
{
    std::size_t length = detail::utf16Count(m_text);
    if (range.location > length)
        range.location = length;
    range.length = std::min(range.length, length - range.location);
    auto keep = weak_from_this().lock();
    if (auto d = delegate(); d && !d->textFieldShouldChangeCharacters(*this, range, replacement))
        return false;
    std::size_t from = detail::byteOffsetOfUtf16(m_text, range.location);
    std::size_t to = detail::byteOffsetOfUtf16(m_text, range.location + range.length);
    // A real edit ends any composition.
    m_markedStart.reset();
    m_text.replace(from, to - from, replacement);
    contentDidChange();
    sendActions(UIControlEventEditingChanged);
    post(UITextFieldNotification::TextDidChange);
    return true;
}

std::optional<NSRange> UITextField::markedTextRange() const
{
    if (!m_markedStart)
        return std::nullopt;
    std::size_t start = detail::utf16Count(m_text.substr(0, *m_markedStart));
    return NSRange { start, detail::utf16Count(m_text) - start };
}

void UITextField::setMarkedText(const std::string& text)
{
    auto keep = weak_from_this().lock();
    std::size_t start = std::min(m_markedStart.value_or(m_text.size()), m_text.size());
    m_text.erase(start);
    m_text += text;
    m_markedStart = text.empty() ? std::nullopt : std::optional<std::size_t>(start);
    contentDidChange();
    sendActions(UIControlEventEditingChanged);
    post(UITextFieldNotification::TextDidChange);
}

void UITextField::unmarkText()
{
    if (!m_markedStart)
        return;
    auto keep = weak_from_this().lock();
    m_markedStart.reset();
    contentDidChange();
    sendActions(UIControlEventEditingChanged);
    post(UITextFieldNotification::TextDidChange);
}

void UITextField::insertText(const std::string& text)
{
    auto keep = weak_from_this().lock();
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t newline = text.find('\n', start);
        std::string piece
            = text.substr(start, newline == std::string::npos ? std::string::npos : newline - start);
        if (!piece.empty())
            replace({ detail::utf16Count(m_text), 0 }, piece);
        if (newline == std::string::npos)
            break;
        pressReturn();
        start = newline + 1;
    }
}

void UITextField::deleteBackward()
{
    if (m_text.empty())
        return;
    replace(detail::lastCharacterRange(m_text), "");
}

void UITextField::pressReturn()
{
    auto keep = weak_from_this().lock();
    if (auto d = delegate(); d && !d->textFieldShouldReturn(*this))
        return;
    bool ends = allControlEvents() & UIControlEventEditingDidEndOnExit;
    sendActions(UIControlEventEditingDidEndOnExit);
    if (ends)
        resignFirstResponder();
}

void UITextField::clear()
{
    if (auto d = delegate(); d && !d->textFieldShouldClear(*this))
        return;
    if (m_text.empty())
        return;
    m_text.clear();
    contentDidChange();
    sendActions(UIControlEventEditingChanged);
    post(UITextFieldNotification::TextDidChange);
}

// ---- Geometry and drawing ----

bool UITextField::isShown(UITextFieldViewMode mode) const
{
    switch (mode) {
    case UITextFieldViewMode::never:
        return false;
    case UITextFieldViewMode::whileEditing:
        return m_editing;
    case UITextFieldViewMode::unlessEditing:
        return !m_editing;
    case UITextFieldViewMode::always:
        return true;
    }
    return false;
}

bool UITextField::showsClearButton() const
{
    return !m_text.empty() && isShown(clearButtonMode) && !(m_rightView && isShown(rightViewMode));
}

CGRect UITextField::leftViewRectForBounds(const CGRect& bounds) const
{
    if (!m_leftView)
        return {};
    CGSize size = m_leftView->frame().size;
    return { bounds.minX(), bounds.minY() + std::floor((bounds.height() - size.height) / 2), size.width,
        size.height };
}

CGRect UITextField::rightViewRectForBounds(const CGRect& bounds) const
{
    if (!m_rightView)
        return {};
    CGSize size = m_rightView->frame().size;
    return { bounds.maxX() - size.width, bounds.minY() + std::floor((bounds.height() - size.height) / 2),
        size.width, size.height };
}

CGRect UITextField::clearButtonRectForBounds(const CGRect& bounds) const
{
    return { bounds.maxX() - clearButtonSize - 6,
        bounds.minY() + std::floor((bounds.height() - clearButtonSize) / 2), clearButtonSize,
        clearButtonSize };
}

CGRect UITextField::textRectForBounds(const CGRect& bounds) const
{
    CGRect rect = bounds;
    if (m_leftView && isShown(leftViewMode)) {
        CGFloat width = leftViewRectForBounds(bounds).maxX() - bounds.minX();
        rect.origin.x += width;
        rect.size.width -= width;
    }
    if (m_rightView && isShown(rightViewMode))
        rect.size.width -= bounds.maxX() - rightViewRectForBounds(bounds).minX();
    else if (showsClearButton())
        rect.size.width -= bounds.maxX() - clearButtonRectForBounds(bounds).minX();
    rect.size.width = std::max<CGFloat>(0, rect.size.width);
    return rect;
}

CGRect UITextField::editingRectForBounds(const CGRect& bounds) const
{
    return textRectForBounds(bounds);
}

CGRect UITextField::placeholderRectForBounds(const CGRect& bounds) const
{
    return m_editing ? editingRectForBounds(bounds) : textRectForBounds(bounds);
}

std::string UITextField::displayedText() const
{
    if (!m_secure)
        return m_text;
    std::string dots;
    for (std::size_t i = 0, n = detail::utf16Count(m_text); i < n; ++i)
        dots += "\xE2\x80\xA2"; // •
    return dots;
}

CGSize UITextField::intrinsicContentSize() const
{
    const std::string& shown = m_text.empty() ? m_placeholder : m_text;
    CGFloat width = TextLayout::measure(m_text.empty() ? shown : displayedText(), m_font).width;
    if (m_leftView && isShown(leftViewMode))
        width += m_leftView->frame().width();
    if (m_rightView && isShown(rightViewMode))
        width += m_rightView->frame().width();
    return { width, std::ceil(m_font.lineHeight()) };
}

CGSize UITextField::sizeThatFits(CGSize) const
{
    return intrinsicContentSize();
}

void UITextField::layoutSubviews()
{
    UIControl::layoutSubviews();
    CGRect b = bounds();
    if (m_leftView) {
        m_leftView->setHidden(!isShown(leftViewMode));
        m_leftView->setFrame(leftViewRectForBounds(b));
    }
    if (m_rightView) {
        m_rightView->setHidden(!isShown(rightViewMode));
        m_rightView->setFrame(rightViewRectForBounds(b));
    }
}

void UITextField::drawText(CGContext& context, const CGRect& rect)
{
    TextLayout layout(StyledText::plain(displayedText()), m_font, m_textColor);
    layout.setAlignment(m_alignment);
    CGSize size = layout.size();
    CGFloat y = rect.minY() + std::floor((rect.height() - size.height) / 2);
    context.saveGState();
    context.clip(rect);
    CGFloat caretX;
    if (m_editing && size.width > rect.width()) {
        // While editing, the end of a long text stays in view.
        caretX = rect.maxX() - 2;
        layout.draw(context, { caretX - size.width, y });
    } else {
        layout.setWidth(rect.width());
        layout.setLineBreakMode(m_editing ? NSLineBreakMode::byClipping : NSLineBreakMode::byTruncatingTail);
        layout.draw(context, { rect.minX(), y });
        switch (m_alignment) {
        case NSTextAlignment::center:
            caretX = rect.midX() + size.width / 2;
            break;
        case NSTextAlignment::right:
            caretX = rect.maxX() - 2;
            break;
        default:
            caretX = rect.minX() + size.width;
        }
    }
    if (m_editing) {
        CGFloat line = std::ceil(m_font.lineHeight());
        context.setFillColor(tintColor());
        context.fill({ caretX, rect.minY() + std::floor((rect.height() - line) / 2), 2, line });
    }
    context.restoreGState();
}

void UITextField::drawPlaceholder(CGContext& context, const CGRect& rect)
{
    StyledText text = m_attributedPlaceholder ? *m_attributedPlaceholder : StyledText::plain(m_placeholder);
    TextLayout layout(text, m_font, UIColor(0.24, 0.24, 0.26, 0.3));
    layout.setAlignment(text.alignment.value_or(m_alignment));
    layout.setWidth(rect.width());
    layout.setLineBreakMode(NSLineBreakMode::byTruncatingTail);
    layout.setMaximumNumberOfLines(1);
    CGSize size = layout.size();
    layout.draw(context, { rect.minX(), rect.minY() + std::floor((rect.height() - size.height) / 2) });
}

void UITextField::draw(CGContext& context, const CGRect& rect)
{
    UIControl::draw(context, rect);
    CGRect b = bounds();
    if (m_text.empty() && !m_placeholder.empty())
        drawPlaceholder(context, placeholderRectForBounds(b));
    if (!m_text.empty() || m_editing)
        drawText(context, m_editing ? editingRectForBounds(b) : textRectForBounds(b));
    if (showsClearButton()) {
        CGRect circle = clearButtonRectForBounds(b);
        context.setFillColor(UIColor(0.56, 0.56, 0.58, 1));
        context.addPath(UIBezierPath::ovalIn(circle).cgPath());
        context.fillPath();
        context.setStrokeColor(UIColor::white());
        context.setLineWidth(1.5);
        CGRect cross = circle.insetBy(6, 6);
        UIBezierPath path;
        path.move(cross.origin);
        path.addLine({ cross.maxX(), cross.maxY() });
        path.move({ cross.maxX(), cross.minY() });
        path.addLine({ cross.minX(), cross.maxY() });
        context.addPath(path.cgPath());
        context.strokePath();
    }
}

void UITextField::touchesEnded(const UITouchSet& touches, const UIEvent* event)
{
    auto keep = weak_from_this().lock();
    UIControl::touchesEnded(touches, event);
    if (touches.empty() || !isEnabled() || !isTouchInside())
        return;
    if (m_editing && showsClearButton()
        && clearButtonRectForBounds(bounds()).insetBy(-8, -8).contains(touches.front()->location(this))) {
        clear();
        return;
    }
    becomeFirstResponder();
}

std::string UITextField::dumpAttributes() const
{
    auto quoted = [](const std::string& s) {
        std::string out = "\"";
        for (char c : s)
            out += (c == '"') ? std::string("\\\"") : std::string(1, c);
        return out + "\"";
    };
    std::string out = "text=" + quoted(displayedText());
    if (!m_placeholder.empty())
        out += " placeholder=" + quoted(m_placeholder);
    if (m_editing)
        out += " editing";
    std::string flags = UIControl::dumpAttributes();
    if (!flags.empty())
        out += " " + flags;
    return out;
}
