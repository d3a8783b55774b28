#include "platform/ui/lists/UITableViewCell.h"

#include "platform/ui/CGContext.h"
#include "platform/ui/UIBezierPath.h"
#include "platform/ui/UIScreen.h"

#include <algorithm>

namespace {

const UIColor selectedGray { 0.85, 0.85, 0.85, 1 };
const UIColor detailGray { 0.56, 0.56, 0.58, 1 };
const UIColor separatorGray { 0.78, 0.78, 0.8, 1 };

// The chevron or check mark of a standard accessory.
class AccessoryMark final : public UIView {
public:
    explicit AccessoryMark(UITableViewCellAccessoryType type)
        : UIView(CGRect { 0, 0, type == UITableViewCellAccessoryType::checkmark ? 14.0 : 8.0, 13 })
        , m_type(type)
    {
        setUserInteractionEnabled(false);
    }

    std::string className() const override { return "UITableViewCellAccessory"; }

    void draw(CGContext& context, const CGRect&) override
    {
        CGRect b = bounds();
        CGPath path;
        if (m_type == UITableViewCellAccessoryType::checkmark) {
            path.moveTo({ b.minX() + 1, b.midY() });
            path.lineTo({ b.minX() + b.width() * 0.38, b.maxY() - 1.5 });
            path.lineTo({ b.maxX() - 1, b.minY() + 1 });
            context.setStrokeColor(tintColor());
        } else {
            path.moveTo({ b.minX() + 1, b.minY() + 1 });
            path.lineTo({ b.maxX() - 1.5, b.midY() });
            path.lineTo({ b.minX() + 1, b.maxY() - 1 });
            context.setStrokeColor(UIColor { 0.77, 0.77, 0.78, 1 });
        }
        context.setLineWidth(2);
        context.addPath(path);
        context.strokePath();
    }

private:
    UITableViewCellAccessoryType m_type;
};

}

UITableViewCell::UITableViewCell(UITableViewCellStyle style, std::string reuseIdentifier)
    : UIView(CGRect { 0, 0, 320, defaultHeight })
    , m_style(style)
    , m_reuseIdentifier(std::move(reuseIdentifier))
    , m_contentView(std::make_shared<UIView>(CGRect { 0, 0, 320, defaultHeight }))
    , m_separatorInset { 0, horizontalMargin, 0, 0 }
{
    setBackgroundColor(UIColor::systemBackground());
}

void UITableViewCell::attachParts() const
{
    auto* self = const_cast<UITableViewCell*>(this);
    // Subviews can be added only once the cell is owned by a shared_ptr.
    if (self->weak_from_this().expired())
        return;
    if (m_selectedBackground && m_selectedBackground->superview().get() != this)
        self->insertSubview(m_selectedBackground, 0);
    if (m_contentView->superview().get() != this) {
        m_contentView->setFrame(contentFrame());
        self->insertSubview(m_contentView, m_selectedBackground ? 1 : 0);
    }
    auto& accessory = m_accessoryView ? m_accessoryView : m_standardAccessory;
    if (accessory && accessory->superview().get() != this)
        self->addSubview(accessory);
    if (m_separator && m_separator->superview().get() != this)
        self->addSubview(m_separator);
}

const std::shared_ptr<UIView>& UITableViewCell::contentView() const
{
    attachParts();
    return m_contentView;
}

const std::shared_ptr<UILabel>& UITableViewCell::textLabel() const
{
    if (!m_textLabel) {
        m_textLabel = std::make_shared<UILabel>();
        m_textLabel->setFont(UIFont::systemFont(17));
        m_contentView->addSubview(m_textLabel);
        const_cast<UITableViewCell*>(this)->setNeedsLayout();
    }
    return m_textLabel;
}

