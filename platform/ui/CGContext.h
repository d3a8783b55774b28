#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIBezierPath.h"
#include "platform/ui/UIColor.h"
#include "platform/ui/UIImage.h"

#include <cairo.h>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class CALayer;

enum class CGLineCap { butt, round, square };
enum class CGLineJoin { miter, round, bevel };

// A drawing context over a Cairo context, in points with y pointing down. It resolves dynamic
// colours against its interface style and knows the device scale (pixels per point) of its target.
class CGContext {
public:
    // Borrows `cr`, which must outlive this object.
    explicit CGContext(
        cairo_t* cr, CGFloat scale = 1, UIUserInterfaceStyle style = UIUserInterfaceStyle::light);
    CGContext(const CGContext&) = delete;
    CGContext& operator=(const CGContext&) = delete;

    // Whether images shown at another size are drawn from copies scaled once (the default) or
    // filtered again at every drawing; for measuring what the copies save.
    static void setScaledCopiesUsed(bool used);

    cairo_t* cairo() const { return m_cr; }
    CGFloat scale() const { return m_scale; }
    UIUserInterfaceStyle interfaceStyle() const { return m_style; }
    void setInterfaceStyle(UIUserInterfaceStyle style) { m_style = style; }

    void saveGState();
    void restoreGState();

    void translateBy(CGFloat tx, CGFloat ty);
    void scaleBy(CGFloat sx, CGFloat sy);
    void rotate(CGFloat radians);
    void concatenate(const CGAffineTransform& transform);
    // Current user-to-device transform.
    CGAffineTransform ctm() const;

    // Multiplies every later fill, stroke and image draw (kept with the graphics state).
    void setAlpha(CGFloat alpha);
    CGFloat alpha() const { return m_state.alpha; }
    void setFillColor(const UIColor& color);
    void setStrokeColor(const UIColor& color);
    void setLineWidth(CGFloat width);
    void setLineCap(CGLineCap cap);
    void setLineJoin(CGLineJoin join);
    void setLineDash(CGFloat phase, const std::vector<CGFloat>& lengths);

    void fill(const CGRect& rect);
    void stroke(const CGRect& rect);
    // Makes the rectangle fully transparent.
    void clear(const CGRect& rect);

    void addPath(const CGPath& path);
    void addRect(const CGRect& rect);
    void fillPath(bool evenOdd = false);
    void strokePath();
    // Intersects the clip with the current path (which is consumed).
    void clip(bool evenOdd = false);
    void clip(const CGRect& rect);

    // Draws the image upright (orientation applied) scaled into the rectangle.
    void draw(const UIImage& image, const CGRect& rect);
    // Axial gradient between two points; locations default to an even spread.
    void drawLinearGradient(const std::vector<UIColor>& colors, const std::vector<CGFloat>& locations,
        CGPoint start, CGPoint end);

    // The colour as it will be drawn here (style resolved, context alpha applied).
    UIColor::RGBA effective(const UIColor& color) const;

    // What is left to fill of layers' backgrounds, as rectangles in device coordinates, for layers
    // whose fill later opaque fills cover in part or whole (the renderer works them out before
    // drawing); the rest of such a fill is left out. Borrowed; none by default.
    using BackgroundParts = std::unordered_map<const CALayer*, std::vector<CGRect>>;
    void setBackgroundParts(const BackgroundParts* parts) { m_backgroundParts = parts; }
    // nullptr: draw the whole fill.
    const std::vector<CGRect>* backgroundParts(const CALayer* layer) const;
    // Fills these rectangles of device coordinates with the fill colour.
    void fillDeviceRects(const std::vector<CGRect>& rects);

    // What lies behind texts and icons, for the contrast check: with a set given, no text is drawn,
    // nor the contents image and own drawing of the layers in the set (their backgrounds, borders
    // and sublayers still are). Borrowed; none by default: everything is drawn.
    using LayerSet = std::unordered_set<const CALayer*>;
    void setForegroundLeftOut(const LayerSet* layers) { m_foregroundLeftOut = layers; }
    bool drawsText() const { return m_foregroundLeftOut == nullptr; }
    bool drawsContentOf(const CALayer* layer) const
    {
        return !m_foregroundLeftOut || !m_foregroundLeftOut->contains(layer);
    }

private:
    void setSource(const UIColor& color);
    // Draws the image from a copy scaled once to the size shown; false when it cannot.
    bool drawScaledCopy(const UIImage& image, const CGRect& rect);

    struct State {
        UIColor fill = UIColor::black();
        UIColor stroke = UIColor::black();
        CGFloat alpha = 1;
    };
    cairo_t* m_cr;
    CGFloat m_scale;
    UIUserInterfaceStyle m_style;
    State m_state;
    std::vector<State> m_saved;
    const BackgroundParts* m_backgroundParts = nullptr;
    const LayerSet* m_foregroundLeftOut = nullptr;
};

// Applies the transform that maps stored bitmap pixels to upright pixels for an orientation,
// given the stored pixel size.
void applyImageOrientation(
    cairo_t* cr, UIImageOrientation orientation, double pixelWidth, double pixelHeight);
