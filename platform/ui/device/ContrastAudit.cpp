#include "platform/ui/device/ContrastAudit.h"

#include "platform/ui/CALayer.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIViewController.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIControl.h"
#include "platform/ui/controls/UITextField.h"
#include "platform/ui/controls/UITextView.h"
#include "platform/ui/qmui/QMUITextField.h"
#include "platform/ui/qmui/QMUITextView.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace {

double linear(double c)
{
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const UIColor::RGBA& c)
{
    return 0.2126 * linear(c.red) + 0.7152 * linear(c.green) + 0.0722 * linear(c.blue);
}

UIColor::RGBA over(const UIColor::RGBA& top, const UIColor::RGBA& under)
{
    double a = std::clamp<double>(top.alpha, 0, 1);
    return { top.red * a + under.red * (1 - a), top.green * a + under.green * (1 - a),
        top.blue * a + under.blue * (1 - a), 1 };
}

std::string hex(const UIColor::RGBA& c)
{
    auto byte = [](CGFloat v) { return static_cast<int>(std::lround(std::clamp<CGFloat>(v, 0, 1) * 255)); };
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", byte(c.red), byte(c.green), byte(c.blue));
    return buffer;
}

std::string number(double v, const char* format)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, format, v);
    return buffer;
}

// What the audit looks at: a text or an icon, where it is on the screen and how it is drawn.
struct Item {
    ContrastFinding finding;
    // The part of the screen it may show in (its rectangle within its clipping ancestors).
    CGRect visible;
    // A text's own colours (each colour of its runs), with the opacity of its views.
    std::vector<UIColor::RGBA> ownColors;
    // Drawing order: views drawn later than `lastInside` lie over it.
    std::size_t order = 0;
    std::size_t lastInside = 0;
};

// A view that draws something, in drawing order, and where.
struct Painter {
    CGRect visible;
    std::size_t order = 0;
};

class Collector {
public:
    std::vector<Item> items;
    std::vector<Painter> painters;
    CGContext::LayerSet icons;

    void walkWindow(const UIWindow& window)
    {
        m_toScreen = window.layer()->transformToSuperlayer();
        walk(window, CGRect(-1e7, -1e7, 2e7, 2e7), 1);
    }

private:
    CGRect onScreen(const UIView& view, const CGRect& rect) const
    {
        return m_toScreen.apply(view.convert(rect, nullptr));
    }

    static bool drawsItself(const UIView& view, UIUserInterfaceStyle style)
    {
        const CALayer& layer = *view.layer();
        if (const auto& back = layer.backgroundColor(); back && back->resolved(style).rgba().alpha > 0.02)
            return true;
        if (layer.contents() && layer.contents()->hasBitmap())
            return true;
        if (layer.borderWidth() > 0)
            return true;
        if (const auto* label = dynamic_cast<const UILabel*>(&view); label && !label->text().empty())
            return true;
        // Gradients and shapes of its own (sublayers that belong to no view).
        return std::any_of(layer.sublayers().begin(), layer.sublayers().end(),
            [](const auto& sub) { return !sub->isHidden() && sub->delegate() == nullptr; });
    }

    // The classes of the view and of every view up from it, with the controller whose page a view
    // is after that view.
    static std::vector<std::string> ancestryOf(const UIView& view)
    {
        std::vector<std::string> classes;
        for (const UIView* at = &view; at;) {
            classes.push_back(at->className());
            if (auto controller = std::dynamic_pointer_cast<UIViewController>(at->owningController()))
                classes.push_back(controller->className());
            auto up = at->superview();
            at = up.get();
        }
        return classes;
    }

    static std::string whereOf(const std::vector<std::string>& ancestry)
    {
        std::string where = ancestry.front();
        int shown = 0;
        for (std::size_t i = 1; i < ancestry.size() && shown < 3; ++i) {
            // Plain containers say nothing; the first classes of other kinds do.
            if (ancestry[i] == "UIView" || ancestry[i] == "UIViewController")
                continue;
            where += " in " + ancestry[i];
            ++shown;
        }
        return where;
    }