std::shared_ptr<UILabel> UITableViewCell::detailTextLabel() const
{
    if (m_style == UITableViewCellStyle::defaultStyle)
        return nullptr;
    if (!m_detailTextLabel) {
        m_detailTextLabel = std::make_shared<UILabel>();
        bool subtitle = m_style == UITableViewCellStyle::subtitle;
        m_detailTextLabel->setFont(UIFont::systemFont(subtitle ? 12 : 17));
        m_detailTextLabel->setTextColor(subtitle ? UIColor::label() : detailGray);
        if (!subtitle)
            m_detailTextLabel->setTextAlignment(NSTextAlignment::right);
        m_contentView->addSubview(m_detailTextLabel);
        const_cast<UITableViewCell*>(this)->setNeedsLayout();
    }
    return m_detailTextLabel;
}

const std::shared_ptr<UIImageView>& UITableViewCell::imageView() const
{
    if (!m_imageView) {
        m_imageView = std::make_shared<UIImageView>();
        m_contentView->addSubview(m_imageView);
        const_cast<UITableViewCell*>(this)->setNeedsLayout();
    }
    return m_imageView;
}

void UITableViewCell::setAccessoryType(UITableViewCellAccessoryType type)
{
    if (type == m_accessoryType)
        return;
    m_accessoryType = type;
    if (m_standardAccessory)
        m_standardAccessory->removeFromSuperview();
    m_standardAccessory.reset();
    if (type != UITableViewCellAccessoryType::none && !m_accessoryView)
        m_standardAccessory = std::make_shared<AccessoryMark>(type);
    attachParts();
    setNeedsLayout();
}

void UITableViewCell::setAccessoryView(std::shared_ptr<UIView> view)
{
    if (m_accessoryView)
        m_accessoryView->removeFromSuperview();
    m_accessoryView = std::move(view);
    if (m_standardAccessory)
        m_standardAccessory->removeFromSuperview();
    m_standardAccessory.reset();
    if (!m_accessoryView && m_accessoryType != UITableViewCellAccessoryType::none)
        m_standardAccessory = std::make_shared<AccessoryMark>(m_accessoryType);
    attachParts();
    setNeedsLayout();
}

void UITableViewCell::setSelectedBackgroundView(std::shared_ptr<UIView> view)
{
    if (m_selectedBackground)
        m_selectedBackground->removeFromSuperview();
    m_selectedBackground = std::move(view);
    if (m_selectedBackground)
        m_selectedBackground->setHidden(true);
    attachParts();
    updateHighlight();
    setNeedsLayout();
}

void UITableViewCell::setSelectionStyle(UITableViewCellSelectionStyle style)
{
    m_selectionStyle = style;
    updateHighlight();
}

void UITableViewCell::setSelected(bool selected, bool)
{
    m_selected = selected;
    updateHighlight();
}

void UITableViewCell::setHighlighted(bool highlighted, bool)
{
    m_highlighted = highlighted;
    updateHighlight();
}

void UITableViewCell::updateHighlight()
{
    bool shows = (m_selected || m_highlighted) && m_selectionStyle != UITableViewCellSelectionStyle::none;
    if (!shows) {
        if (m_selectedBackground)
            m_selectedBackground->setHidden(true);
        return;
    }
    if (!m_selectedBackground) {
        m_selectedBackground = std::make_shared<UIView>(bounds());
        m_selectedBackground->setBackgroundColor(selectedGray);
        attachParts();
    }
    m_selectedBackground->setHidden(false);
}

void UITableViewCell::prepareForReuse()
{
    m_selected = false;
    m_highlighted = false;
    updateHighlight();
}

void UITableViewCell::didMoveToSuperview()
{
    UIView::didMoveToSuperview();
    attachParts();
}

void UITableViewCell::setSeparator(bool shown, const UIColor& color, UIEdgeInsets inset)
{
    m_separatorShown = shown;
    m_separatorInset = inset;
    if (!shown) {
        if (m_separator)
            m_separator->setHidden(true);
        return;
    }
    if (!m_separator) {
        m_separator = std::make_shared<UIView>();
        m_separator->setUserInteractionEnabled(false);
        attachParts();
    }
    m_separator->setBackgroundColor(color);
    m_separator->setHidden(false);
    setNeedsLayout();
}

