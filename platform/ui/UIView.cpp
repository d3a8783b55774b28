#include "platform/ui/UIView.h"

#include "platform/ui/CGContext.h"
#include "platform/ui/UIGraphics.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIWindow.h"

#include <algorithm>

namespace {

UIView::LayerFactory& defaultLayerFactory()
{
    static UIView::LayerFactory factory;
    return factory;
}

std::shared_ptr<CALayer> makeDefaultLayer()
{
    if (auto& factory = defaultLayerFactory()) {
        if (auto layer = factory())
            return layer;
    }
    return CALayer::make();
}

std::shared_ptr<UIViewLayoutEngine>& layoutEngineSlot()
{
    static std::shared_ptr<UIViewLayoutEngine> engine;
    return engine;
}

}

UIView::UIView()
    : UIView(makeDefaultLayer(), CGRect {})
{ }

UIView::UIView(const CGRect& frame)
    : UIView(makeDefaultLayer(), frame)
{ }

UIView::UIView(std::shared_ptr<CALayer> layer, const CGRect& frame)
    : m_layer(layer ? std::move(layer) : CALayer::make())
{
    m_layer->setDelegate(this);
    m_layer->setFrame(frame);
}

UIView::~UIView()
{
    m_layer->setDelegate(nullptr);
    m_layer->removeFromSuperlayer();
    for (auto& recognizer : m_gestureRecognizers)
        recognizer->attach(nullptr);
}

void UIView::setDefaultLayerFactory(LayerFactory factory)
{
    defaultLayerFactory() = std::move(factory);
}

// ---- Geometry ----

CGRect UIView::frame() const
{
    return m_layer->frame();
}
CGRect UIView::bounds() const
{
    return m_layer->bounds();
}
CGPoint UIView::center() const
{
    return m_layer->position();
}
CGAffineTransform UIView::transform() const
{
    return m_layer->affineTransform();
}

void UIView::setFrame(const CGRect& frame)
{
    CGRect oldBounds = bounds();
    CGPoint oldPosition = center();
    m_layer->setFrame(frame);
    recordAnimation("position", oldPosition, center());
    if (oldBounds.size != bounds().size)
        recordAnimation("bounds.size", oldBounds.size, bounds().size);
}

void UIView::setBounds(const CGRect& bounds)
{
    CGRect old = this->bounds();
    m_layer->setBounds(bounds);
    if (old.origin != this->bounds().origin) {
        recordAnimation("bounds.origin", old.origin, this->bounds().origin);
        // Content moved under the subviews; a scrolling container lays out again.
        setNeedsLayout();
    }
    if (old.size != this->bounds().size)
        recordAnimation("bounds.size", old.size, this->bounds().size);
}

void UIView::setCenter(CGPoint center)
{
    CGPoint old = this->center();
    m_layer->setPosition(center);
    recordAnimation("position", old, this->center());
}

void UIView::setTransform(const CGAffineTransform& transform)
{
    CGAffineTransform old = this->transform();
    m_layer->setAffineTransform(transform);
    recordAnimation("transform", old, this->transform());
}

// ---- Appearance ----

CGFloat UIView::alpha() const
{
    return m_layer->opacity();
}

void UIView::setAlpha(CGFloat alpha)
{
    CGFloat old = this->alpha();
    m_layer->setOpacity(alpha);
    recordAnimation("opacity", old, this->alpha());
}

bool UIView::isHidden() const
{
    return m_layer->isHidden();
}

void UIView::setHidden(bool hidden)
{
    bool changed = m_layer->isHidden() != hidden;
    m_layer->setHidden(hidden);
    // Containers that place their subviews by visibility (stack views) lay out again.
    if (auto super = superview(); super && changed)
        super->setNeedsLayout();
}

bool UIView::clipsToBounds() const
{
    return m_layer->masksToBounds();
}
void UIView::setClipsToBounds(bool clips)
{
    m_layer->setMasksToBounds(clips);
}

