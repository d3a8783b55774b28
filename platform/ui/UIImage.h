#pragma once

#include "platform/foundation/Data.h"
#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIColor.h"

#include <cairo.h>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// How the stored bitmap is meant to be shown; decoders fill it from EXIF. Drawing honours it.
enum class UIImageOrientation {
    up,
    down,
    left,
    right,
    upMirrored,
    downMirrored,
    leftMirrored,
    rightMirrored,
};

// True for the four orientations that show the bitmap turned by a quarter.
bool UIImageOrientationSwapsAxes(UIImageOrientation orientation);

enum class UIImageRenderingMode {
    automatic,
    alwaysOriginal,
    alwaysTemplate,
};

// An immutable image: a premultiplied ARGB32 Cairo surface in pixels, a scale (pixels per point)
// and an orientation. Copies share the bitmap. The default-constructed image is empty (no bitmap).
class UIImage {
public:
    // Decoders refuse bitmaps larger than this, so untrusted bytes cannot ask for huge allocations.
    static constexpr int maxPixelsPerSide = 16384;
    static constexpr long long maxPixelCount = 40LL * 1000 * 1000;

    UIImage() = default;

    // The asset of that name from the main bundle's image folder; nothing when missing or unreadable.
    static std::optional<UIImage> named(const std::string& name);
    // PNG or JPEG bytes (sniffed by signature); nothing for anything else or for damaged data.
    static std::optional<UIImage> fromData(const Data& data, CGFloat scale = 1);
    // A file; the scale is taken from an "@2x"/"@3x" suffix of the file name.
    static std::optional<UIImage> fromFile(const std::filesystem::path& path);
    // Wraps a surface (adds a reference). Non-image or failed surfaces give an empty image.
    static UIImage fromSurface(
        cairo_surface_t* surface, CGFloat scale = 1, UIImageOrientation orientation = UIImageOrientation::up);
    // An image filled with one colour; a dynamic colour gives a dynamic image.
    static UIImage filled(const UIColor& color, CGSize size, CGFloat scale = 1);
    // An animated image: frames shown in turn over the duration (seconds). Draws as its first frame.
    static UIImage animated(std::vector<UIImage> frames, double duration);

    // An image with a variant for the dark style, as an asset with a dark appearance: drawing
    // takes the variant of the style it draws in, everything else reads the light one.
    static UIImage dynamic(const UIImage& light, const UIImage& dark);
    bool isDynamic() const { return m_dark != nullptr; }
    // The plain image for a style; a plain image resolves to itself.
    const UIImage& resolved(UIUserInterfaceStyle style) const;

    bool isEmpty() const { return !m_surface && m_frames.empty(); }
    bool hasBitmap() const { return m_surface != nullptr; }
    // Size in points, with width and height swapped for the four left/right orientations.
    CGSize size() const;
    CGFloat scale() const { return m_scale; }
    UIImageOrientation imageOrientation() const { return m_orientation; }
    UIImageRenderingMode renderingMode() const { return m_renderingMode; }
    int pixelWidth() const;
    int pixelHeight() const;

    // Drawn for the program and shipped in its bundle (an icon, a placeholder), not a picture that
    // came from outside; kept by the copies below.
    bool isBundleImage() const { return m_bundleImage; }
    UIImage markedAsBundleImage() const;

    const std::vector<UIImage>& images() const { return m_frames; }
    double duration() const { return m_duration; }

    UIImage withOrientation(UIImageOrientation orientation) const;
    UIImage withRenderingMode(UIImageRenderingMode mode) const;
    // The image's shape filled with the colour (alpha kept), always drawn as is afterwards. A
    // dynamic colour or image gives a dynamic image: each style's shape in that style's colour.
    UIImage withTintColor(const UIColor& color) const;

    // The stored bitmap (without orientation applied); nullptr for an empty image. Borrowed.
    cairo_surface_t* cairoSurface() const { return m_surface.get(); }

    // Encodings of the stored bitmap. Nothing for an empty image. JPEG drops alpha (over black)
    // and takes a quality in 0...1.
    std::optional<Data> pngData() const;
    std::optional<Data> jpegData(CGFloat quality) const;

    // Un-premultiplied colour of one stored pixel; transparent outside the bitmap.
    UIColor::RGBA pixel(int x, int y) const;

    // Same bitmap objects, the dark variant's included (not pixel equality).
    bool operator==(const UIImage& other) const;

private:
    // The light (or only) bitmap's shape in one plain colour.
    UIImage plainTint(const UIColor& color) const;
    static UIImage filledPlain(const UIColor& color, CGSize size, CGFloat scale);

    struct SurfaceDeleter {
        void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
    };
    std::shared_ptr<cairo_surface_t> m_surface;
    CGFloat m_scale = 1;
    UIImageOrientation m_orientation = UIImageOrientation::up;
    UIImageRenderingMode m_renderingMode = UIImageRenderingMode::automatic;
    std::vector<UIImage> m_frames;
    double m_duration = 0;
    bool m_bundleImage = false;
    std::shared_ptr<const UIImage> m_dark;
};
