#pragma once

#include "platform/ui/CAAnimation.h"
#include "platform/ui/CGGeometry.h"
#include "platform/ui/DisplayUpdates.h"
#include "platform/ui/UIBezierPath.h"
#include "platform/ui/UIColor.h"
#include "platform/ui/UIImage.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class CALayer;
class CGContext;

// The owner of a layer that draws its content and follows its size: a view for its own layer.
class CALayerDelegate {
public:
    virtual ~CALayerDelegate() = default;
    // Draws the owner's content in the layer's coordinate space, clipped to its bounds.
    virtual void drawLayer(CALayer& layer, CGContext& context) = 0;
    // The layer's bounds size changed.
    virtual void layerDidChangeSize(CALayer&) { }
    // An interface style the owner imposes on its subtree, if any.
    virtual UIUserInterfaceStyle layerInterfaceStyle() const { return UIUserInterfaceStyle::unspecified; }
};

enum class CALayerContentsGravity {
    center,
    top,
    bottom,
    left,
    right,
    topLeft,
    topRight,
    bottomLeft,
    bottomRight,
    resize,
    resizeAspect,
    resizeAspectFill,
};

// Corners for `maskedCorners`, in the layer's y-down coordinates.
enum CACornerMask : std::uint8_t {
    kCALayerMinXMinYCorner = 1 << 0,
    kCALayerMaxXMinYCorner = 1 << 1,
    kCALayerMinXMaxYCorner = 1 << 2,
    kCALayerMaxXMaxYCorner = 1 << 3,
    kCALayerAllCorners = 0x0F,
};

// A node of the drawing tree. Geometry follows the phone: `bounds` is the layer's own coordinate
// space, `position` is where its anchor point sits in the superlayer, and `transform` turns the
// layer about its anchor. Sublayers are owned by their superlayer; the superlayer link is weak.
class CALayer : public std::enable_shared_from_this<CALayer> {
public:
    static std::shared_ptr<CALayer> make() { return std::make_shared<CALayer>(); }
    CALayer();
    virtual ~CALayer();
    CALayer(const CALayer&) = delete;
    CALayer& operator=(const CALayer&) = delete;

    virtual std::string className() const { return "CALayer"; }

    // ---- Geometry ----
    CGRect bounds() const { return m_bounds; }
    void setBounds(const CGRect& bounds);
    CGPoint position() const { return m_position; }
    void setPosition(CGPoint position);
    CGPoint anchorPoint() const { return m_anchorPoint; }
    void setAnchorPoint(CGPoint anchor);
    CGAffineTransform affineTransform() const { return m_transform; }
    void setAffineTransform(const CGAffineTransform& transform);
    // Bounding box of the transformed bounds in the superlayer; setting it ignores the transform.
    CGRect frame() const;
    void setFrame(const CGRect& frame);

    // Maps a point of this layer's space to the superlayer's space and back.
    CGPoint convertToSuperlayer(CGPoint p) const;
    CGPoint convertFromSuperlayer(CGPoint p) const;
    // The transform from this layer's space into the superlayer's space.
    CGAffineTransform transformToSuperlayer() const;

    // ---- Appearance ----
    bool isHidden() const { return m_hidden; }
    void setHidden(bool hidden);
    CGFloat opacity() const { return m_opacity; }
    void setOpacity(CGFloat opacity);
    bool masksToBounds() const { return m_masksToBounds; }
    void setMasksToBounds(bool masks) { changeTo(m_masksToBounds, masks); }
    CGFloat cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(CGFloat radius);
    unsigned maskedCorners() const { return m_maskedCorners; }
    void setMaskedCorners(unsigned corners) { changeTo(m_maskedCorners, corners & kCALayerAllCorners); }
    const std::optional<UIColor>& backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(std::optional<UIColor> color) { changeTo(m_backgroundColor, std::move(color)); }
    CGFloat borderWidth() const { return m_borderWidth; }
    void setBorderWidth(CGFloat width);
    const UIColor& borderColor() const { return m_borderColor; }
    void setBorderColor(UIColor color) { changeTo(m_borderColor, std::move(color)); }

    const std::optional<UIColor>& shadowColor() const { return m_shadowColor; }
    void setShadowColor(std::optional<UIColor> color) { changeTo(m_shadowColor, std::move(color)); }
    CGFloat shadowOpacity() const { return m_shadowOpacity; }
    void setShadowOpacity(CGFloat opacity);
    CGSize shadowOffset() const { return m_shadowOffset; }
    void setShadowOffset(CGSize offset) { changeTo(m_shadowOffset, offset); }
    CGFloat shadowRadius() const { return m_shadowRadius; }
    void setShadowRadius(CGFloat radius);
    const std::optional<CGPath>& shadowPath() const { return m_shadowPath; }
    void setShadowPath(std::optional<CGPath> path)
    {
        m_shadowPath = std::move(path);
        didChangeDrawing();
    }

    // An image shown over the background, placed by the gravity.
    const std::optional<UIImage>& contents() const { return m_contents; }
    // Always counts as a change: the pixels of an image may be new while it stays the same image.
    void setContents(std::optional<UIImage> image)
    {
        m_contents = std::move(image);
        didChangeDrawing();
    }
    CALayerContentsGravity contentsGravity() const { return m_contentsGravity; }
    void setContentsGravity(CALayerContentsGravity gravity) { changeTo(m_contentsGravity, gravity); }