void UIView::setBackgroundColor(std::optional<UIColor> color)
{
    std::optional<UIColor> old = m_layer->backgroundColor();
    m_backgroundColor = color;
    m_layer->setBackgroundColor(std::move(color));
    if (old && m_backgroundColor)
        recordAnimation("backgroundColor", *old, *m_backgroundColor);
}

void UIView::setContentMode(UIViewContentMode mode)
{
    m_contentMode = mode;
    CALayerContentsGravity gravity = CALayerContentsGravity::resize;
    switch (mode) {
    case UIViewContentMode::scaleToFill:
    case UIViewContentMode::redraw:
        gravity = CALayerContentsGravity::resize;
        break;
    case UIViewContentMode::scaleAspectFit:
        gravity = CALayerContentsGravity::resizeAspect;
        break;
    case UIViewContentMode::scaleAspectFill:
        gravity = CALayerContentsGravity::resizeAspectFill;
        break;
    case UIViewContentMode::center:
        gravity = CALayerContentsGravity::center;
        break;
    case UIViewContentMode::top:
        gravity = CALayerContentsGravity::top;
        break;
    case UIViewContentMode::bottom:
        gravity = CALayerContentsGravity::bottom;
        break;
    case UIViewContentMode::left:
        gravity = CALayerContentsGravity::left;
        break;
    case UIViewContentMode::right:
        gravity = CALayerContentsGravity::right;
        break;
    case UIViewContentMode::topLeft:
        gravity = CALayerContentsGravity::topLeft;
        break;
    case UIViewContentMode::topRight:
        gravity = CALayerContentsGravity::topRight;
        break;
    case UIViewContentMode::bottomLeft:
        gravity = CALayerContentsGravity::bottomLeft;
        break;
    case UIViewContentMode::bottomRight:
        gravity = CALayerContentsGravity::bottomRight;
        break;
    }
    m_layer->setContentsGravity(gravity);
}

UIColor UIView::tintColor() const
{
    for (const UIView* v = this; v; v = v->m_superview.lock().get()) {
        if (v->m_tintColor)
            return *v->m_tintColor;
    }
    return UIColor::systemBlue();
}

void UIView::setTintColor(std::optional<UIColor> color)
{
    m_tintColor = std::move(color);
    DisplayUpdates::setNeedsDisplay();
    notifyTintChange();
}

void UIView::notifyTintChange()
{
    tintColorDidChange();
    auto subviews = m_subviews;
    for (auto& sub : subviews) {
        if (!sub->m_tintColor)
            sub->notifyTintChange();
    }
}

std::shared_ptr<UIView> UIView::viewWithTag(int tag)
{
    if (m_tag == tag)
        return sharedFromThis();
    for (auto& sub : m_subviews) {
        if (auto found = sub->viewWithTag(tag))
            return found;
    }
    return nullptr;
}

// ---- Hierarchy ----

std::shared_ptr<UIWindow> UIView::window() const
{
    for (auto v = m_superview.lock(); v; v = v->m_superview.lock()) {
        if (auto window = std::dynamic_pointer_cast<UIWindow>(v))
            return window;
    }
    return nullptr;
}

bool UIView::isDescendant(const UIView* ancestor) const
{
    if (!ancestor)
        return false;
    for (const UIView* v = this; v; v = v->m_superview.lock().get()) {
        if (v == ancestor)
            return true;
    }
    return false;
}

void UIView::notifyWillMoveToWindow(UIWindow* window)
{
    willMoveToWindow(window);
    auto subviews = m_subviews;
    for (auto& sub : subviews)
        sub->notifyWillMoveToWindow(window);
}

void UIView::notifyDidMoveToWindow()
{
    didMoveToWindow();
    auto subviews = m_subviews;
    for (auto& sub : subviews)
        sub->notifyDidMoveToWindow();
}

