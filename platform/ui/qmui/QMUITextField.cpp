#include "platform/ui/qmui/QMUITextField.h"

#include "platform/ui/CGContext.h"
#include "platform/ui/qmui/QMUIConfiguration.h"

#include <cmath>

QMUITextField::QMUITextField()
    : QMUITextField(CGRect {})
{ }

QMUITextField::QMUITextField(const CGRect& frame)
    : UITextField(frame)
{
    auto& config = QMUIConfiguration::sharedInstance();
    m_textInsets = config.textFieldTextInsets;
    m_placeholderColor = config.placeholderColor.value_or(UIColor(196 / 255.0, 200 / 255.0, 208 / 255.0, 1));
    if (config.textFieldTextColor)
        setTextColor(*config.textFieldTextColor);
    if (config.textFieldTintColor)
        setTintColor(config.textFieldTintColor);
}

void QMUITextField::setTextInsets(UIEdgeInsets insets)
{
    m_textInsets = insets;
    invalidateIntrinsicContentSize();
    setNeedsLayout();
    setNeedsDisplay();
}

void QMUITextField::setPlaceholderColor(UIColor color)
{
    m_placeholderColor = std::move(color);
    setNeedsDisplay();
}

CGRect QMUITextField::textRectForBounds(const CGRect& bounds) const
{
    return UITextField::textRectForBounds(bounds.inset(m_textInsets));
}

CGSize QMUITextField::intrinsicContentSize() const
{
    CGSize size = UITextField::intrinsicContentSize();
    return { size.width + m_textInsets.left + m_textInsets.right,
        size.height + m_textInsets.top + m_textInsets.bottom };
}

void QMUITextField::drawPlaceholder(CGContext& context, const CGRect& rect)
{
    if (attributedPlaceholder()) {
        UITextField::drawPlaceholder(context, rect);
        return;
    }
    TextLayout layout(StyledText::plain(placeholder()), font(), m_placeholderColor);
    layout.setAlignment(textAlignment());
    layout.setWidth(rect.width());
    layout.setLineBreakMode(NSLineBreakMode::byTruncatingTail);
    layout.setMaximumNumberOfLines(1);
    CGSize size = layout.size();
    layout.draw(context, { rect.minX(), rect.minY() + std::floor((rect.height() - size.height) / 2) });
}
