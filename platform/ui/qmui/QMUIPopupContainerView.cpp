#include "platform/ui/qmui/QMUIPopupContainerView.h"

#include "platform/ui/CGContext.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIBezierPath.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/gestures/UITapGestureRecognizer.h"
#include "platform/ui/qmui/QMUIConfiguration.h"

#include <algorithm>
#include <cmath>

namespace {

// The pop-up's window: touches that reach no view of it go nowhere rather than to the window.
class PopupWindow : public UIWindow {
public:
    using UIWindow::UIWindow;
    std::string className() const override { return "QMUIPopupContainerViewWindow"; }

    std::shared_ptr<UIView> hitTest(CGPoint point, const UIEvent* event) override
    {
        auto hit = UIWindow::hitTest(point, event);
        return hit.get() == this ? nullptr : hit;
    }
};

}

QMUIPopupContainerView::Appearance& QMUIPopupContainerView::appearance()
{
    static Appearance defaults;
    return defaults;
}

QMUIPopupContainerView::QMUIPopupContainerView()
    : QMUIPopupContainerView(CGRect {})
{ }

QMUIPopupContainerView::QMUIPopupContainerView(const CGRect& frame)
    : UIView(frame)
    , m_contentView(std::make_shared<UIView>())
{
    const Appearance& a = appearance();
    m_fillColor = a.backgroundColor;
    borderColor = a.borderColor;
    maskViewBackgroundColor = a.maskViewBackgroundColor;
    UIView::setBackgroundColor(UIColor::clear());
}

void QMUIPopupContainerView::setBackgroundColor(std::optional<UIColor> color)
{
    m_fillColor = std::move(color);
    setNeedsDisplay();
}

// ---- Size and place ----

CGSize QMUIPopupContainerView::sizeThatFitsInContentView(CGSize size) const
{
    return m_contentView->sizeThatFits(size);
}

CGSize QMUIPopupContainerView::sizeThatFits(CGSize size) const
{
    const UIEdgeInsets& in = contentEdgeInsets;
    CGFloat limitWidth = std::min(size.width > 0 ? size.width : maximumWidth, maximumWidth);
    CGFloat limitHeight
        = std::min(size.height > 0 ? size.height - arrowSize.height : maximumHeight, maximumHeight);
    CGSize content = sizeThatFitsInContentView({ std::max<CGFloat>(0, limitWidth - in.left - in.right),
        std::max<CGFloat>(0, limitHeight - in.top - in.bottom) });
    CGFloat width = std::min(std::max(content.width + in.left + in.right, minimumWidth), limitWidth);
    CGFloat height = std::min(std::max(content.height + in.top + in.bottom, minimumHeight), limitHeight);
    return { width, height + arrowSize.height };
}

void QMUIPopupContainerView::updateLayout()
{
    auto super = superview();
    if (!super)
        return;
    CGRect area = super->bounds().inset(safetyMarginsOfSuperview);
    CGSize size = sizeThatFits(area.size);
    CGRect source;
    if (auto view = m_sourceView.lock())
        source = view->convert(view->bounds(), super.get());
    else
        source = { super->bounds().midX(), super->bounds().midY(), 0, 0 };

    CGFloat aboveY = source.minY() - distanceBetweenSource - size.height;
    CGFloat belowY = source.maxY() + distanceBetweenSource;
    bool fitsAbove = aboveY >= area.minY();
    bool fitsBelow = belowY + size.height <= area.maxY();
    using Direction = QMUIPopupContainerViewLayoutDirection;
    if (preferLayoutDirection == Direction::above)
        m_direction = fitsAbove || !fitsBelow ? Direction::above : Direction::below;
    else
        m_direction = fitsBelow || !fitsAbove ? Direction::below : Direction::above;
    // Neither side fits: the side with more room.
    if (!fitsAbove && !fitsBelow)
        m_direction = source.minY() - area.minY() >= area.maxY() - source.maxY() ? Direction::above
                                                                                 : Direction::below;
    CGFloat y = m_direction == Direction::above ? std::max(aboveY, area.minY())
                                                : std::min(belowY, area.maxY() - size.height);
    CGFloat x = std::clamp(
        source.midX() - size.width / 2, area.minX(), std::max(area.minX(), area.maxX() - size.width));
    x = std::floor(x);
    y = std::floor(y);
    setFrame({ x, y, size.width, size.height });

    CGFloat inset = cornerRadius + arrowSize.width / 2;
    m_arrowCenterX
        = size.width > 2 * inset ? std::clamp(source.midX() - x, inset, size.width - inset) : size.width / 2;
    setNeedsLayout();
    setNeedsDisplay();
}

CGRect QMUIPopupContainerView::bubbleRect() const
{
    CGRect b = bounds();
    if (m_direction == QMUIPopupContainerViewLayoutDirection::above)
        return { b.minX(), b.minY(), b.width(), std::max<CGFloat>(0, b.height() - arrowSize.height) };
    return { b.minX(), b.minY() + arrowSize.height, b.width(),
        std::max<CGFloat>(0, b.height() - arrowSize.height) };
}