void UIView::notifyTraitChange(const UITraitCollection& previous)
{
    if (traitCollection() == previous)
        return;
    traitCollectionDidChange(previous);
    auto subviews = m_subviews;
    for (auto& sub : subviews) {
        if (sub->m_overrideStyle == UIUserInterfaceStyle::unspecified)
            sub->notifyTraitChange(previous);
    }
}

void UIView::detachFromSuperview()
{
    auto super = m_superview.lock();
    m_superview.reset();
    m_layer->removeFromSuperlayer();
    if (!super)
        return;
    auto& list = super->m_subviews;
    auto it = std::find_if(list.begin(), list.end(), [&](const auto& v) { return v.get() == this; });
    if (it != list.end())
        list.erase(it);
}

namespace {

enum class LayerPlacement { top, bottom, neighbours };

}

void UIView::insertSubviewAt(
    std::shared_ptr<UIView> view, std::size_t index, const CALayer* layerAbove, const CALayer* layerBelow)
{
    if (!view || view.get() == this || isDescendant(view.get()))
        return;
    auto oldSuper = view->superview();
    bool sameParent = oldSuper.get() == this;
    auto oldWindow = view->window();
    auto newWindow = this->window();
    bool windowChanges = oldWindow != newWindow;
    UITraitCollection previousTraits = view->traitCollection();
    UIColor previousTint = view->tintColor();

    if (!sameParent)
        view->willMoveToSuperview(this);
    if (windowChanges)
        view->notifyWillMoveToWindow(newWindow.get());
    if (oldSuper && !sameParent) {
        oldSuper->willRemoveSubview(view.get());
        oldSuper->setNeedsLayout();
    }
    view->detachFromSuperview();

    index = std::min(index, m_subviews.size());
    m_subviews.insert(m_subviews.begin() + static_cast<std::ptrdiff_t>(index), view);
    view->m_superview = weakFromThis();

    // Keep the layer order in step with the subview order.
    if (layerAbove) {
        m_layer->insertSublayerBelow(view->m_layer, layerAbove);
    } else if (layerBelow) {
        m_layer->insertSublayerAbove(view->m_layer, layerBelow);
    } else if (index == 0 && m_subviews.size() > 1) {
        m_layer->insertSublayerBelow(view->m_layer, m_subviews[1]->m_layer.get());
    } else {
        m_layer->addSublayer(view->m_layer);
    }

    if (windowChanges)
        view->notifyDidMoveToWindow();
    if (!sameParent)
        view->didMoveToSuperview();
    didAddSubview(view.get());
    setNeedsLayout();
    view->setNeedsLayout();
    if (view->m_overrideStyle == UIUserInterfaceStyle::unspecified)
        view->notifyTraitChange(previousTraits);
    if (!view->m_tintColor && !(view->tintColor() == previousTint))
        view->notifyTintChange();
}

void UIView::addSubview(std::shared_ptr<UIView> view)
{
    insertSubviewAt(std::move(view), m_subviews.size() + 1, nullptr, nullptr);
}

void UIView::insertSubview(std::shared_ptr<UIView> view, std::size_t index)
{
    if (!view)
        return;
    // The index counts the subviews without the inserted one.
    std::vector<UIView*> others;
    for (auto& sub : m_subviews) {
        if (sub != view)
            others.push_back(sub.get());
    }
    if (index < others.size())
        insertSubviewAt(std::move(view), index, others[index]->m_layer.get(), nullptr);
    else
        insertSubviewAt(std::move(view), others.size(), nullptr, nullptr);
}

// Where the sibling stands among the subviews once `moving` has been taken out of them.
std::size_t UIView::siblingIndexWithout(const UIView& sibling, const UIView* moving) const
{
    std::size_t index = 0;
    for (auto& sub : m_subviews) {
        if (sub.get() == &sibling)
            break;
        if (sub.get() != moving)
            ++index;
    }
    return index;
}

