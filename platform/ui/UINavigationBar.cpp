#include "platform/ui/UINavigationBar.h"

#include "platform/ui/TextLayout.h"
#include "platform/ui/UIGraphics.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/detail/BarBackground.h"
#include "platform/ui/gestures/UITouch.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr CGFloat itemMargin = 16;
constexpr CGFloat backMargin = 8;
constexpr CGFloat itemSpacing = 8;
constexpr CGFloat imageTitleSpacing = 6;

UIFont buttonFont(bool bold)
{
    return UIFont::systemFont(17, bold ? UIFont::Weight::semibold : UIFont::Weight::regular);
}

// The back chevron, as a template image so that it takes the tint colour.
const UIImage& chevronImage()
{
    static const UIImage image = [] {
        UIImage drawn = UIGraphicsImageRenderer({ 13, 21 }).image([](CGContext& c) {
            CGPath path;
            path.moveTo({ 11, 2 });
            path.lineTo({ 2.5, 10.5 });
            path.lineTo({ 11, 19 });
            c.setStrokeColor(UIColor::black());
            c.setLineWidth(3);
            c.setLineCap(CGLineCap::round);
            c.setLineJoin(CGLineJoin::round);
            c.addPath(path);
            c.strokePath();
        });
        return drawn.withRenderingMode(UIImageRenderingMode::alwaysTemplate);
    }();
    return image;
}

CGSize fittingSize(UIView& view, CGFloat height)
{
    CGSize size = view.frame().size;
    if (size.width > 0 && size.height > 0)
        return size;
    CGSize intrinsic = view.intrinsicContentSize();
    if (intrinsic.width > 0 && intrinsic.height > 0)
        return intrinsic;
    return view.sizeThatFits({ 0, height });
}

}

// ---- UINavigationBarButton ----

UINavigationBarButton::UINavigationBarButton(
    std::string title, std::optional<UIImage> image, std::function<void()> action)
    : m_imageView(UIView::create<UIImageView>(std::move(image)))
    , m_label(UIView::create<UILabel>())
    , m_action(std::move(action))
{
    m_label->setText(std::move(title));
    m_label->setFont(buttonFont(false));
    m_imageView->setUserInteractionEnabled(false);
    m_label->setUserInteractionEnabled(false);
    m_imageView->setContentMode(UIViewContentMode::center);
    m_imageView->setHidden(!m_imageView->image());
    m_label->setHidden(m_label->text().empty());
    updateColors();
}

void UINavigationBarButton::attachParts()
{
    // Subviews link to their superview weakly, so they join once the button is owned.
    if (m_imageView->superview() || weak_from_this().expired())
        return;
    addSubview(m_imageView);
    addSubview(m_label);
}

std::shared_ptr<UIView> UINavigationBarButton::viewForItem(const std::shared_ptr<UIBarButtonItem>& item)
{
    if (item->customView())
        return item->customView();
    std::weak_ptr<UIBarButtonItem> weakItem = item;
    auto button = UIView::create<UINavigationBarButton>(
        item->image() ? std::string {} : item->title(), item->image(), [weakItem] {
            if (auto i = weakItem.lock())
                i->performAction();
        });
    button->acceptsTouchUp = [weakItem](const UITouch& touch) {
        auto i = weakItem.lock();
        return !i || i->acceptsTouchUp(touch);
    };
    button->setFont(buttonFont(item->style() == UIBarButtonItemStyle::done));
    button->setColor(item->tintColor());
    button->setEnabled(item->isEnabled());
    return button;
}

void UINavigationBarButton::setEnabled(bool enabled)
{
    m_enabled = enabled;
    updateColors();
}

void UINavigationBarButton::setFont(UIFont font)
{
    m_label->setFont(std::move(font));
    setNeedsLayout();
}

void UINavigationBarButton::setColor(std::optional<UIColor> color)
{
    m_color = std::move(color);
    updateColors();
}

void UINavigationBarButton::setStateColors(
    std::optional<UIColor> highlighted, std::optional<UIColor> disabled)
{
    m_highlightedColor = std::move(highlighted);
    m_disabledColor = std::move(disabled);
    updateColors();
}

