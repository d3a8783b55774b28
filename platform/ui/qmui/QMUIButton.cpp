#include "platform/ui/qmui/QMUIButton.h"

#include "platform/ui/CGContext.h"
#include "platform/ui/UIBezierPath.h"
#include "platform/ui/qmui/QMUIConfiguration.h"

#include <algorithm>
#include <cmath>

namespace {

CGSize grown(CGSize size, const UIEdgeInsets& insets)
{
    return { size.width + insets.left + insets.right, size.height + insets.top + insets.bottom };
}

bool isVertical(QMUIButtonImagePosition position)
{
    return position == QMUIButtonImagePosition::top || position == QMUIButtonImagePosition::bottom;
}

}

QMUIButton::QMUIButton()
    : QMUIButton(CGRect {})
{ }

QMUIButton::QMUIButton(const CGRect& frame)
    : UIButton(frame)
{ }

void QMUIButton::partsDidChange()
{
    invalidateIntrinsicContentSize();
    setNeedsLayout();
}

void QMUIButton::setImagePosition(QMUIButtonImagePosition position)
{
    m_imagePosition = position;
    partsDidChange();
}

void QMUIButton::setSpacingBetweenImageAndTitle(CGFloat spacing)
{
    m_spacing = spacing;
    partsDidChange();
}

void QMUIButton::setAdjustsButtonWhenHighlighted(bool adjusts)
{
    m_adjustsWhenHighlighted = adjusts;
    applyStateLook();
}

void QMUIButton::setAdjustsButtonWhenDisabled(bool adjusts)
{
    m_adjustsWhenDisabled = adjusts;
    applyStateLook();
}

void QMUIButton::setHighlightedBackgroundColor(std::optional<UIColor> color)
{
    m_highlightedBackgroundColor = std::move(color);
    if (m_highlightedBackgroundColor)
        m_adjustsWhenHighlighted = false;
    applyStateLook();
}

void QMUIButton::setHighlightedBorderColor(std::optional<UIColor> color)
{
    m_highlightedBorderColor = std::move(color);
    if (m_highlightedBorderColor)
        m_adjustsWhenHighlighted = false;
    applyStateLook();
}

void QMUIButton::setTintColorAdjustsTitleAndImage(std::optional<UIColor> color)
{
    m_tintAdjustsTitleAndImage = std::move(color);
    if (m_tintAdjustsTitleAndImage)
        setTintColor(m_tintAdjustsTitleAndImage);
    setNeedsLayout();
}

void QMUIButton::setCornerRadius(CGFloat radius)
{
    m_cornerRadius = radius;
    if (radius != QMUIButtonCornerRadiusAdjustsBounds)
        layer()->setCornerRadius(std::max<CGFloat>(radius, 0));
    setNeedsLayout();
}

// ---- State ----

void QMUIButton::stateDidChange()
{
    UIButton::stateDidChange();
    applyStateLook();
}

void QMUIButton::applyStateLook()
{
    auto& config = QMUIConfiguration::sharedInstance();
    if (!isEnabled()) {
        if (m_adjustsWhenDisabled)
            setAlpha(config.buttonDisabledAlpha);
    } else if (isHighlighted() && m_adjustsWhenHighlighted) {
        setAlpha(config.buttonHighlightedAlpha);
    } else if (m_adjustsWhenHighlighted || m_adjustsWhenDisabled) {
        setAlpha(1);
    }

    bool showBorder = isHighlighted() && m_highlightedBorderColor;
    if (showBorder && !m_borderColorBeforeHighlight) {
        m_borderColorBeforeHighlight = layer()->borderColor();
        layer()->setBorderColor(*m_highlightedBorderColor);
    } else if (!showBorder && m_borderColorBeforeHighlight) {
        layer()->setBorderColor(*m_borderColorBeforeHighlight);
        m_borderColorBeforeHighlight.reset();
    }
    setNeedsDisplay();
}

// ---- Geometry ----

bool QMUIButton::showsImage() const
{
    return imageSize().width > 0 && imageSize().height > 0;
}

bool QMUIButton::showsTitle() const
{
    return titleSize().width > 0;
}

CGSize QMUIButton::imageBox() const
{
    return showsImage() ? grown(imageSize(), imageEdgeInsets()) : CGSize {};
}

CGSize QMUIButton::titleBox() const
{
    return showsTitle() ? grown(titleSize(), titleEdgeInsets()) : CGSize {};
}

CGSize QMUIButton::sizeThatFits(CGSize) const
{
    CGSize image = imageBox();
    CGSize title = titleBox();
    CGFloat spacing = showsImage() && showsTitle() ? m_spacing : 0;
    CGSize size;
    if (isVertical(m_imagePosition)) {
        size = { std::max(image.width, title.width), image.height + spacing + title.height };
    } else {
        size = { image.width + spacing + title.width, std::max(image.height, title.height) };
    }
    return grown(size, contentEdgeInsets());
}