void UIView::insertSubviewAbove(std::shared_ptr<UIView> view, const UIView* sibling)
{
    if (!view || view.get() == sibling)
        return;
    if (!sibling || sibling->m_superview.lock().get() != this) {
        addSubview(std::move(view));
        return;
    }
    std::size_t index = siblingIndexWithout(*sibling, view.get());
    insertSubviewAt(std::move(view), index + 1, nullptr, sibling->m_layer.get());
}

void UIView::insertSubviewBelow(std::shared_ptr<UIView> view, const UIView* sibling)
{
    if (!view || view.get() == sibling)
        return;
    if (!sibling || sibling->m_superview.lock().get() != this) {
        addSubview(std::move(view));
        return;
    }
    std::size_t index = siblingIndexWithout(*sibling, view.get());
    insertSubviewAt(std::move(view), index, sibling->m_layer.get(), nullptr);
}

void UIView::removeFromSuperview()
{
    auto super = superview();
    if (!super)
        return;
    auto keep = sharedFromThis();
    auto oldWindow = window();
    UITraitCollection previousTraits = traitCollection();
    if (auto responder = std::dynamic_pointer_cast<UIView>(UIResponder::currentFirstResponder())) {
        if (responder->isDescendant(this))
            responder->resignFirstResponder();
    }
    willMoveToSuperview(nullptr);
    if (oldWindow)
        notifyWillMoveToWindow(nullptr);
    super->willRemoveSubview(this);
    detachFromSuperview();
    if (oldWindow)
        notifyDidMoveToWindow();
    didMoveToSuperview();
    super->setNeedsLayout();
    if (m_overrideStyle == UIUserInterfaceStyle::unspecified)
        notifyTraitChange(previousTraits);
}

void UIView::bringSubviewToFront(const UIView* view)
{
    auto it
        = std::find_if(m_subviews.begin(), m_subviews.end(), [&](const auto& v) { return v.get() == view; });
    if (it == m_subviews.end())
        return;
    auto keep = *it;
    m_subviews.erase(it);
    m_subviews.push_back(keep);
    m_layer->addSublayer(keep->m_layer);
}

void UIView::sendSubviewToBack(const UIView* view)
{
    auto it
        = std::find_if(m_subviews.begin(), m_subviews.end(), [&](const auto& v) { return v.get() == view; });
    if (it == m_subviews.end())
        return;
    auto keep = *it;
    m_subviews.erase(it);
    m_subviews.insert(m_subviews.begin(), keep);
    m_layer->insertSublayer(keep->m_layer, 0);
}

// ---- Layout ----

void UIView::layoutSubviews()
{
    if (auto& engine = layoutEngineSlot())
        engine->layoutSubviews(*this);
}

void UIView::setNeedsLayout()
{
    if (!m_needsLayout)
        DisplayUpdates::setNeedsDisplay();
    m_needsLayout = true;
}

void UIView::layoutIfNeeded()
{
    auto keep = weak_from_this().lock();
    if (m_needsLayout) {
        m_needsLayout = false;
        layoutSubviews();
    }
    auto subviews = m_subviews;
    for (auto& sub : subviews)
        sub->layoutIfNeeded();
}

void UIView::setLayoutEngine(std::shared_ptr<UIViewLayoutEngine> engine)
{
    layoutEngineSlot() = std::move(engine);
}

UIViewLayoutEngine* UIView::layoutEngine()
{
    return layoutEngineSlot().get();
}

CGSize UIView::sizeThatFits(CGSize) const
{
    return bounds().size;
}

void UIView::sizeToFit()
{
    CGSize size = sizeThatFits(bounds().size);
    CGRect f = frame();
    setFrame({ f.origin, size });
}

CGSize UIView::intrinsicContentSize() const
{
    return { noIntrinsicMetric, noIntrinsicMetric };
}