void UINavigationBarButton::updateColors()
{
    UIColor color = m_color ? *m_color : tintColor();
    // A state colour replaces the dimming of that state.
    std::optional<UIColor> stateColor = !m_enabled ? m_disabledColor
        : m_tracking                               ? m_highlightedColor
                                                   : std::nullopt;
    CGFloat alpha = !m_enabled ? 0.35 : m_tracking ? 0.2 : 1;
    if (stateColor) {
        color = *stateColor;
        alpha = 1;
    }
    m_label->setTextColor(color);
    m_imageView->setTintColor(color);
    setAlpha(alpha);
}

void UINavigationBarButton::tintColorDidChange()
{
    updateColors();
}

bool UINavigationBarButton::performTap()
{
    if (!m_enabled || !m_action)
        return false;
    auto keep = weak_from_this().lock();
    auto action = m_action;
    action();
    return true;
}

CGSize UINavigationBarButton::sizeThatFits(CGSize) const
{
    CGFloat width = 0;
    if (!m_imageView->isHidden())
        width += m_imageView->image()->size().width;
    if (!m_label->isHidden()) {
        if (width > 0)
            width += imageTitleSpacing;
        width += m_label->sizeThatFits({}).width;
    }
    return { std::max<CGFloat>(width, 22), UINavigationBar::barHeight };
}

void UINavigationBarButton::layoutSubviews()
{
    attachParts();
    UIView::layoutSubviews();
    CGRect b = bounds();
    CGFloat x = 0;
    if (!m_imageView->isHidden()) {
        CGSize s = m_imageView->image()->size();
        m_imageView->setFrame({ x, (b.height() - s.height) / 2, s.width, s.height });
        x += s.width + imageTitleSpacing;
    }
    if (!m_label->isHidden())
        m_label->setFrame({ x, 0, std::max<CGFloat>(0, b.width() - x), b.height() });
}

void UINavigationBarButton::touchesBegan(const UITouchSet&, const UIEvent*)
{
    m_tracking = true;
    updateColors();
}

void UINavigationBarButton::touchesEnded(const UITouchSet& touches, const UIEvent*)
{
    bool wasTracking = m_tracking;
    m_tracking = false;
    updateColors();
    if (!wasTracking)
        return;
    if (acceptsTouchUp && !touches.empty() && !acceptsTouchUp(*touches.front()))
        return;
    performTap();
}

void UINavigationBarButton::touchesCancelled(const UITouchSet&, const UIEvent*)
{
    m_tracking = false;
    updateColors();
}

std::string UINavigationBarButton::dumpAttributes() const
{
    return m_label->text().empty() ? std::string {} : "title=\"" + m_label->text() + "\"";
}

// ---- UINavigationBar ----

UINavigationBar::Appearance& UINavigationBar::appearance()
{
    static Appearance appearance;
    return appearance;
}

UINavigationBar::UINavigationBar()
    : UIView(CGRect { 0, 0, UIScreen::main().bounds().width(), barHeight })
    , m_backgroundView(UIView::create<UIImageView>())
    , m_shadowView(UIView::create<UIImageView>())
{
    const Appearance& defaults = appearance();
    m_translucent = defaults.translucent;
    m_barStyle = defaults.barStyle;
    m_barTintColor = defaults.barTintColor;
    m_backgroundImage = defaults.backgroundImage;
    m_shadowImage = defaults.shadowImage;
    m_titleAttributes = defaults.titleTextAttributes;
    m_backIndicatorImage = defaults.backIndicatorImage;
    if (defaults.tintColor)
        setTintColor(defaults.tintColor);
    m_backgroundView->setUserInteractionEnabled(false);
    m_shadowView->setUserInteractionEnabled(false);
    updateBackground();
}

void UINavigationBar::attachParts()
{
    if (m_backgroundView->superview() || weak_from_this().expired())
        return;
    insertSubview(m_backgroundView, 0);
    insertSubview(m_shadowView, 1);
}

void UINavigationBar::setTranslucent(bool translucent)
{
    m_translucent = translucent;
    updateBackground();
}

void UINavigationBar::setBarStyle(UIBarStyle style)
{
    if (style == m_barStyle)
        return;
    m_barStyle = style;
    updateBackground();
    rebuildContent();
}

