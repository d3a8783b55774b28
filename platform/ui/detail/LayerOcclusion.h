#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIColor.h"

#include <algorithm>
#include <cairo.h>
#include <cstddef>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class CALayer;

namespace detail {

// Finds the parts of a frame's solid fills that later opaque fills cover pixel for pixel, so that
// the renderer can leave them out (full-screen backgrounds stacked on each other, the black
// under the windows) and the picture stays exactly the same.
//
// Fills are recorded in the order they will be drawn, with the transform they will be drawn
// under, by walking the layer trees as CALayer::render does. A later fill covers pixels when it
// is an opaque axis-aligned rectangle, drawn straight onto the bitmap (not into the group of a
// translucent or masked layer) and clipped only by rectangles: the whole pixels inside it.
// An earlier fill is left out when such fills cover every pixel it can touch. An unclipped
// axis-aligned rectangle is also cut: only its pieces over uncovered pixels are drawn, each with
// the same edges inside those pixels, so Cairo gives every pixel the same coverage as before.
// (A clip, or any other shape, is drawn whole or not at all: Cairo would antialias its cut
// edges differently.) Anything unusual (a singular transform, a rounded clip) only leaves more
// to draw.
class LayerOcclusion {
public:
    // Rectangles in device pixels, to be filled as they are (their edges may lie inside pixels).
    using Parts = std::vector<CGRect>;

    // The bitmap in pixels; nothing outside it is drawn.
    LayerOcclusion(int pixelWidth, int pixelHeight);

    // A fill of the rectangle under the transform; the index asks visibleParts() later.
    std::size_t addFill(const CGRect& rect, const cairo_matrix_t& ctm);
    // The fills of a layer tree drawn with render(): its transform and interface style are those
    // of the context when it starts.
    void addTree(const CALayer& root, const cairo_matrix_t& ctm, UIUserInterfaceStyle style);
    // Layers whose contents will not be drawn (CGContext::setForegroundLeftOut): their pictures
    // cover nothing. Borrowed; set before the trees are added.
    void setContentsLeftOut(const std::unordered_set<const CALayer*>* layers) { m_contentsLeftOut = layers; }

    // Decides, once everything is added; the questions below are answered after it.
    void resolve();
    // Where the fill still needs drawing; none: everywhere (nothing of it is covered).
    const std::optional<Parts>& visibleParts(std::size_t fill) const;
    // The same for the background fills of layers that are covered in part or whole.
    const std::unordered_map<const CALayer*, Parts>& backgroundParts() const { return m_backgroundParts; }

private:
    struct PixelBox {
        long x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        bool contains(const PixelBox& other) const
        {
            return other.x0 >= x0 && other.y0 >= y0 && other.x1 <= x1 && other.y1 <= y1;
        }
        bool isEmpty() const { return x1 <= x0 || y1 <= y0; }
        void intersect(const PixelBox& other)
        {
            x0 = std::max(x0, other.x0);
            y0 = std::max(y0, other.y0);
            x1 = std::min(x1, other.x1);
            y1 = std::min(y1, other.y1);
        }
        bool intersects(const PixelBox& other) const
        {
            return other.x0 < x1 && x0 < other.x1 && other.y0 < y1 && y0 < other.y1;
        }
    };
    struct Fill {
        const CALayer* layer = nullptr; // whose background, or none
        bool analysed = false; // false: may not be left out
        PixelBox touched; // every pixel the fill can change
        // Set when the fill may be cut: its rectangle in device coordinates.
        std::optional<CGRect> cuttable;
        bool covers = false; // opaque and drawn straight onto the bitmap
        PixelBox covered; // the pixels it sets whole
    };
    struct Walk {
        cairo_matrix_t ctm;
        // Pixels that the clips of the ancestors leave; `irregularClip` when one is not a rectangle.
        PixelBox clip;
        bool irregularClip = false;
        // A clip that is not a rectangle on whole pixels: Cairo then antialiases the edges of
        // what it clips in its own way, and fills under it are not cut.
        bool unalignedClip = false;
        // Inside a group (translucent or masked layer) or under a transform Cairo drops.
        bool unanalysable = false;
    };

    void walk(const CALayer& layer, Walk state);
    // The box without the pixels of the covering boxes, in a few boxes.
    static std::vector<PixelBox> uncovered(const PixelBox& box, const std::vector<PixelBox>& covering);
    PixelBox touchedBox(const CGRect& rect, const cairo_matrix_t& ctm) const;
    // The rectangle in device coordinates, as Cairo places it; none unless the transform keeps
    // it axis-aligned.
    static std::optional<CGRect> deviceRect(const CGRect& rect, const cairo_matrix_t& ctm);
    // Whole pixels inside the rectangle; none unless the transform keeps it axis-aligned.
    bool wholePixels(const CGRect& rect, const cairo_matrix_t& ctm, PixelBox& box) const;

    PixelBox m_surface;
    UIUserInterfaceStyle m_style = UIUserInterfaceStyle::light;
    std::vector<Fill> m_fills;
    std::vector<std::optional<Parts>> m_visible;
    std::unordered_map<const CALayer*, Parts> m_backgroundParts;
    const std::unordered_set<const CALayer*>* m_contentsLeftOut = nullptr;
};

// The transform after CGContext::concatenate(transform) from `ctm`; false when Cairo would refuse
// it (singular), in which case the context keeps `ctm` and so does `result`.
bool concatenatedTransform(
    const cairo_matrix_t& ctm, const CGAffineTransform& transform, cairo_matrix_t& result);

}
