#pragma once

#include "platform/ui/CALayer.h"
#include "platform/ui/CGGeometry.h"
#include "platform/ui/DisplayUpdates.h"
#include "platform/ui/UIColor.h"
#include "platform/ui/UIGestureRecognizer.h"
#include "platform/ui/UIImage.h"
#include "platform/ui/UIResponder.h"
#include "platform/ui/UITraitCollection.h"

#include <any>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CGContext;
class UIView;
class UIWindow;

enum class UIViewContentMode {
    scaleToFill,
    scaleAspectFit,
    scaleAspectFill,
    redraw,
    center,
    top,
    bottom,
    left,
    right,
    topLeft,
    topRight,
    bottomLeft,
    bottomRight,
};

// Options of UIView::animate; only recorded (values apply at once).
enum UIViewAnimationOptions : unsigned {
    UIViewAnimationOptionNone = 0,
    UIViewAnimationOptionLayoutSubviews = 1 << 0,
    UIViewAnimationOptionAllowUserInteraction = 1 << 1,
    UIViewAnimationOptionBeginFromCurrentState = 1 << 2,
    UIViewAnimationOptionRepeat = 1 << 3,
    UIViewAnimationOptionAutoreverse = 1 << 4,
    UIViewAnimationOptionCurveEaseInOut = 0 << 16,
    UIViewAnimationOptionCurveEaseIn = 1 << 16,
    UIViewAnimationOptionCurveEaseOut = 2 << 16,
    UIViewAnimationOptionCurveLinear = 3 << 16,
    UIViewAnimationOptionTransitionCrossDissolve = 5 << 20,
};

// Pacing of an animation over its duration.
enum class UIViewAnimationCurve { easeInOut, easeIn, easeOut, linear };

// Places the subviews of any view whose layoutSubviews reaches the base implementation. The
// constraint layout installs one; without it the base implementation places nothing.
class UIViewLayoutEngine {
public:
    virtual ~UIViewLayoutEngine() = default;
    virtual void layoutSubviews(UIView& view) = 0;
    // The view's intrinsic content size changed (its superview has already been marked for layout).
    virtual void intrinsicContentSizeDidChange(UIView&) { }
};

// A rectangle of the screen with content, in a tree. Views must be owned by std::shared_ptr
// (create them with UIView::create<T>(...) or std::make_shared): a superview owns its subviews,
// the links up (superview, window) are weak. The geometry lives in the view's layer: frame,
// bounds, center and transform follow the phone's rules (frame is derived from center, bounds
// size and transform). Every view's layer is a sublayer of its superview's layer, so rendering
// the root layer draws the whole tree.
class UIView : public UIResponder, public CALayerDelegate {
public:
    static constexpr CGFloat noIntrinsicMetric = -1;
    using LayerFactory = std::function<std::shared_ptr<CALayer>()>;
    using Completion = std::function<void(bool finished)>;

    template<typename T = UIView, typename... Args> static std::shared_ptr<T> create(Args&&... args)
    {
        return std::make_shared<T>(std::forward<Args>(args)...);
    }

    UIView();
    explicit UIView(const CGRect& frame);
    ~UIView() override;

    // Class name for reuse identifiers, dumps and messages; every subclass overrides it.
    virtual std::string className() const { return "UIView"; }

    std::shared_ptr<UIView> sharedFromThis() { return std::static_pointer_cast<UIView>(shared_from_this()); }
    std::weak_ptr<UIView> weakFromThis() { return std::static_pointer_cast<UIView>(weak_from_this().lock()); }

    // ---- Layer ----
    const std::shared_ptr<CALayer>& layer() const { return m_layer; }
    template<typename L> std::shared_ptr<L> layerAs() const { return std::dynamic_pointer_cast<L>(m_layer); }
    // The layer that views made with the public constructors get (plain CALayer by default).
    // Subclasses that need a particular layer pass it to the protected constructor instead.
    static void setDefaultLayerFactory(LayerFactory factory);

    // ---- Geometry ----
    CGRect frame() const;
    virtual void setFrame(const CGRect& frame);
    CGRect bounds() const;
    virtual void setBounds(const CGRect& bounds);
    CGPoint center() const;
    void setCenter(CGPoint center);
    CGAffineTransform transform() const;
    void setTransform(const CGAffineTransform& transform);

    // ---- Appearance ----
    CGFloat alpha() const;
    void setAlpha(CGFloat alpha);
    bool isHidden() const;
    virtual void setHidden(bool hidden);
    bool clipsToBounds() const;
    void setClipsToBounds(bool clips);
    const std::optional<UIColor>& backgroundColor() const { return m_backgroundColor; }
    virtual void setBackgroundColor(std::optional<UIColor> color);
    UIViewContentMode contentMode() const { return m_contentMode; }
    virtual void setContentMode(UIViewContentMode mode);
    // Own tint colour, else the superview's, else the system blue.
    UIColor tintColor() const;
    void setTintColor(std::optional<UIColor> color);
    virtual void tintColorDidChange() { }

