#include "platform/ui/UIImageView.h"

#include "platform/dispatch/Timer.h"

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

UIImageView::~UIImageView()
{
    if (m_animationTimer)
        m_animationTimer->invalidate();
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
    if (isAnimating())
        return showAnimationFrame();
    if (!m_image || !m_image->hasBitmap()) {
        layer()->setContents(std::nullopt);
        return;
    }
    if (m_image->renderingMode() == UIImageRenderingMode::alwaysTemplate)
        layer()->setContents(m_image->withTintColor(tintColor()));
    else
        layer()->setContents(*m_image);
}

void UIImageView::setAnimationImages(std::vector<UIImage> images)
{
    stopAnimating();
    m_animationImages = std::move(images);
}

void UIImageView::startAnimating()
{
    if (isAnimating() || m_animationImages.empty())
        return;
    double count = static_cast<double>(m_animationImages.size());
    double cycle = animationDuration > 0 ? animationDuration : count / 30.0;
    m_animationFrame = 0;
    m_cyclesDone = 0;
    std::weak_ptr<UIView> weak = weakFromThis();
    m_animationTimer = Timer::scheduledTimer(cycle / count, true, [weak](Timer& timer) {
        auto self = std::static_pointer_cast<UIImageView>(weak.lock());
        if (!self)
            return timer.invalidate();
        self->nextAnimationFrame();
    });
    showAnimationFrame();
}

void UIImageView::stopAnimating()
{
    if (!m_animationTimer)
        return;
    m_animationTimer->invalidate();
    m_animationTimer.reset();
    m_animationFrame = 0;
    updateContents();
}

void UIImageView::nextAnimationFrame()
{
    if (++m_animationFrame < m_animationImages.size())
        return showAnimationFrame();
    m_animationFrame = 0;
    if (animationRepeatCount > 0 && ++m_cyclesDone >= animationRepeatCount)
        return stopAnimating();
    showAnimationFrame();
}

void UIImageView::showAnimationFrame()
{
    // A frame that no screen can show is not set: an animation off every window, or under a
    // hidden view, keeps its clock without having the screen drawn 30 times a second. It shows
    // its frame again once it is in a window (below) or at its next tick once shown.
    if (!window() || !layer()->isShownInTree())
        return;
    const UIImage& frame = m_animationImages[m_animationFrame];
    if (!frame.hasBitmap())
        return layer()->setContents(std::nullopt);
    layer()->setContents(frame);
}

void UIImageView::didMoveToWindow()
{
    UIView::didMoveToWindow();
    if (isAnimating())
        showAnimationFrame();
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