    void addText(const UIView& view, const std::string& text, CGRect rect, const UIFont& font,
        const std::vector<UIColor>& colors, UIUserInterfaceStyle style, CGFloat alpha, const CGRect& clip)
    {
        if (text.find_first_not_of(" \t\n") == std::string::npos || rect.isEmpty())
            return;
        Item item;
        ContrastFinding& f = item.finding;
        f.kind = ContrastFinding::Kind::text;
        f.subject = text;
        f.ancestry = ancestryOf(view);
        f.where = whereOf(f.ancestry);
        f.frame = onScreen(view, rect);
        f.style = style;
        CGFloat shownScale = std::sqrt(std::max<CGFloat>(0, f.frame.width() * f.frame.height())
            / std::max<CGFloat>(1e-9, rect.width() * rect.height()));
        f.pointSize = font.pointSize() * shownScale;
        f.bold = font.isBold();
        bool large = f.pointSize >= 18 || (f.pointSize >= 14 && f.bold);
        f.required = large ? ContrastAudit::largeTextRatio : ContrastAudit::bodyTextRatio;
        item.visible = f.frame.intersection(clip);
        for (const UIColor& color : colors) {
            UIColor::RGBA own = color.resolved(style).rgba();
            if (std::find(f.colors.begin(), f.colors.end(), own) == f.colors.end())
                f.colors.push_back(own);
            own.alpha *= alpha;
            if (std::find(item.ownColors.begin(), item.ownColors.end(), own) == item.ownColors.end())
                item.ownColors.push_back(own);
        }
        item.order = m_order;
        items.push_back(std::move(item));
    }

    void addLabel(const UILabel& label, UIUserInterfaceStyle style, CGFloat alpha, const CGRect& clip)
    {
        // The text's lines across the whole width: alignment places them anywhere in it.
        CGRect bounds = label.bounds();
        CGRect lines = label.textRectForBounds(bounds, label.numberOfLines());
        CGRect rect { bounds.minX(), lines.minY(), bounds.width(), lines.height() };
        UIFont font = label.font();
        std::vector<UIColor> colors;
        if (const auto& styled = label.attributedText()) {
            for (const TextRun& run : styled->runs) {
                if (run.text.find_first_not_of(" \t\n") == std::string::npos)
                    continue;
                if (run.font && run.font->pointSize() < font.pointSize())
                    font = *run.font;
                colors.push_back(run.foregroundColor.value_or(label.textColor()));
            }
        }
        if (colors.empty())
            colors.push_back(label.textColor());
        addText(label, label.text(), rect, font, colors, style, alpha, clip);
    }