    bool isUserInteractionEnabled() const { return m_userInteractionEnabled; }
    void setUserInteractionEnabled(bool enabled) { m_userInteractionEnabled = enabled; }
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    // This view or the first descendant (depth first) with the tag.
    std::shared_ptr<UIView> viewWithTag(int tag);
    const std::string& accessibilityIdentifier() const { return m_accessibilityIdentifier; }
    void setAccessibilityIdentifier(std::string id) { m_accessibilityIdentifier = std::move(id); }
    const std::string& accessibilityLabel() const { return m_accessibilityLabel; }
    void setAccessibilityLabel(std::string label) { m_accessibilityLabel = std::move(label); }

    // ---- Hierarchy ----
    std::shared_ptr<UIView> superview() const { return m_superview.lock(); }
    const std::vector<std::shared_ptr<UIView>>& subviews() const { return m_subviews; }
    // The window at the root of this view's tree (the view itself for a window).
    virtual std::shared_ptr<UIWindow> window() const;
    // Each insertion first removes the view from its current superview. Adding an ancestor or
    // the view itself is ignored.
    void addSubview(std::shared_ptr<UIView> view);
    void insertSubview(std::shared_ptr<UIView> view, std::size_t index);
    void insertSubviewAbove(std::shared_ptr<UIView> view, const UIView* sibling);
    void insertSubviewBelow(std::shared_ptr<UIView> view, const UIView* sibling);
    void removeFromSuperview();
    void bringSubviewToFront(const UIView* view);
    void sendSubviewToBack(const UIView* view);
    bool isDescendant(const UIView* ancestor) const;

    virtual void willMoveToSuperview(UIView*) { }
    virtual void didMoveToSuperview() { }
    virtual void willMoveToWindow(UIWindow*) { }
    virtual void didMoveToWindow() { }
    virtual void didAddSubview(UIView*) { }
    virtual void willRemoveSubview(UIView*) { }

    // ---- Layout ----
    // Places the subviews. The base implementation hands the view to the layout engine, if any;
    // overrides call it first.
    virtual void layoutSubviews();
    void setNeedsLayout();
    bool needsLayout() const { return m_needsLayout; }
    // Lays out this view if it is marked, then its subviews, depth first.
    void layoutIfNeeded();
    static void setLayoutEngine(std::shared_ptr<UIViewLayoutEngine> engine);
    static UIViewLayoutEngine* layoutEngine();

    // The size that suits the view within the given size; a plain view keeps its current size.
    virtual CGSize sizeThatFits(CGSize size) const;
    // Resizes the view to sizeThatFits(current size), keeping its origin.
    void sizeToFit();
    // Natural size of the content; noIntrinsicMetric in a dimension without one.
    virtual CGSize intrinsicContentSize() const;
    void invalidateIntrinsicContentSize();
    // A subview's intrinsic content size changed (containers sized by their subviews follow).
    virtual void subviewIntrinsicContentSizeDidChange(UIView&) { }

    // The part of the view not covered by the status bar, home indicator and bars that an owning
    // controller adds (additionalSafeAreaInsets), in the view's own space.
    virtual UIEdgeInsets safeAreaInsets() const;
    CGRect safeAreaLayoutGuide() const { return bounds().inset(safeAreaInsets()); }
    UIEdgeInsets additionalSafeAreaInsets() const { return m_additionalSafeAreaInsets; }
    void setAdditionalSafeAreaInsets(UIEdgeInsets insets);

    // ---- Coordinates ----
    // nullptr stands for the window's (screen) space. Views in different trees are compared by
    // treating each tree's root as placed at the screen origin.
    CGPoint convert(CGPoint point, const UIView* to) const;
    CGPoint convertFrom(CGPoint point, const UIView* from) const;
    CGRect convert(const CGRect& rect, const UIView* to) const;
    CGRect convertFrom(const CGRect& rect, const UIView* from) const;

    // ---- Hit testing ----
    // The deepest visible, interactive view under the point (in this view's space): hidden views,
    // views with alpha below 0.01 and views with interaction off are skipped with their
    // subviews; later subviews are asked first.
    virtual std::shared_ptr<UIView> hitTest(CGPoint point, const UIEvent* event = nullptr);
    virtual bool pointInside(CGPoint point, const UIEvent* event = nullptr) const;

    // ---- Gestures ----
    void addGestureRecognizer(std::shared_ptr<UIGestureRecognizer> recognizer);
    void removeGestureRecognizer(const UIGestureRecognizer* recognizer);
    const std::vector<std::shared_ptr<UIGestureRecognizer>>& gestureRecognizers() const
    {
        return m_gestureRecognizers;
    }

