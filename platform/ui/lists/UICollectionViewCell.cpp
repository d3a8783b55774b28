#include "platform/ui/lists/UICollectionViewCell.h"

#include "platform/ui/layout/UIViewLayout.h"

UICollectionViewCell::UICollectionViewCell()
    : UICollectionViewCell(CGRect {})
{ }

UICollectionViewCell::UICollectionViewCell(const CGRect& frame)
    : UICollectionReusableView(frame)
    , m_contentView(std::make_shared<UIView>(CGRect { {}, frame.size }))
{ }

void UICollectionViewCell::attachParts() const
{
    auto* self = const_cast<UICollectionViewCell*>(this);
    // Subviews can be added only once the cell is owned by a shared_ptr.
    if (self->weak_from_this().expired())
        return;
    std::size_t index = 0;
    if (m_backgroundView && m_backgroundView->superview().get() != this)
        self->insertSubview(m_backgroundView, index);
    if (m_backgroundView)
        ++index;
    if (m_selectedBackgroundView && m_selectedBackgroundView->superview().get() != this)
        self->insertSubview(m_selectedBackgroundView, index);
    if (m_selectedBackgroundView)
        ++index;
    if (m_contentView->superview().get() != this) {
        m_contentView->setFrame(bounds());
        self->insertSubview(m_contentView, index);
    }
}

const std::shared_ptr<UIView>& UICollectionViewCell::contentView() const
{
    attachParts();
    return m_contentView;
}

void UICollectionViewCell::didMoveToSuperview()
{
    UICollectionReusableView::didMoveToSuperview();
    attachParts();
}

void UICollectionViewCell::layoutSubviews()
{
    attachParts();
    UICollectionReusableView::layoutSubviews();
    CGRect area = bounds();
    m_contentView->setFrame(area);
    if (m_backgroundView)
        m_backgroundView->setFrame(area);
    if (m_selectedBackgroundView)
        m_selectedBackgroundView->setFrame(area);
}

void UICollectionViewCell::setSelected(bool selected)
{
    m_selected = selected;
    updateBackgrounds();
}

void UICollectionViewCell::setHighlighted(bool highlighted)
{
    m_highlighted = highlighted;
    updateBackgrounds();
}

void UICollectionViewCell::setBackgroundView(std::shared_ptr<UIView> view)
{
    if (m_backgroundView)
        m_backgroundView->removeFromSuperview();
    m_backgroundView = std::move(view);
    attachParts();
    setNeedsLayout();
}

void UICollectionViewCell::setSelectedBackgroundView(std::shared_ptr<UIView> view)
{
    if (m_selectedBackgroundView)
        m_selectedBackgroundView->removeFromSuperview();
    m_selectedBackgroundView = std::move(view);
    attachParts();
    updateBackgrounds();
    setNeedsLayout();
}

void UICollectionViewCell::updateBackgrounds()
{
    if (m_selectedBackgroundView)
        m_selectedBackgroundView->setHidden(!(m_selected || m_highlighted));
}

void UICollectionViewCell::prepareForReuse()
{
    UICollectionReusableView::prepareForReuse();
    m_selected = false;
    m_highlighted = false;
    updateBackgrounds();
}

UICollectionViewLayoutAttributesPtr UICollectionViewCell::preferredLayoutAttributesFitting(
    const UICollectionViewLayoutAttributes& attributes)
{
    auto preferred = attributes.copy();
    auto& content = contentView();
    if (constraints(*content).empty())
        return preferred;
    content->setFrame({ {}, attributes.frame.size });
    CGSize size = systemLayoutSizeFitting(*content, attributes.frame.size);
    preferred->frame.size = size;
    return preferred;
}