CGSize QMUIButton::intrinsicContentSize() const
{
    return sizeThatFits({});
}

QMUIButton::Parts QMUIButton::placeParts(const CGRect& content) const
{
    CGSize image = imageBox();
    CGSize title = titleBox();
    CGFloat spacing = showsImage() && showsTitle() ? m_spacing : 0;
    auto hAlign = contentHorizontalAlignment();
    auto vAlign = contentVerticalAlignment();

    // Where a run of `length` starts along an axis of `available` from `origin`.
    auto start = [](CGFloat origin, CGFloat available, CGFloat length, int alignment) {
        switch (alignment) {
        case 1: // leading
            return origin;
        case 2: // trailing
            return origin + available - length;
        default:
            return origin + std::floor((available - length) / 2);
        }
    };
    int h = hAlign == UIControlContentHorizontalAlignment::left ? 1
        : hAlign == UIControlContentHorizontalAlignment::right  ? 2
                                                                : 0;
    int v = vAlign == UIControlContentVerticalAlignment::top  ? 1
        : vAlign == UIControlContentVerticalAlignment::bottom ? 2
                                                              : 0;

    Parts parts;
    if (isVertical(m_imagePosition)) {
        // A long title gives way within the width.
        title.width = std::min(title.width, content.width());
        if (hAlign == UIControlContentHorizontalAlignment::fill)
            title.width = content.width();
        CGFloat groupHeight = image.height + spacing + title.height;
        CGFloat y = start(content.minY(), content.height(), groupHeight, v);
        CGFloat imageX = start(content.minX(), content.width(), image.width, h);
        CGFloat titleX = start(content.minX(), content.width(), title.width, h);
        if (m_imagePosition == QMUIButtonImagePosition::top) {
            parts.image = { imageX, y, image.width, image.height };
            parts.title = { titleX, y + image.height + spacing, title.width, title.height };
        } else {
            parts.title = { titleX, y, title.width, title.height };
            parts.image = { imageX, y + title.height + spacing, image.width, image.height };
        }
    } else {
        // A long title gives way, keeping the image whole.
        title.width = std::max<CGFloat>(0, std::min(title.width, content.width() - image.width - spacing));
        if (hAlign == UIControlContentHorizontalAlignment::fill)
            title.width = std::max<CGFloat>(0, content.width() - image.width - spacing);
        CGFloat x = start(content.minX(), content.width(), image.width + spacing + title.width, h);
        CGFloat imageY = start(content.minY(), content.height(), image.height, v);
        CGFloat titleY = start(content.minY(), content.height(), title.height, v);
        if (vAlign == UIControlContentVerticalAlignment::fill) {
            imageY = titleY = content.minY();
            image.height = title.height = content.height();
        }
        if (m_imagePosition == QMUIButtonImagePosition::left) {
            parts.image = { x, imageY, image.width, image.height };
            parts.title = { x + image.width + spacing, titleY, title.width, title.height };
        } else {
            parts.title = { x, titleY, title.width, title.height };
            parts.image = { x + title.width + spacing, imageY, image.width, image.height };
        }
    }
    parts.image = showsImage() ? parts.image.inset(imageEdgeInsets()) : CGRect {};
    parts.title = showsTitle() ? parts.title.inset(titleEdgeInsets()) : CGRect {};
    return parts;
}

CGRect QMUIButton::titleRectForContentRect(const CGRect& contentRect) const
{
    return placeParts(contentRect).title;
}

CGRect QMUIButton::imageRectForContentRect(const CGRect& contentRect) const
{
    return placeParts(contentRect).image;
}

void QMUIButton::layoutSubviews()
{
    UIButton::layoutSubviews();
    if (m_cornerRadius == QMUIButtonCornerRadiusAdjustsBounds)
        layer()->setCornerRadius(bounds().height() / 2);
    if (m_tintAdjustsTitleAndImage) {
        // After every content update (which sets the state's own colour and image).
        titleLabel()->setTextColor(tintColor());
        if (auto image = imageView()->image();
            image && image->renderingMode() != UIImageRenderingMode::alwaysTemplate)
            imageView()->setImage(image->withRenderingMode(UIImageRenderingMode::alwaysTemplate));
    }
}

void QMUIButton::draw(CGContext& context, const CGRect& rect)
{
    if (isHighlighted() && m_highlightedBackgroundColor) {
        context.saveGState();
        context.setFillColor(*m_highlightedBackgroundColor);
        context.addPath(UIBezierPath::roundedRect(bounds(), layer()->cornerRadius()).cgPath());
        context.fillPath();
        context.restoreGState();
    }
    UIButton::draw(context, rect);
}