    // The colour of an image's most opaque pixel: what its shape is drawn in.
    static std::optional<UIColor::RGBA> inkOf(const UIImage& image)
    {
        cairo_surface_t* surface = image.cairoSurface();
        if (!surface || cairo_image_surface_get_format(surface) != CAIRO_FORMAT_ARGB32)
            return std::nullopt;
        cairo_surface_flush(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        int stride = cairo_image_surface_get_stride(surface);
        std::uint32_t best = 0;
        for (int y = 0; y < cairo_image_surface_get_height(surface); ++y) {
            const auto* row
                = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
            for (int x = 0; x < cairo_image_surface_get_width(surface); ++x)
                if ((row[x] >> 24) > (best >> 24))
                    best = row[x];
        }
        double a = (best >> 24) / 255.0;
        if (a <= 0)
            return std::nullopt;
        return UIColor::RGBA { ((best >> 16) & 0xff) / 255.0 / a, ((best >> 8) & 0xff) / 255.0 / a,
            (best & 0xff) / 255.0 / a, a };
    }

    void addIcon(const UIImageView& view, UIUserInterfaceStyle style, CGFloat alpha, const CGRect& clip)
    {
        const CALayer& layer = *view.layer();
        const std::optional<UIImage>& shown = layer.contents();
        if (!view.image() || !view.image()->isBundleImage() || !shown || !shown->hasBitmap())
            return;
        CGRect rect = CALayerContentsRect(layer.contentsGravity(), shown->size(), layer.bounds())
                          .intersection(layer.bounds());
        if (rect.isEmpty())
            return;
        CGRect frame = onScreen(view, rect);
        if (frame.width() > ContrastAudit::largestIcon || frame.height() > ContrastAudit::largestIcon)
            return;
        Item item;
        ContrastFinding& f = item.finding;
        f.kind = ContrastFinding::Kind::icon;
        f.subject = "icon " + number(frame.width(), "%.0f") + "x" + number(frame.height(), "%.0f");
        f.ancestry = ancestryOf(view);
        f.where = whereOf(f.ancestry);
        f.frame = frame;
        f.style = style;
        f.pointSize = std::max(frame.width(), frame.height());
        f.required = ContrastAudit::iconRatio;
        item.visible = frame.intersection(clip);
        if (auto ink = inkOf(*shown)) {
            ink->alpha *= alpha;
            item.ownColors.push_back(*ink);
        }
        item.order = m_order;
        icons.insert(&layer);
        items.push_back(std::move(item));
    }

    // The text or icon that a view shows itself.
    void addItems(const UIView& view, UIUserInterfaceStyle style, CGFloat alpha, const CGRect& clip)
    {
        if (const auto* label = dynamic_cast<const UILabel*>(&view)) {
            addLabel(*label, style, alpha, clip);
        } else if (const auto* field = dynamic_cast<const UITextField*>(&view)) {
            if (!field->text().empty())
                addText(view, field->text(), view.bounds(), field->font(), { field->textColor() }, style,
                    alpha, clip);
            else if (const auto* withColor = dynamic_cast<const QMUITextField*>(&view))
                addText(view, field->placeholder(), view.bounds(), field->font(),
                    { withColor->placeholderColor() }, style, alpha, clip);
            else
                addText(view, field->placeholder(), view.bounds(), field->font(), {}, style, alpha, clip);
        } else if (const auto* textView = dynamic_cast<const UITextView*>(&view)) {
            const auto* withPlaceholder = dynamic_cast<const QMUITextView*>(&view);
            if (!textView->text().empty())
                addText(view, textView->text(), view.bounds(), textView->font(), { textView->textColor() },
                    style, alpha, clip);
            else if (withPlaceholder)
                addText(view, withPlaceholder->placeholder(), view.bounds(), textView->font(),
                    { withPlaceholder->placeholderColor() }, style, alpha, clip);
        } else if (const auto* image = dynamic_cast<const UIImageView*>(&view)) {
            addIcon(*image, style, alpha, clip);
        }
    }

    // Texts and icons of a control that is turned off are not judged, as the accessibility guidelines
    // ask nothing of an inactive control; what the control draws still lies behind what covers it.
    void walk(const UIView& view, CGRect clip, CGFloat alpha, bool inactive = false)
    {
        if (view.isHidden() || view.alpha() < 0.01)
            return;
        if (const auto* control = dynamic_cast<const UIControl*>(&view); control && !control->isEnabled())
            inactive = true;
        alpha *= view.alpha();
        std::size_t order = ++m_order;
        UIUserInterfaceStyle style = view.traitCollection().userInterfaceStyle;
        CGRect frame = onScreen(view, view.bounds());
        std::size_t firstItem = items.size();
        if (drawsItself(view, style))
            painters.push_back({ frame.intersection(clip), order });

        if (!inactive)
            addItems(view, style, alpha, clip);

        // A view that clips shows its subviews only within its own rectangle.
        CGRect inside = view.clipsToBounds() ? clip.intersection(frame) : clip;
        if (!inside.isEmpty()) {
            for (const auto& sub : view.subviews())
                walk(*sub, inside, alpha, inactive);
        }
        for (std::size_t i = firstItem; i < items.size(); ++i)
            if (items[i].order == order)
                items[i].lastInside = m_order;
    }

    CGAffineTransform m_toScreen;
    std::size_t m_order = 0;
};

// Reads the screen's pixels (Cairo's native-endian words, alpha or padding on top).
class Pixels {
public:
    explicit Pixels(const UIImage& image)
        : m_surface(image.cairoSurface())
    {
        if (!m_surface)
            return;
        cairo_surface_flush(m_surface);
        m_data = cairo_image_surface_get_data(m_surface);
        m_stride = cairo_image_surface_get_stride(m_surface);
        m_width = cairo_image_surface_get_width(m_surface);
        m_height = cairo_image_surface_get_height(m_surface);
    }
    int width() const { return m_width; }
    int height() const { return m_height; }
    bool valid() const { return m_data != nullptr; }
    std::uint32_t at(int x, int y) const
    {
        return reinterpret_cast<const std::uint32_t*>(m_data + static_cast<std::ptrdiff_t>(y) * m_stride)[x];
    }
    static UIColor::RGBA color(std::uint32_t p)
    {
        return { ((p >> 16) & 0xff) / 255.0, ((p >> 8) & 0xff) / 255.0, (p & 0xff) / 255.0, 1 };
    }
    static int difference(std::uint32_t a, std::uint32_t b)
    {
        int d = 0;
        for (int shift : { 0, 8, 16 })
            d = std::max(
                d, std::abs(static_cast<int>((a >> shift) & 0xff) - static_cast<int>((b >> shift) & 0xff)));
        return d;
    }

private:
    cairo_surface_t* m_surface = nullptr;
    const unsigned char* m_data = nullptr;
    int m_stride = 0;
    int m_width = 0;
    int m_height = 0;
};

struct Box {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool empty() const { return x1 <= x0 || y1 <= y0; }
    bool contains(int x, int y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
    long area() const { return empty() ? 0 : static_cast<long>(x1 - x0) * (y1 - y0); }
};

// The whole pixels inside a rectangle of points.
Box pixelBox(const CGRect& rect, CGFloat scale, const Pixels& pixels)
{
    if (rect.isNull() || rect.isEmpty())
        return {};
    auto clampTo = [](double v, int high) { return static_cast<int>(std::clamp<double>(v, 0, high)); };
    return { clampTo(std::ceil(rect.minX() * scale - 1e-6), pixels.width()),
        clampTo(std::ceil(rect.minY() * scale - 1e-6), pixels.height()),
        clampTo(std::floor(rect.maxX() * scale + 1e-6), pixels.width()),
        clampTo(std::floor(rect.maxY() * scale + 1e-6), pixels.height()) };
}

// Differences smaller than this are the same colour (antialiasing noise, rounding).
constexpr int seenDifference = 8;
// A pixel takes part in the measure when it changed at least this share of the most any did:
// the full strokes of the glyphs, not their softened edges.
constexpr double strokeShare = 0.6;
// Less of it in sight than this share: it lies under something and is not judged.
constexpr double leastInSight = 0.3;

std::optional<ContrastFinding> measure(const Item& item, const std::vector<Item>& items,
    const std::vector<Painter>& painters, const Pixels& shown, const Pixels& behind, CGFloat scale)
{
    Box box = pixelBox(item.visible, scale, shown);
    if (box.empty())
        return std::nullopt;
    std::vector<Box> coveredBoxes;
    for (const Painter& painter : painters) {
        if (painter.order <= item.lastInside || !painter.visible.intersects(item.visible))
            continue;
        Box covered = pixelBox(painter.visible.insetBy(-1 / scale, -1 / scale), scale, shown);
        if (!covered.empty())
            coveredBoxes.push_back(covered);
    }
    // Every text and icon is left out of the drawing behind: where another one overlaps this one,
    // what changed is not this one's alone.
    for (const Item& other : items) {
        if (&other == &item || !other.visible.intersects(item.visible))
            continue;
        Box overlapping = pixelBox(other.visible.intersection(item.visible), scale, shown);
        if (!overlapping.empty())
            coveredBoxes.push_back(overlapping);
    }
    auto inSight = [&](int x, int y) {
        return std::none_of(
            coveredBoxes.begin(), coveredBoxes.end(), [&](const Box& b) { return b.contains(x, y); });
    };

    long seen = 0;
    int most = 0;
    for (int y = box.y0; y < box.y1; ++y) {
        for (int x = box.x0; x < box.x1; ++x) {
            if (!inSight(x, y))
                continue;
            ++seen;
            most = std::max(most, Pixels::difference(shown.at(x, y), behind.at(x, y)));
        }
    }
    if (seen < leastInSight * static_cast<double>(box.area()))
        return std::nullopt;

    ContrastFinding finding = item.finding;
    // The pixels behind its strokes (or, when nothing of it shows, behind all of it).
    std::vector<std::uint32_t> behindStrokes;
    std::uint32_t ink = 0;
    int threshold = std::max(seenDifference, static_cast<int>(std::ceil(most * strokeShare)));
    int inkDifference = -1;
    for (int y = box.y0; y < box.y1; ++y) {
        for (int x = box.x0; x < box.x1; ++x) {
            std::uint32_t a = shown.at(x, y), b = behind.at(x, y);
            int d = Pixels::difference(a, b);
            if ((most >= seenDifference && d < threshold) || !inSight(x, y))
                continue;
            behindStrokes.push_back(b);
            if (d > inkDifference) {
                inkDifference = d;
                ink = a;
            }
        }
    }
    finding.unseen = most < seenDifference;
    // A text is judged in its own colours, as they are given, over what its strokes cover: the
    // glyphs' softened edges never reach the full colour. Nine tenths of its strokes must reach the
    // ratio. An icon is judged in the colour that stands out most of it, as drawn: enough of its
    // shape to make it out; half of it must.
    bool text = item.finding.kind == ContrastFinding::Kind::text;
    std::vector<UIColor::RGBA> inks = item.ownColors;
    // A text whose colours are not known (a system placeholder) is judged as drawn, like an icon.
    if (!finding.unseen && (!text || inks.empty()))
        inks = { Pixels::color(ink) };
    if (inks.empty())
        return std::nullopt;
    if (behindStrokes.empty())
        return std::nullopt;
    double share = text ? 0.1 : 0.5;
    auto pick = static_cast<std::ptrdiff_t>(share * static_cast<double>(behindStrokes.size() - 1));
    bool judged = false;
    for (const UIColor::RGBA& own : inks) {
        std::vector<std::pair<double, std::uint32_t>> ratios;
        ratios.reserve(behindStrokes.size());
        // Backgrounds come in runs of the same pixel: each is worked out once in a row.
        std::uint32_t last = 0;
        double lastRatio = -1;
        for (std::uint32_t b : behindStrokes) {
            if (lastRatio < 0 || b != last) {
                UIColor::RGBA back = Pixels::color(b);
                last = b;
                lastRatio = contrastRatio(over(own, back), back);
            }
            ratios.push_back({ lastRatio, b });
        }
        std::nth_element(ratios.begin(), ratios.begin() + pick, ratios.end());
        auto [ratio, back] = ratios[static_cast<std::size_t>(pick)];
        if (judged && ratio >= finding.ratio)
            continue;
        judged = true;
        finding.ratio = ratio;
        finding.background = Pixels::color(back);
        finding.foreground = over(own, finding.background);
    }
    // Nothing of it shows, yet its colours would: it is cut away by its own view, not unreadable.
    if (finding.unseen && finding.passes())
        return std::nullopt;
    return finding;
}

}

double contrastRatio(const UIColor::RGBA& a, const UIColor::RGBA& b)
{
    double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool ContrastFinding::passes() const
{
    // Ratios are worked out from whole 8-bit channels; a hair below is the same colour pair.
    return ratio + 0.005 >= required;
}

std::string ContrastFinding::description() const
{
    // One line, however long the text.
    std::string shown;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < subject.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(subject[i]);
        if ((c & 0xC0) != 0x80 && ++characters > 40) {
            shown += "…";
            break;
        }
        shown += c == '\n' ? std::string("\\n") : c == '"' ? std::string("\\\"") : std::string(1, subject[i]);
    }
    std::string what = kind == Kind::text ? "\"" + shown + "\"" : shown;
    std::string size = kind == Kind::text ? number(pointSize, "%.0f") + (bold ? " pt bold" : " pt") : "";
    // A translucent colour is named as the view was given it too: that is what an allowance names.
    std::string given;
    for (const UIColor::RGBA& c : colors) {
        if (c.alpha >= 0.999)
            continue;
        char alpha[4];
        std::snprintf(alpha, sizeof alpha, "%02X",
            static_cast<int>(std::lround(std::clamp<CGFloat>(c.alpha, 0, 1) * 255)));
        given += (given.empty() ? " (given " : ", ") + hex(c) + alpha;
    }
    if (!given.empty())
        given += ")";
    std::string out = what + " (" + where + (size.empty() ? "" : ", " + size) + " at "
        + number(frame.minX(), "%.0f") + "," + number(frame.minY(), "%.0f") + ", "
        + (style == UIUserInterfaceStyle::dark ? "dark" : "light") + "): " + hex(foreground) + given + " on "
        + hex(background) + (unseen ? " (nothing of it shows)" : "") + " is " + number(ratio, "%.2f")
        + ":1, needs " + number(required, "%g") + ":1";
    return out;
}

std::vector<ContrastFinding> ContrastAudit::measureScreen(const UIImage& shownImage)
{
    auto windows = UIApplication::shared().windows();
    std::stable_sort(windows.begin(), windows.end(),
        [](const auto& a, const auto& b) { return a->windowLevel() < b->windowLevel(); });
    Collector collector;
    for (const auto& window : windows) {
        if (window->isHidden())
            continue;
        collector.walkWindow(*window);
    }
    if (collector.items.empty())
        return {};
    UIImage behindImage = Renderer::renderScreenBehind(collector.icons, shownImage.scale());
    Pixels shown(shownImage), behind(behindImage);
    if (!shown.valid() || !behind.valid() || shown.width() != behind.width()
        || shown.height() != behind.height())
        return {};
    std::vector<ContrastFinding> findings;
    for (const Item& item : collector.items)
        if (auto finding
            = measure(item, collector.items, collector.painters, shown, behind, shownImage.scale()))
            findings.push_back(std::move(*finding));
    return findings;
}