    const std::string& name() const { return m_name; }
    void setName(std::string name) { m_name = std::move(name); }

    // A layer whose alpha masks this layer's whole drawing (its frame is in this layer's space).
    const std::shared_ptr<CALayer>& mask() const { return m_mask; }
    void setMask(std::shared_ptr<CALayer> mask);

    // ---- Tree ----
    std::shared_ptr<CALayer> superlayer() const { return m_superlayer.lock(); }
    const std::vector<std::shared_ptr<CALayer>>& sublayers() const { return m_sublayers; }
    // Each insertion first removes the layer from its current superlayer.
    void addSublayer(std::shared_ptr<CALayer> layer);
    void insertSublayer(std::shared_ptr<CALayer> layer, std::size_t index);
    void insertSublayerAbove(std::shared_ptr<CALayer> layer, const CALayer* sibling);
    void insertSublayerBelow(std::shared_ptr<CALayer> layer, const CALayer* sibling);
    void replaceSublayer(const CALayer* old, std::shared_ptr<CALayer> replacement);
    void removeFromSuperlayer();
    std::optional<std::size_t> indexOfSublayer(const CALayer* layer) const;

    // The view (or other owner) that draws this layer; not owned.
    CALayerDelegate* delegate() const { return m_delegate; }
    void setDelegate(CALayerDelegate* delegate) { changeTo(m_delegate, delegate); }

    // ---- Animations (records; see CAAnimation.h) ----
    void add(std::shared_ptr<CAAnimation> animation, const std::string& key);
    std::shared_ptr<CAAnimation> animation(const std::string& key) const;
    std::vector<std::string> animationKeys() const;
    void removeAnimation(const std::string& key);
    void removeAllAnimations();

    // ---- Drawing ----
    // Draws this layer and its sublayers in the layer's own coordinate space (its position and
    // transform are not applied; its opacity, mask and clipping are). Hidden layers draw nothing.
    void render(CGContext& context) const;
    // Marks the content stale for a live screen (DisplayUpdates); every render draws afresh.
    void setNeedsDisplay() { didChangeDrawing(); }
    // Whether this layer and every superlayer are neither hidden nor fully transparent.
    bool isShownInTree() const;

protected:
    // Sets a drawn property, reporting a change to the live screen when the value is new.
    template<typename T, typename V> void changeTo(T& field, V&& value)
    {
        if (field == value)
            return;
        field = std::forward<V>(value);
        didChangeDrawing();
    }
    // Reports a change of what this layer draws to the live screen, unless nothing of it shows
    // there (it or a superlayer is hidden or fully transparent): a hidden view that keeps
    // animating its frames does not keep the screen drawing. Showing it again is a change.
    void didChangeDrawing() const;

    // The layer's own content, drawn after the background and contents image and before the
    // delegate and the sublayers. Subclasses draw gradients and shapes here.
    virtual void drawInContext(CGContext& context) const;
    // The rounded outline of the bounds that backgrounds, borders and clipping follow.
    CGPath backgroundShape() const;
    // Whether drawInContext stays within the bounds (a shape's path need not).
    virtual bool drawsWithinBounds() const { return true; }

private:
    friend class CALayerRenderer;
    void renderInSuperlayer(CGContext& context) const;
    void renderBody(CGContext& context) const;
    // Where an offscreen group of this layer can show anything (none: anywhere).
    std::optional<CGRect> groupExtent() const;
    void renderShadow(CGContext& context) const;
    // Whether everything the layer draws, sublayers included, lies within its bounds.
    bool drawingStaysWithinBounds() const;
    void detachFromSuperlayer();
    // Whether every superlayer is neither hidden nor fully transparent.
    bool superlayersShow() const;
    void insertAt(std::shared_ptr<CALayer> layer, std::size_t index);
    void scheduleAnimationEnd(const std::string& key, const std::shared_ptr<CAAnimation>& animation);

    CGRect m_bounds;
    CGPoint m_position;
    CGPoint m_anchorPoint { 0.5, 0.5 };
    CGAffineTransform m_transform;
    bool m_hidden = false;
    CGFloat m_opacity = 1;
    bool m_masksToBounds = false;
    CGFloat m_cornerRadius = 0;
    unsigned m_maskedCorners = kCALayerAllCorners;
    std::optional<UIColor> m_backgroundColor;
    CGFloat m_borderWidth = 0;
    UIColor m_borderColor = UIColor::black();
    std::optional<UIColor> m_shadowColor = UIColor::black();
    CGFloat m_shadowOpacity = 0;
    CGSize m_shadowOffset { 0, -3 };
    CGFloat m_shadowRadius = 3;
    std::optional<CGPath> m_shadowPath;
    std::optional<UIImage> m_contents;
    CALayerContentsGravity m_contentsGravity = CALayerContentsGravity::resize;
    std::string m_name;
    std::shared_ptr<CALayer> m_mask;
    std::weak_ptr<CALayer> m_superlayer;
    std::vector<std::shared_ptr<CALayer>> m_sublayers;
    CALayerDelegate* m_delegate = nullptr;
    std::vector<std::pair<std::string, std::shared_ptr<CAAnimation>>> m_animations;
};

// Where an image of a given size goes inside a rectangle for a gravity (also used by image views).
CGRect CALayerContentsRect(CALayerContentsGravity gravity, CGSize contentSize, const CGRect& bounds);
