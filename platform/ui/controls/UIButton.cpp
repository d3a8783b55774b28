#include "platform/ui/controls/UIButton.h"

#include "platform/ui/CGContext.h"

#include <algorithm>
#include <cmath>

UIButton::UIButton()
    : UIButton(CGRect {})
{ }

UIButton::UIButton(const CGRect& frame)
    : UIControl(frame)
{
    setUp();
}

UIButton::UIButton(UIButtonType type)
    : UIControl(CGRect {})
    , m_type(type)
{
    setUp();
}

void UIButton::setUp()
{
    m_titleLabel = std::make_shared<UILabel>();
    m_titleLabel->setFont(UIFont::systemFont(defaultFontSize));
    m_titleLabel->setLineBreakMode(NSLineBreakMode::byTruncatingMiddle);
    m_titleLabel->setHidden(true);
    m_imageView = std::make_shared<UIImageView>();
    m_imageView->setUserInteractionEnabled(false);
    m_imageView->setContentMode(UIViewContentMode::center);
    m_imageView->setHidden(true);
    updateContent();
}

void UIButton::attachParts() const
{
    auto* self = const_cast<UIButton*>(this);
    if (self->weak_from_this().expired())
        return;
    if (m_imageView->superview().get() != this)
        self->insertSubview(m_imageView, 0);
    if (m_titleLabel->superview().get() != this)
        self->insertSubview(m_titleLabel, 1);
}

const std::shared_ptr<UILabel>& UIButton::titleLabel() const
{
    attachParts();
    return m_titleLabel;
}

const std::shared_ptr<UIImageView>& UIButton::imageView() const
{
    attachParts();
    return m_imageView;
}

void UIButton::didMoveToSuperview()
{
    UIControl::didMoveToSuperview();
    attachParts();
}

// ---- Content per state ----

template<typename T>
std::optional<T> UIButton::lookup(unsigned state, std::optional<T> Content::*member) const
{
    const unsigned candidates[] = {
        state,
        state & ~unsigned(UIControlStateHighlighted),
        state & ~unsigned(UIControlStateDisabled),
        state & unsigned(UIControlStateSelected),
        UIControlStateNormal,
    };
    for (unsigned candidate : candidates) {
        auto it = m_content.find(candidate);
        if (it != m_content.end() && (it->second.*member))
            return it->second.*member;
    }
    return std::nullopt;
}

void UIButton::setTitle(std::optional<std::string> title, unsigned state)
{
    m_content[state].title = std::move(title);
    updateContent();
}

std::optional<std::string> UIButton::title(unsigned state) const
{
    return lookup(state, &Content::title);
}

void UIButton::setTitleColor(std::optional<UIColor> color, unsigned state)
{
    m_content[state].titleColor = std::move(color);
    updateContent();
}

std::optional<UIColor> UIButton::titleColor(unsigned state) const
{
    return lookup(state, &Content::titleColor);
}

void UIButton::setImage(std::optional<UIImage> image, unsigned state)
{
    m_content[state].image = std::move(image);
    updateContent();
}

std::optional<UIImage> UIButton::image(unsigned state) const
{
    return lookup(state, &Content::image);
}

void UIButton::setBackgroundImage(std::optional<UIImage> image, unsigned state)
{
    m_content[state].backgroundImage = std::move(image);
    updateContent();
}

std::optional<UIImage> UIButton::backgroundImage(unsigned state) const
{
    return lookup(state, &Content::backgroundImage);
}

void UIButton::setAttributedTitle(std::optional<StyledText> title, unsigned state)
{
    m_content[state].attributedTitle = std::move(title);
    updateContent();
}

std::optional<StyledText> UIButton::attributedTitle(unsigned state) const
{
    return lookup(state, &Content::attributedTitle);
}

std::optional<std::string> UIButton::currentTitle() const
{
    if (auto styled = currentAttributedTitle())
        return styled->string();
    return title(state());
}

UIColor UIButton::currentTitleColor() const
{
    if (auto color = titleColor(state()))
        return *color;
    if (m_type == UIButtonType::custom)
        return UIColor::white();
    UIColor tint = isEnabled() ? tintColor() : UIColor::gray();
    return isHighlighted() ? tint.withAlphaComponent(0.2) : tint;
}

void UIButton::setFont(UIFont font)
{
    m_titleLabel->setFont(std::move(font));
    invalidateIntrinsicContentSize();
    setNeedsLayout();
}

void UIButton::stateDidChange()
{
    updateContent();
}

void UIButton::tintColorDidChange()
{
    UIControl::tintColorDidChange();
    updateContent();
}

void UIButton::updateContent()
{
    attachParts();
    CGSize oldTitle = titleSize();
    CGSize oldImage = m_imageView->isHidden() ? CGSize {} : imageSize();

    if (auto styled = currentAttributedTitle()) {
        m_titleLabel->setAttributedText(std::move(styled));
    } else {
        m_titleLabel->setText(title(state()).value_or(""));
        m_titleLabel->setTextColor(currentTitleColor());
    }
    m_titleLabel->setHidden(m_titleLabel->text().empty());

    auto image = currentImage();
    if (image && m_type == UIButtonType::system && image->renderingMode() == UIImageRenderingMode::automatic)
        image = image->withRenderingMode(UIImageRenderingMode::alwaysTemplate);
    m_imageView->setImage(image);
    m_imageView->setHidden(!image || image->isEmpty());
    if (m_type == UIButtonType::system)
        m_imageView->setAlpha(isHighlighted() ? 0.2 : 1);

    if (oldTitle != titleSize() || oldImage != imageSize())
        invalidateIntrinsicContentSize();
    setNeedsLayout();
    setNeedsDisplay();
}

