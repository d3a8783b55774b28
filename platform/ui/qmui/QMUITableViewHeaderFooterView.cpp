#include "platform/ui/qmui/QMUITableViewHeaderFooterView.h"

#include <algorithm>

QMUITableViewHeaderFooterView::QMUITableViewHeaderFooterView(
    std::string title, const QMUIConfiguration::TableStyleValues::Section& look)
    : m_label(std::make_shared<UILabel>())
    , m_contentInset(look.contentInset)
    , m_accessoryMargins(look.accessoryMargins)
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

void QMUITableViewHeaderFooterView::setAccessoryView(std::shared_ptr<UIView> view)
{
    if (m_accessoryView == view)
        return;
    if (m_accessoryView && m_accessoryView->superview().get() == this)
        m_accessoryView->removeFromSuperview();
    m_accessoryView = std::move(view);
    setNeedsLayout();
}

void QMUITableViewHeaderFooterView::setAccessoryViewMargins(UIEdgeInsets margins)
{
    m_accessoryMargins = margins;
    setNeedsLayout();
}

void QMUITableViewHeaderFooterView::layoutSubviews()
{
    if (m_label->superview().get() != this)
        addSubview(m_label);
    if (m_accessoryView && m_accessoryView->superview().get() != this)
        addSubview(m_accessoryView);
    UIView::layoutSubviews();
    CGRect b = bounds();
    const UIEdgeInsets inset = m_contentInset;
    CGFloat contentHeight = std::max<CGFloat>(0, b.height() - inset.top - inset.bottom);
    CGFloat titleRight = b.width() - inset.right;
    if (m_accessoryView) {
        CGSize size = m_accessoryView->sizeThatFits({});
        CGFloat x = b.width() - inset.right - m_accessoryMargins.right - size.width;
        CGFloat y = inset.top + (contentHeight - size.height) / 2 + m_accessoryMargins.top
            - m_accessoryMargins.bottom;
        m_accessoryView->setFrame({ x, y, size.width, size.height });
        titleRight = x - m_accessoryMargins.left;
    }
    m_label->setFrame(
        { inset.left, inset.top, std::max<CGFloat>(0, titleRight - inset.left), contentHeight });
}