CGRect UITableViewCell::contentFrame() const
{
    CGRect area = bounds();
    const auto& accessory = m_accessoryView ? m_accessoryView : m_standardAccessory;
    if (accessory)
        area.size.width
            = std::max<CGFloat>(0, area.size.width - accessory->bounds().width() - 2 * horizontalMargin);
    return area;
}

void UITableViewCell::layoutSubviews()
{
    attachParts();
    UIView::layoutSubviews();
    CGRect area = bounds();
    m_contentView->setFrame(contentFrame());
    if (m_selectedBackground)
        m_selectedBackground->setFrame(area);
    if (const auto& accessory = m_accessoryView ? m_accessoryView : m_standardAccessory) {
        CGSize size = accessory->bounds().size;
        accessory->setFrame({ area.maxX() - horizontalMargin - size.width, (area.height() - size.height) / 2,
            size.width, size.height });
    }
    if (m_separator) {
        CGFloat line = 1.0 / std::max<CGFloat>(1, UIScreen::main().scale());
        m_separator->setFrame({ m_separatorInset.left, area.height() - line,
            std::max<CGFloat>(0, area.width() - m_separatorInset.left - m_separatorInset.right), line });
    }

    // The standard parts, when they have something to show.
    CGRect content = m_contentView->bounds();
    CGFloat x = horizontalMargin;
    if (m_imageView && m_imageView->image()) {
        CGSize size = m_imageView->image()->size();
        m_imageView->setFrame({ x, (content.height() - size.height) / 2, size.width, size.height });
        x += size.width + horizontalMargin;
    }
    CGFloat right = content.width() - horizontalMargin;
    bool hasText = m_textLabel && !m_textLabel->text().empty();
    bool hasDetail = m_detailTextLabel && !m_detailTextLabel->text().empty();
    switch (m_style) {
    case UITableViewCellStyle::defaultStyle:
        if (m_textLabel)
            m_textLabel->setFrame({ x, 0, std::max<CGFloat>(0, right - x), content.height() });
        break;
    case UITableViewCellStyle::value1: {
        CGFloat detailWidth
            = hasDetail ? std::min(m_detailTextLabel->sizeThatFits({}).width, (right - x) / 2) : 0;
        if (m_detailTextLabel)
            m_detailTextLabel->setFrame({ right - detailWidth, 0, detailWidth, content.height() });
        if (m_textLabel)
            m_textLabel->setFrame({ x, 0, std::max<CGFloat>(0, right - detailWidth - x - (hasDetail ? 8 : 0)),
                content.height() });
        break;
    }
    case UITableViewCellStyle::subtitle: {
        CGFloat width = std::max<CGFloat>(0, right - x);
        CGFloat titleHeight = hasText ? m_textLabel->sizeThatFits({ width, 0 }).height : 0;
        CGFloat detailHeight = hasDetail ? m_detailTextLabel->sizeThatFits({ width, 0 }).height : 0;
        CGFloat y = (content.height() - titleHeight - detailHeight) / 2;
        if (m_textLabel)
            m_textLabel->setFrame({ x, y, width, titleHeight });
        if (m_detailTextLabel)
            m_detailTextLabel->setFrame({ x, y + titleHeight, width, detailHeight });
        break;
    }
    }
}

CGSize UITableViewCell::sizeThatFits(CGSize size) const
{
    CGFloat height = 0;
    CGFloat width = std::max<CGFloat>(0, size.width - 2 * horizontalMargin);
    if (m_textLabel && !m_textLabel->text().empty())
        height += m_textLabel->sizeThatFits({ width, 0 }).height;
    if (m_style == UITableViewCellStyle::subtitle && m_detailTextLabel && !m_detailTextLabel->text().empty())
        height += m_detailTextLabel->sizeThatFits({ width, 0 }).height;
    if (m_imageView && m_imageView->image())
        height = std::max(height, m_imageView->image()->size().height);
    return { size.width, std::max(defaultHeight, height + 22) };
}