void UINavigationBar::setBarTintColor(std::optional<UIColor> color)
{
    m_barTintColor = std::move(color);
    updateBackground();
}

void UINavigationBar::setBackgroundImage(std::optional<UIImage> image)
{
    m_backgroundImage = std::move(image);
    updateBackground();
}

void UINavigationBar::setShadowImage(std::optional<UIImage> image)
{
    m_shadowImage = std::move(image);
    updateBackground();
}

bool UINavigationBar::isShadowHidden() const
{
    return m_shadowImage && m_shadowImage->isEmpty();
}

void UINavigationBar::setTitleTextAttributes(UINavigationBarTitleTextAttributes attributes)
{
    m_titleAttributes = std::move(attributes);
    rebuildContent();
}

void UINavigationBar::setBackIndicatorImage(std::optional<UIImage> image)
{
    m_backIndicatorImage = std::move(image);
    rebuildContent();
}

void UINavigationBar::setBackgroundExtension(CGFloat top)
{
    m_backgroundExtension = std::max<CGFloat>(0, top);
    setNeedsLayout();
}

void UINavigationBar::updateBackground()
{
    UIColor base
        = m_barTintColor ? *m_barTintColor : detail::barStyleBackgroundColor(m_barStyle, m_translucent);
    m_backgroundView->setBackgroundColor(
        m_backgroundImage ? std::optional<UIColor> {} : std::optional { base });
    m_backgroundView->setImage(m_backgroundImage);
    if (!m_shadowImage) {
        m_shadowView->setImage(std::nullopt);
        m_shadowView->setBackgroundColor(detail::barStyleHairlineColor(m_barStyle));
        m_shadowView->setHidden(false);
    } else {
        m_shadowView->setBackgroundColor(std::nullopt);
        m_shadowView->setImage(*m_shadowImage);
        m_shadowView->setHidden(m_shadowImage->isEmpty());
    }
    setNeedsLayout();
}

void UINavigationBar::setItems(std::vector<std::shared_ptr<UINavigationItem>> items)
{
    for (auto& item : m_items)
        item->setChangeHandler({});
    std::erase(items, nullptr);
    m_items = std::move(items);
    // The shown item and the one that names the back button redraw the bar when they change.
    std::weak_ptr<UIView> weak = weakFromThis();
    auto redraw = [weak] {
        if (auto bar = std::static_pointer_cast<UINavigationBar>(weak.lock()))
            bar->rebuildContent();
    };
    if (auto top = topItem())
        top->setChangeHandler(redraw);
    if (auto back = backItem())
        back->setChangeHandler(redraw);
    rebuildContent();
}

std::shared_ptr<UINavigationItem> UINavigationBar::topItem() const
{
    return m_items.empty() ? nullptr : m_items.back();
}

std::shared_ptr<UINavigationItem> UINavigationBar::backItem() const
{
    return m_items.size() < 2 ? nullptr : m_items[m_items.size() - 2];
}

