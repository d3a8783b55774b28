#include "platform/ui/qmui/QMUITableViewHeaderFooterView.h"

#include <algorithm>

QMUITableViewHeaderFooterView::QMUITableViewHeaderFooterView(
    std::string title, const QMUIConfiguration::TableStyleValues::Section& look)
    : m_label(std::make_shared<UILabel>())
    , m_contentInset(look.contentInset)
{
    m_label->setText(std::move(title));
    m_label->setFont(look.font.value_or(UIFont::systemFont(13)));
    m_label->setTextColor(look.textColor.value_or(UIColor::label()));
    if (look.backgroundColor)
        setBackgroundColor(look.backgroundColor);
    CGFloat height = look.defaultHeight >= 0
        ? look.defaultHeight
        : m_contentInset.top + m_label->sizeThatFits({}).height + m_contentInset.bottom;
    setFrame({ 0, 0, 0, height });
}

void QMUITableViewHeaderFooterView::layoutSubviews()
{
    if (m_label->superview().get() != this)
        addSubview(m_label);
    UIView::layoutSubviews();
    CGRect b = bounds();
    m_label->setFrame({ m_contentInset.left, m_contentInset.top,
        std::max<CGFloat>(0, b.width() - m_contentInset.left - m_contentInset.right),
        std::max<CGFloat>(0, b.height() - m_contentInset.top - m_contentInset.bottom) });
}