    // ---- Traits ----
    UIUserInterfaceStyle overrideUserInterfaceStyle() const { return m_overrideStyle; }
    void setOverrideUserInterfaceStyle(UIUserInterfaceStyle style);
    // Effective traits: the nearest override up the tree, else the screen's.
    UITraitCollection traitCollection() const;
    virtual void traitCollectionDidChange(const UITraitCollection& previous) { }

    // ---- Drawing ----
    // Custom content, drawn in the view's bounds space after its background and before subviews.
    virtual void draw(CGContext& context, const CGRect& rect);
    // Marks what the view draws as changed, for a live screen (DisplayUpdates); nothing while the
    // view or a superview is hidden.
    void setNeedsDisplay() { m_layer->setNeedsDisplay(); }
    // The view and its subviews as an image of its bounds size at the screen scale.
    UIImage snapshotImage() const;
    // Extra "key=value" fields for the view tree dump (labels add their text, and so on).
    virtual std::string dumpAttributes() const { return {}; }

    // ---- Responder chain ----
    // The owning controller (set by the controller whose root view this is), else the superview.
    std::shared_ptr<UIResponder> nextResponder() const override;
    void setOwningController(std::weak_ptr<UIResponder> controller)
    {
        m_owningController = std::move(controller);
    }
    std::shared_ptr<UIResponder> owningController() const { return m_owningController.lock(); }
    // Resigns the first responder when it is this view or a descendant.
    bool endEditing(bool force);

    // ---- Values attached by extensions (like associated objects) ----
    void setAssociatedValue(const std::string& key, std::any value);
    const std::any* associatedValue(const std::string& key) const;
    // The value under the key when it holds a T; nullptr when absent or of another type.
    template<typename T> const T* associatedValueAs(const std::string& key) const
    {
        const std::any* value = associatedValue(key);
        return value ? std::any_cast<T>(value) : nullptr;
    }

    // ---- Animation ----
    // Runs `animations` at once (new values apply immediately; property changes are recorded
    // as layer animations) and calls `completion(true)` after delay + duration on the main
    // run loop's clock.
    static void animate(double duration, const std::function<void()>& animations, Completion completion = {});
    static void animate(double duration, double delay, unsigned options,
        const std::function<void()>& animations, Completion completion = {});
    static void animate(double duration, double delay, CGFloat damping, CGFloat velocity, unsigned options,
        const std::function<void()>& animations, Completion completion = {});
    static void performWithoutAnimation(const std::function<void()>& actions);
    static bool areAnimationsEnabled();
    static void setAnimationsEnabled(bool enabled);
    // Duration of the innermost running animation block, if any.
    static std::optional<double> currentAnimationDuration();

protected:
    // For subclasses with a layer of their own class.
    UIView(std::shared_ptr<CALayer> layer, const CGRect& frame);

    // CALayerDelegate
    void drawLayer(CALayer& layer, CGContext& context) override;
    void layerDidChangeSize(CALayer& layer) override;
    UIUserInterfaceStyle layerInterfaceStyle() const override { return m_overrideStyle; }

private:
    friend class UIWindow;
    void insertSubviewAt(std::shared_ptr<UIView> view, std::size_t index, const CALayer* layerAbove,
        const CALayer* layerBelow);
    void detachFromSuperview();
    std::size_t siblingIndexWithout(const UIView& sibling, const UIView* moving) const;
    void notifyWillMoveToWindow(UIWindow* window);
    void notifyDidMoveToWindow();
    void notifyTraitChange(const UITraitCollection& previous);
    void notifyTintChange();
    void recordAnimation(const std::string& key, CAAnimationValue from, CAAnimationValue to);
    // Transform from this view's space to its root's space.
    CGAffineTransform transformToRoot(const UIView** root) const;

    std::shared_ptr<CALayer> m_layer;
    std::weak_ptr<UIView> m_superview;
    std::vector<std::shared_ptr<UIView>> m_subviews;
    std::vector<std::shared_ptr<UIGestureRecognizer>> m_gestureRecognizers;
    std::optional<UIColor> m_backgroundColor;
    std::optional<UIColor> m_tintColor;
    UIViewContentMode m_contentMode = UIViewContentMode::scaleToFill;
    bool m_userInteractionEnabled = true;
    bool m_needsLayout = true;
    int m_tag = 0;
    std::string m_accessibilityIdentifier;
    std::string m_accessibilityLabel;
    UIUserInterfaceStyle m_overrideStyle = UIUserInterfaceStyle::unspecified;
    UIEdgeInsets m_additionalSafeAreaInsets;
    std::weak_ptr<UIResponder> m_owningController;
    std::map<std::string, std::any> m_associated;
};
