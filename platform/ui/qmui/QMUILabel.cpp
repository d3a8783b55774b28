#include "platform/ui/qmui/QMUILabel.h"

#include <algorithm>
#include <cmath>

QMUILabel::QMUILabel()
    : QMUILabel(CGRect {})
{ }

QMUILabel::Appearance& QMUILabel::appearance()
{
    static Appearance appearance;
    return appearance;
}

QMUILabel::QMUILabel(const CGRect& frame)
    : UILabel(frame)
    , m_normalBackgroundColor(backgroundColor())
    , m_highlightedBackgroundColor(appearance().highlightedBackgroundColor)
{ }

void QMUILabel::setHighlightedBackgroundColor(std::optional<UIColor> color)
{
    m_highlightedBackgroundColor = std::move(color);
    updateBackground();
}

void QMUILabel::setHighlighted(bool highlighted)
{
    m_highlighted = highlighted;
    updateBackground();
}

void QMUILabel::setBackgroundColor(std::optional<UIColor> color)
{
    m_normalBackgroundColor = std::move(color);
    updateBackground();
}

void QMUILabel::updateBackground()
{
    UILabel::setBackgroundColor(m_highlighted && m_highlightedBackgroundColor ? m_highlightedBackgroundColor
                                                                              : m_normalBackgroundColor);
}

void QMUILabel::setContentEdgeInsets(UIEdgeInsets insets)
{
    if (insets == m_contentEdgeInsets)
        return;
    m_contentEdgeInsets = insets;
    invalidateIntrinsicContentSize();
    setNeedsLayout();
    setNeedsDisplay();
}

CGSize QMUILabel::sizeThatFits(CGSize size) const
{
    const UIEdgeInsets& in = m_contentEdgeInsets;
    CGFloat horizontal = in.left + in.right;
    CGFloat vertical = in.top + in.bottom;
    // A limit narrower than the insets still leaves the text a sliver, never "no limit".
    CGFloat width
        = size.width > 0 && std::isfinite(size.width) ? std::max<CGFloat>(size.width - horizontal, 1) : 0;
    CGFloat height
        = size.height > 0 && std::isfinite(size.height) ? std::max<CGFloat>(size.height - vertical, 1) : 0;
    CGSize text = UILabel::sizeThatFits({ width, height });
    return { text.width + horizontal, text.height + vertical };
}

CGSize QMUILabel::intrinsicContentSize() const
{
    CGFloat width = preferredMaxLayoutWidth() > 0 ? preferredMaxLayoutWidth() : bounds().size.width;
    if (numberOfLines() == 1)
        width = 0;
    return sizeThatFits({ width, 0 });
}

CGRect QMUILabel::textRectForBounds(const CGRect& bounds, int lines) const
{
    const UIEdgeInsets& in = m_contentEdgeInsets;
    CGRect rect = UILabel::textRectForBounds(bounds.inset(in), lines);
    // The caller gets the rectangle of the whole label content, insets included.
    return { rect.minX() - in.left, rect.minY() - in.top, rect.width() + in.left + in.right,
        rect.height() + in.top + in.bottom };
}

void QMUILabel::drawText(CGContext& context, const CGRect& rect)
{
    UILabel::drawText(context, rect.inset(m_contentEdgeInsets));
}