void QMUIPopupContainerView::layoutSubviews()
{
    UIView::layoutSubviews();
    // Attached here: a view can only become a superview once it is owned.
    if (m_contentView->superview().get() != this)
        addSubview(m_contentView);
    m_contentView->setFrame(bubbleRect().inset(contentEdgeInsets));
}

void QMUIPopupContainerView::draw(CGContext& context, const CGRect& rect)
{
    UIView::draw(context, rect);
    CGRect bubble = bubbleRect();
    if (bubble.isEmpty())
        return;
    CGPath path = UIBezierPath::roundedRect(bubble, cornerRadius).cgPath();
    CGPath arrow;
    CGFloat half = arrowSize.width / 2;
    if (m_direction == QMUIPopupContainerViewLayoutDirection::above) {
        arrow.moveTo({ m_arrowCenterX - half, bubble.maxY() });
        arrow.lineTo({ m_arrowCenterX, bubble.maxY() + arrowSize.height });
        arrow.lineTo({ m_arrowCenterX + half, bubble.maxY() });
    } else {
        arrow.moveTo({ m_arrowCenterX - half, bubble.minY() });
        arrow.lineTo({ m_arrowCenterX, bubble.minY() - arrowSize.height });
        arrow.lineTo({ m_arrowCenterX + half, bubble.minY() });
    }
    arrow.closeSubpath();
    if (m_fillColor) {
        context.setFillColor(*m_fillColor);
        context.addPath(path);
        context.addPath(arrow);
        context.fillPath();
    }
    if (borderColor && borderWidth > 0) {
        context.setStrokeColor(*borderColor);
        context.setLineWidth(borderWidth);
        context.addPath(path);
        context.strokePath();
    }
}

// ---- Showing ----

void QMUIPopupContainerView::showWithAnimated(bool animated, Completion completion)
{
    if (isShowing())
        return;
    auto self = std::static_pointer_cast<QMUIPopupContainerView>(sharedFromThis());
    m_hiding = false;
    m_previousKeyWindow = UIApplication::shared().keyWindow();
    auto window = std::make_shared<PopupWindow>(UIScreen::main().bounds());
    window->setWindowLevel(QMUIConfiguration::sharedInstance().windowLevelQMUIAlertView);
    window->setBackgroundColor(UIColor::clear());
    // Shown over the app's window, it takes that window's light or dark style along.
    if (auto covered = m_previousKeyWindow.lock())
        window->setOverrideUserInterfaceStyle(covered->overrideUserInterfaceStyle());
    m_window = window;
    if (automaticallyHidesWhenUserTap) {
        m_maskView = std::make_shared<UIView>(window->bounds());
        m_maskView->setBackgroundColor(maskViewBackgroundColor.value_or(UIColor::clear()));
        auto tap = std::make_shared<UITapGestureRecognizer>();
        std::weak_ptr<QMUIPopupContainerView> weakSelf = self;
        tap->addTarget([weakSelf](UIGestureRecognizer& recognizer) {
            auto popup = weakSelf.lock();
            if (popup && recognizer.state() == UIGestureRecognizerState::ended)
                popup->hideWithAnimated(true);
        });
        m_maskView->addGestureRecognizer(tap);
        window->addSubview(m_maskView);
    }
    window->addSubview(self);
    window->makeKeyAndVisible();
    updateLayout();
    layoutIfNeeded();

    if (!animated) {
        if (completion)
            completion(true);
        return;
    }
    setAlpha(0);
    UIView::animate(
        animationDuration, [&] { setAlpha(1); },
        [self, completion = std::move(completion)](bool finished) {
            if (completion)
                completion(finished);
        });
}

void QMUIPopupContainerView::hideWithAnimated(bool animated, Completion completion)
{
    if (!isShowing() || m_hiding)
        return;
    m_hiding = true;
    auto self = std::static_pointer_cast<QMUIPopupContainerView>(sharedFromThis());
    if (!animated) {
        finishHiding(std::move(completion));
        return;
    }
    UIView::animate(
        animationDuration, [&] { setAlpha(0); },
        [self, completion = std::move(completion)](
            bool) mutable { self->finishHiding(std::move(completion)); });
}

void QMUIPopupContainerView::finishHiding(Completion completion)
{
    auto self = sharedFromThis();
    setAlpha(1);
    removeFromSuperview();
    auto window = std::move(m_window);
    m_window.reset();
    m_maskView.reset();
    m_hiding = false;
    if (window)
        window->setHidden(true);
    if (auto previous = m_previousKeyWindow.lock(); previous && !previous->isHidden())
        previous->makeKey();
    m_previousKeyWindow.reset();
    if (completion)
        completion(true);
}