void UINavigationBar::rebuildContent()
{
    attachParts();
    auto remove = [](auto& view) {
        if (view)
            view->removeFromSuperview();
    };
    remove(m_titleLabel);
    remove(m_titleView);
    remove(m_backButton);
    for (auto& v : m_leftViews)
        remove(v);
    for (auto& v : m_rightViews)
        remove(v);
    m_titleLabel.reset();
    m_titleView.reset();
    m_backButton.reset();
    m_leftViews.clear();
    m_rightViews.clear();

    auto top = topItem();
    if (!top) {
        setNeedsLayout();
        return;
    }
    if (top->titleView()) {
        m_titleView = top->titleView();
        addSubview(m_titleView);
    } else {
        m_titleLabel = UIView::create<UILabel>();
        m_titleLabel->setText(top->title());
        m_titleLabel->setFont(m_titleAttributes.font ? *m_titleAttributes.font
                                                     : UIFont::systemFont(17, UIFont::Weight::semibold));
        m_titleLabel->setTextColor(m_titleAttributes.foregroundColor
                ? *m_titleAttributes.foregroundColor
                : detail::barStyleContentColor(m_barStyle));
        m_titleLabel->setTextAlignment(NSTextAlignment::center);
        m_titleLabel->setUserInteractionEnabled(false);
        addSubview(m_titleLabel);
    }
    if (!top->leftBarButtonItems().empty()) {
        for (const auto& item : top->leftBarButtonItems())
            m_leftViews.push_back(UINavigationBarButton::viewForItem(item));
    } else if (auto back = backItem(); back && !top->hidesBackButton()) {
        std::string backTitle = back->backButtonTitle() ? *back->backButtonTitle() : back->title();
        std::weak_ptr<UIView> weak = weakFromThis();
        m_backButton = UIView::create<UINavigationBarButton>(
            backTitle, m_backIndicatorImage ? *m_backIndicatorImage : chevronImage(), [weak] {
                auto bar = std::static_pointer_cast<UINavigationBar>(weak.lock());
                if (bar && bar->m_backAction) {
                    auto action = bar->m_backAction;
                    action();
                }
            });
        m_backButton->setAccessibilityIdentifier("back");
        addSubview(m_backButton);
    }
    for (auto& v : m_leftViews)
        addSubview(v);
    for (const auto& item : top->rightBarButtonItems())
        m_rightViews.push_back(UINavigationBarButton::viewForItem(item));
    for (auto& v : m_rightViews)
        addSubview(v);
    setNeedsLayout();
}

CGSize UINavigationBar::sizeThatFits(CGSize size) const
{
    return { size.width > 0 ? size.width : bounds().width(), barHeight };
}

void UINavigationBar::layoutSubviews()
{
    attachParts();
    UIView::layoutSubviews();
    CGRect b = bounds();
    CGFloat w = b.width();
    CGFloat h = b.height();
    m_backgroundView->setFrame({ 0, -m_backgroundExtension, w, h + m_backgroundExtension });
    CGFloat hairline = 1 / UIScreen::main().scale();
    m_shadowView->setFrame(
        { 0, h, w, m_shadowImage && !m_shadowImage->isEmpty() ? m_shadowImage->size().height : hairline });

    auto place = [&](UIView& view, CGFloat x, bool fromRight) {
        CGSize s = fittingSize(view, h);
        s.height = std::min(s.height, h);
        CGFloat left = fromRight ? x - s.width : x;
        view.setFrame({ left, std::round((h - s.height) / 2), s.width, s.height });
        return s.width;
    };
    CGFloat leftEdge = 0;
    if (m_backButton) {
        leftEdge = backMargin + place(*m_backButton, backMargin, false);
    } else {
        CGFloat x = itemMargin;
        for (auto& v : m_leftViews)
            x += place(*v, x, false) + itemSpacing;
        leftEdge = m_leftViews.empty() ? 0 : x - itemSpacing;
    }
    CGFloat rightEdge = w;
    {
        CGFloat x = w - itemMargin;
        for (auto& v : m_rightViews)
            x -= place(*v, x, true) + itemSpacing;
        rightEdge = m_rightViews.empty() ? w : x + itemSpacing;
    }

    // The title sits in the middle of the bar when it fits there, else between the items.
    UIView* title = m_titleView ? m_titleView.get() : m_titleLabel.get();
    if (!title)
        return;
    CGFloat minX = leftEdge + (leftEdge > 0 ? itemSpacing : itemMargin);
    CGFloat maxX = rightEdge - (rightEdge < w ? itemSpacing : itemMargin);
    CGSize s = m_titleView ? fittingSize(*m_titleView, h) : m_titleLabel->sizeThatFits({ 0, h });
    s.width = std::min(s.width, std::max<CGFloat>(0, maxX - minX));
    s.height = std::min(s.height, h);
    CGFloat x = std::clamp((w - s.width) / 2, minX, std::max(minX, maxX - s.width));
    title->setFrame({ x, std::round((h - s.height) / 2), s.width, s.height });
}

void UINavigationBar::tintColorDidChange()
{
    rebuildContent();
}

std::string UINavigationBar::dumpAttributes() const
{
    auto top = topItem();
    return top && !top->title().empty() ? "title=\"" + top->title() + "\"" : std::string {};
}