void UIView::invalidateIntrinsicContentSize()
{
    auto super = superview();
    if (super)
        super->setNeedsLayout();
    setNeedsLayout();
    if (auto& engine = layoutEngineSlot())
        engine->intrinsicContentSizeDidChange(*this);
    if (super)
        super->subviewIntrinsicContentSizeDidChange(*this);
}

UIEdgeInsets UIView::safeAreaInsets() const
{
    UIEdgeInsets insets;
    if (auto super = superview()) {
        CGRect safe = super->bounds().inset(super->safeAreaInsets());
        CGRect f = frame();
        insets.top = std::max<CGFloat>(0, safe.minY() - f.minY());
        insets.left = std::max<CGFloat>(0, safe.minX() - f.minX());
        insets.bottom = std::max<CGFloat>(0, f.maxY() - safe.maxY());
        insets.right = std::max<CGFloat>(0, f.maxX() - safe.maxX());
        insets.top = std::min(insets.top, f.height());
        insets.bottom = std::min(insets.bottom, f.height());
        insets.left = std::min(insets.left, f.width());
        insets.right = std::min(insets.right, f.width());
    }
    insets.top += m_additionalSafeAreaInsets.top;
    insets.left += m_additionalSafeAreaInsets.left;
    insets.bottom += m_additionalSafeAreaInsets.bottom;
    insets.right += m_additionalSafeAreaInsets.right;
    return insets;
}

void UIView::setAdditionalSafeAreaInsets(UIEdgeInsets insets)
{
    m_additionalSafeAreaInsets = insets;
    setNeedsLayout();
}

// ---- Coordinates ----

CGAffineTransform UIView::transformToRoot(const UIView** root) const
{
    CGAffineTransform t;
    const UIView* v = this;
    while (auto super = v->m_superview.lock()) {
        t = t.concatenating(v->m_layer->transformToSuperlayer());
        v = super.get();
    }
    if (root)
        *root = v;
    return t;
}

CGPoint UIView::convert(CGPoint point, const UIView* to) const
{
    const UIView* rootA = nullptr;
    CGAffineTransform a = transformToRoot(&rootA);
    if (!to || to == rootA)
        return a.apply(point);
    const UIView* rootB = nullptr;
    CGAffineTransform b = to->transformToRoot(&rootB);
    if (rootA != rootB) {
        // Different trees meet in screen space, through each root's own frame.
        a = a.concatenating(rootA->m_layer->transformToSuperlayer());
        b = b.concatenating(rootB->m_layer->transformToSuperlayer());
    }
    auto inverse = b.inverted();
    return inverse ? inverse->apply(a.apply(point)) : a.apply(point);
}

CGPoint UIView::convertFrom(CGPoint point, const UIView* from) const
{
    if (from)
        return from->convert(point, this);
    auto inverse = transformToRoot(nullptr).inverted();
    return inverse ? inverse->apply(point) : point;
}

CGRect UIView::convert(const CGRect& rect, const UIView* to) const
{
    if (rect.isNull())
        return rect;
    const UIView* rootA = nullptr;
    CGAffineTransform a = transformToRoot(&rootA);
    if (!to || to == rootA)
        return a.apply(rect);
    const UIView* rootB = nullptr;
    CGAffineTransform b = to->transformToRoot(&rootB);
    if (rootA != rootB) {
        a = a.concatenating(rootA->m_layer->transformToSuperlayer());
        b = b.concatenating(rootB->m_layer->transformToSuperlayer());
    }
    auto inverse = b.inverted();
    CGAffineTransform t = inverse ? a.concatenating(*inverse) : a;
    return t.apply(rect);
}

CGRect UIView::convertFrom(const CGRect& rect, const UIView* from) const
{
    if (from)
        return from->convert(rect, this);
    auto inverse = transformToRoot(nullptr).inverted();
    return inverse ? inverse->apply(rect) : rect;
}

