#include "platform/ui/UIImageView.h"

#include <cstdio>

UIImageView::UIImageView()
    : UIImageView(CGRect {})
{ }

UIImageView::UIImageView(const CGRect& frame)
    : UIView(frame)
{
    setUserInteractionEnabled(false);
}

UIImageView::UIImageView(std::optional<UIImage> image)
    : UIImageView(CGRect {})
{
    if (image)
        setFrame({ 0, 0, image->size().width, image->size().height });
    setImage(std::move(image));
}

void UIImageView::setImage(std::optional<UIImage> image)
{
    CGSize oldSize = m_image ? m_image->size() : CGSize { noIntrinsicMetric, noIntrinsicMetric };
    m_image = std::move(image);
    updateContents();
    CGSize newSize = m_image ? m_image->size() : CGSize { noIntrinsicMetric, noIntrinsicMetric };
    if (oldSize != newSize)
        invalidateIntrinsicContentSize();
}

void UIImageView::updateContents()
{
    if (!m_image || !m_image->hasBitmap()) {
        layer()->setContents(std::nullopt);
        return;
    }
    if (m_image->renderingMode() == UIImageRenderingMode::alwaysTemplate)
        layer()->setContents(m_image->withTintColor(tintColor()));
    else
        layer()->setContents(*m_image);
}

void UIImageView::tintColorDidChange()
{
    if (m_image && m_image->renderingMode() == UIImageRenderingMode::alwaysTemplate)
        updateContents();
}

CGSize UIImageView::intrinsicContentSize() const
{
    if (!m_image || m_image->isEmpty())
        return { noIntrinsicMetric, noIntrinsicMetric };
    return m_image->size();
}

CGSize UIImageView::sizeThatFits(CGSize) const
{
    if (!m_image)
        return {};
    return m_image->size();
}

std::string UIImageView::dumpAttributes() const
{
    if (!m_image)
        return "image=none";
    char buf[64];
    std::snprintf(
        buf, sizeof buf, "image=%gx%g@%gx", m_image->size().width, m_image->size().height, m_image->scale());
    return buf;
}