// ---- Geometry ----

void UIButton::setContentEdgeInsets(UIEdgeInsets insets)
{
    m_contentInsets = insets;
    invalidateIntrinsicContentSize();
}

void UIButton::setTitleEdgeInsets(UIEdgeInsets insets)
{
    m_titleInsets = insets;
    setNeedsLayout();
}

void UIButton::setImageEdgeInsets(UIEdgeInsets insets)
{
    m_imageInsets = insets;
    setNeedsLayout();
}

void UIButton::setContentHorizontalAlignment(UIControlContentHorizontalAlignment alignment)
{
    m_horizontalAlignment = alignment;
    setNeedsLayout();
}

void UIButton::setContentVerticalAlignment(UIControlContentVerticalAlignment alignment)
{
    m_verticalAlignment = alignment;
    setNeedsLayout();
}

CGSize UIButton::titleSize() const
{
    if (m_titleLabel->text().empty())
        return {};
    CGSize size = m_titleLabel->makeTextLayout().setMaximumNumberOfLines(1).size();
    return { size.width, std::max(size.height, std::ceil(m_titleLabel->font().lineHeight())) };
}

CGSize UIButton::imageSize() const
{
    auto image = currentImage();
    return image && !image->isEmpty() ? image->size() : CGSize {};
}

CGRect UIButton::contentRectForBounds(const CGRect& bounds) const
{
    return bounds.inset(m_contentInsets);
}

CGRect UIButton::placePart(const CGRect& rect, CGSize size, CGFloat leading, CGFloat groupWidth) const
{
    CGFloat x = rect.minX();
    switch (m_horizontalAlignment) {
    case UIControlContentHorizontalAlignment::center:
    case UIControlContentHorizontalAlignment::fill:
        x += std::floor((rect.width() - groupWidth) / 2);
        break;
    case UIControlContentHorizontalAlignment::left:
        break;
    case UIControlContentHorizontalAlignment::right:
        x += rect.width() - groupWidth;
        break;
    }
    CGFloat y = rect.minY();
    CGFloat height = size.height;
    switch (m_verticalAlignment) {
    case UIControlContentVerticalAlignment::center:
        y += std::floor((rect.height() - size.height) / 2);
        break;
    case UIControlContentVerticalAlignment::top:
        break;
    case UIControlContentVerticalAlignment::bottom:
        y += rect.height() - size.height;
        break;
    case UIControlContentVerticalAlignment::fill:
        height = rect.height();
        break;
    }
    return { x + leading, y, size.width, height };
}

CGRect UIButton::titleRectForContentRect(const CGRect& contentRect) const
{
    CGSize title = titleSize();
    if (title.width <= 0)
        return {};
    CGSize image = imageSize();
    CGRect rect = contentRect.inset(m_titleInsets);
    // A long title gives way, keeping the image whole.
    title.width = std::max<CGFloat>(0, std::min(title.width, rect.width() - image.width));
    return placePart(rect, title, image.width, image.width + title.width);
}

CGRect UIButton::imageRectForContentRect(const CGRect& contentRect) const
{
    CGSize image = imageSize();
    if (image.width <= 0)
        return {};
    CGRect rect = contentRect.inset(m_imageInsets);
    CGSize title = titleSize();
    title.width = std::max<CGFloat>(0, std::min(title.width, rect.width() - image.width));
    return placePart(rect, image, 0, image.width + title.width);
}

CGSize UIButton::intrinsicContentSize() const
{
    CGSize title = titleSize();
    CGSize image = imageSize();
    return { title.width + image.width + m_contentInsets.left + m_contentInsets.right,
        std::max(title.height, image.height) + m_contentInsets.top + m_contentInsets.bottom };
}

CGSize UIButton::sizeThatFits(CGSize) const
{
    return intrinsicContentSize();
}

void UIButton::layoutSubviews()
{
    UIControl::layoutSubviews();
    attachParts();
    CGRect content = contentRectForBounds(bounds());
    m_imageView->setFrame(imageRectForContentRect(content));
    m_titleLabel->setFrame(titleRectForContentRect(content));
}

void UIButton::draw(CGContext& context, const CGRect& rect)
{
    UIControl::draw(context, rect);
    if (auto background = currentBackgroundImage(); background && !background->isEmpty())
        context.draw(*background, backgroundRectForBounds(bounds()));
}

std::string UIButton::dumpAttributes() const
{
    std::string out;
    if (auto title = currentTitle()) {
        out = "title=\"";
        for (char c : *title)
            out += (c == '"') ? std::string("\\\"") : std::string(1, c);
        out += "\"";
    }
    std::string flags = UIControl::dumpAttributes();
    if (!flags.empty())
        out += (out.empty() ? "" : " ") + flags;
    return out;
}