// ---- Hit testing ----

std::shared_ptr<UIView> UIView::hitTest(CGPoint point, const UIEvent* event)
{
    if (isHidden() || !m_userInteractionEnabled || alpha() < 0.01)
        return nullptr;
    if (!pointInside(point, event))
        return nullptr;
    auto subviews = m_subviews;
    for (auto it = subviews.rbegin(); it != subviews.rend(); ++it) {
        CGPoint local = (*it)->m_layer->convertFromSuperlayer(point);
        if (auto hit = (*it)->hitTest(local, event))
            return hit;
    }
    return sharedFromThis();
}

bool UIView::pointInside(CGPoint point, const UIEvent*) const
{
    return bounds().contains(point);
}

// ---- Gestures ----

void UIView::addGestureRecognizer(std::shared_ptr<UIGestureRecognizer> recognizer)
{
    if (!recognizer)
        return;
    if (auto old = recognizer->view()) {
        if (old.get() == this)
            return;
        old->removeGestureRecognizer(recognizer.get());
    }
    m_gestureRecognizers.push_back(recognizer);
    recognizer->attach(sharedFromThis());
}

void UIView::removeGestureRecognizer(const UIGestureRecognizer* recognizer)
{
    auto it = std::find_if(m_gestureRecognizers.begin(), m_gestureRecognizers.end(),
        [&](const auto& r) { return r.get() == recognizer; });
    if (it == m_gestureRecognizers.end())
        return;
    auto keep = *it;
    m_gestureRecognizers.erase(it);
    keep->attach(nullptr);
}

// ---- Traits ----

void UIView::setOverrideUserInterfaceStyle(UIUserInterfaceStyle style)
{
    UITraitCollection previous = traitCollection();
    m_overrideStyle = style;
    DisplayUpdates::setNeedsDisplay();
    notifyTraitChange(previous);
}

UITraitCollection UIView::traitCollection() const
{
    UITraitCollection traits = UIScreen::main().traitCollection();
    for (const UIView* v = this; v; v = v->m_superview.lock().get()) {
        if (v->m_overrideStyle != UIUserInterfaceStyle::unspecified) {
            traits.userInterfaceStyle = v->m_overrideStyle;
            break;
        }
    }
    return traits;
}

// ---- Drawing ----

void UIView::draw(CGContext&, const CGRect&)
{ }

void UIView::drawLayer(CALayer&, CGContext& context)
{
    UIGraphicsPushContext(&context);
    draw(context, bounds());
    UIGraphicsPopContext();
}

void UIView::layerDidChangeSize(CALayer&)
{
    setNeedsLayout();
    if (auto super = superview())
        super->setNeedsLayout();
}

UIImage UIView::snapshotImage() const
{
    UIGraphicsImageRendererFormat format;
    format.interfaceStyle = traitCollection().userInterfaceStyle;
    CGRect b = bounds();
    return UIGraphicsImageRenderer(b.size, format).image([&](CGContext& context) {
        context.translateBy(-b.origin.x, -b.origin.y);
        m_layer->render(context);
    });
}

// ---- Responder chain ----

std::shared_ptr<UIResponder> UIView::nextResponder() const
{
    if (auto controller = m_owningController.lock())
        return controller;
    return superview();
}

bool UIView::endEditing(bool)
{
    auto responder = std::dynamic_pointer_cast<UIView>(UIResponder::currentFirstResponder());
    if (!responder || !responder->isDescendant(this))
        return true;
    return responder->resignFirstResponder();
}

// ---- Associated values ----

void UIView::setAssociatedValue(const std::string& key, std::any value)
{
    if (!value.has_value()) {
        m_associated.erase(key);
        return;
    }
    m_associated[key] = std::move(value);
}

const std::any* UIView::associatedValue(const std::string& key) const
{
    auto it = m_associated.find(key);
    return it == m_associated.end() ? nullptr : &it->second;
}
