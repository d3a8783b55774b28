#include "platform/media/SJPlayerViews.h"

#include <algorithm>

std::shared_ptr<UIView> SJPassThroughView::hitTest(CGPoint point, const UIEvent* event)
{
    std::shared_ptr<UIView> hit = UIView::hitTest(point, event);
    return hit.get() == this ? nullptr : hit;
}

void SJFillingView::layoutSubviews()
{
    UIView::layoutSubviews();
    for (const auto& subview : subviews())
        subview->setFrame(bounds());
}

SJPopupTextView::SJPopupTextView(const NSAttributedString& text, UIEdgeInsets insets)
    : m_label(std::make_shared<UILabel>())
    , m_insets(insets)
{
    // Dark enough over any picture (a white frame included) for white and bright texts to read.
    setBackgroundColor(UIColor(0, 0, 0, 0.75));
    layer()->setCornerRadius(5);
    setClipsToBounds(true);
    m_label->setNumberOfLines(0);
    m_label->setTextColor(UIColor::white());
    m_label->setAttributedText(text.styledText());
}

void SJPopupTextView::didMoveToSuperview()
{
    UIView::didMoveToSuperview();
    // The label goes in once the plate has an owner (not while it is being made).
    if (m_label->superview().get() != this && !weak_from_this().expired())
        addSubview(m_label);
}

CGSize SJPopupTextView::sizeThatFits(CGSize size) const
{
    CGFloat maxWidth = std::max<CGFloat>(1, size.width - m_insets.left - m_insets.right);
    CGSize text = m_label->sizeThatFits({ maxWidth, 10000 });
    return { std::min(text.width, maxWidth) + m_insets.left + m_insets.right,
        text.height + m_insets.top + m_insets.bottom };
}

void SJPopupTextView::layoutSubviews()
{
    UIView::layoutSubviews();
    m_label->setFrame(bounds().inset(m_insets));
}
