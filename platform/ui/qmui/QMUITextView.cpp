#include "platform/ui/qmui/QMUITextView.h"

#include "platform/ui/CGContext.h"
#include "platform/ui/qmui/QMUIConfiguration.h"
#include "platform/ui/qmui/detail/Graphemes.h"

#include <algorithm>

namespace {

UIColor defaultPlaceholderColor()
{
    return QMUIConfiguration::sharedInstance().placeholderColor.value_or(
        UIColor(196 / 255.0, 200 / 255.0, 208 / 255.0, 1));
}

}

QMUITextView::QMUITextView()
    : QMUITextView(CGRect {})
{ }

QMUITextView::QMUITextView(const CGRect& frame)
    : UITextView(frame)
    , m_placeholderColor(defaultPlaceholderColor())
{ }

void QMUITextView::setText(std::string text)
{
    if (m_maximumTextLength != noLengthLimit)
        text = detail::graphemePrefix(text, m_maximumTextLength);
    UITextView::setText(std::move(text));
}

void QMUITextView::setPlaceholder(std::string placeholder)
{
    m_placeholder = std::move(placeholder);
    setNeedsDisplay();
}

void QMUITextView::setPlaceholderColor(UIColor color)
{
    m_placeholderColor = std::move(color);
    setNeedsDisplay();
}

void QMUITextView::setMaximumTextLength(std::size_t length)
{
    m_maximumTextLength = length;
    if (textLength() > length)
        setText(text());
}

void QMUITextView::setMaximumHeight(CGFloat height)
{
    m_maximumHeight = height;
}

std::size_t QMUITextView::textLength() const
{
    return detail::graphemeLength(text());
}

void QMUITextView::insertText(const std::string& typed)
{
    if (typed.empty())
        return;
    if (typed == "\n") {
        auto keep = weak_from_this().lock();
        if (auto d = std::dynamic_pointer_cast<QMUITextViewDelegate>(delegate());
            d && d->textViewShouldReturn(*this))
            return;
    }
    std::string accepted = typed;
    if (m_maximumTextLength != noLengthLimit) {
        std::size_t length = textLength();
        if (length >= m_maximumTextLength)
            return;
        accepted = detail::graphemePrefix(typed, m_maximumTextLength - length);
    }
    UITextView::insertText(accepted);
}

CGSize QMUITextView::sizeThatFits(CGSize size) const
{
    CGSize fitted = UITextView::sizeThatFits(size);
    fitted.height = std::min(fitted.height, m_maximumHeight);
    return fitted;
}

void QMUITextView::draw(CGContext& context, const CGRect& rect)
{
    UITextView::draw(context, rect);
    if (!text().empty() || m_placeholder.empty())
        return;
    CGRect area = textRect();
    if (area.isEmpty())
        return;
    TextLayout layout(StyledText::plain(m_placeholder), font(), m_placeholderColor);
    layout.setWidth(area.width());
    layout.setMaximumHeight(area.height());
    layout.setAlignment(textAlignment());
    context.saveGState();
    context.clip(bounds());
    layout.draw(context, area.origin);
    context.restoreGState();
}

std::string QMUITextView::dumpAttributes() const
{
    std::string out = UITextView::dumpAttributes();
    if (text().empty() && !m_placeholder.empty())
        out += " placeholder=\"" + m_placeholder + "\"";
    return out;
}
