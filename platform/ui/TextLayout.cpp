#include "platform/ui/TextLayout.h"

#include "platform/ui/CGContext.h"
#include "platform/ui/detail/PangoSupport.h"

#include <algorithm>
#include <cmath>
#include <list>
#include <unordered_map>

StyledText StyledText::plain(std::string text)
{
    StyledText styled;
    TextRun run;
    run.text = std::move(text);
    styled.runs.push_back(std::move(run));
    return styled;
}

std::string StyledText::string() const
{
    std::string out;
    for (const auto& run : runs)
        out += run.text;
    return out;
}

bool StyledText::empty() const
{
    return std::all_of(runs.begin(), runs.end(), [](const TextRun& r) { return r.text.empty(); });
}

struct TextLayout::Built {
    detail::GObjectPtr<PangoLayout> layout;
    int shownLines = 0;
    bool truncated = false;
    // Size of the shown lines in points (not rounded).
    double width = 0;
    double height = 0;
};

TextLayout::TextLayout(StyledText text, UIFont font, UIColor color)
    : m_text(std::move(text))
    , m_font(std::move(font))
    , m_color(std::move(color))
{
    if (m_text.lineBreakMode)
        m_lineBreakMode = *m_text.lineBreakMode;
    if (m_text.alignment)
        m_alignment = *m_text.alignment;
}

TextLayout& TextLayout::setWidth(std::optional<CGFloat> width)
{
    if (width && (!std::isfinite(*width) || *width < 0))
        width = std::nullopt;
    m_width = width;
    return *this;
}

TextLayout& TextLayout::setMaximumNumberOfLines(int lines)
{
    m_maxLines = std::max(0, lines);
    return *this;
}

TextLayout& TextLayout::setMaximumHeight(std::optional<CGFloat> height)
{
    m_maxHeight = height;
    return *this;
}

TextLayout& TextLayout::setLineBreakMode(NSLineBreakMode mode)
{
    m_lineBreakMode = mode;
    return *this;
}

TextLayout& TextLayout::setAlignment(NSTextAlignment alignment)
{
    m_alignment = alignment;
    return *this;
}

namespace {

guint16 channel(CGFloat v)
{
    return static_cast<guint16>(std::lround(std::clamp<CGFloat>(v, 0, 1) * 65535));
}

void addColor(PangoAttrList* list, const UIColor::RGBA& c, unsigned start, unsigned end, bool background)
{
    PangoAttribute* color = background
        ? pango_attr_background_new(channel(c.red), channel(c.green), channel(c.blue))
        : pango_attr_foreground_new(channel(c.red), channel(c.green), channel(c.blue));
    PangoAttribute* alpha = background
        ? pango_attr_background_alpha_new(channel(c.alpha))
        : pango_attr_foreground_alpha_new(std::max<guint16>(1, channel(c.alpha)));
    for (PangoAttribute* a : { color, alpha }) {
        a->start_index = start;
        a->end_index = end;
        pango_attr_list_insert(list, a);
    }
}

// The object replacement character that an attachment run stands for.
constexpr const char* kAttachmentCharacter = "\xEF\xBF\xBC";

// Draws the picture of an attachment where Pango placed its shape; the current point is the
// shape's origin on the baseline.
void drawAttachment(cairo_t* cr, PangoAttrShape* shape, gboolean doPath, gpointer)
{
    if (doPath || !shape->data || !cairo_has_current_point(cr))
        return;
    const UIImage& image = *static_cast<const UIImage*>(shape->data);
    double x = 0;
    double y = 0;
    cairo_get_current_point(cr, &x, &y);
    CGRect rect { x + static_cast<double>(shape->logical_rect.x) / PANGO_SCALE,
        y + static_cast<double>(shape->logical_rect.y) / PANGO_SCALE,
        static_cast<double>(shape->logical_rect.width) / PANGO_SCALE,
        static_cast<double>(shape->logical_rect.height) / PANGO_SCALE };
    cairo_save(cr);
    CGContext context(cr);
    context.draw(image, rect);
    cairo_restore(cr);
}

// The shape of an attachment: the picture's size in points, standing on the baseline.
PangoAttribute* attachmentShape(const UIImage& image, CGFloat baselineOffset)
{
    CGSize size = image.size();
    int width = static_cast<int>(std::lround(size.width * PANGO_SCALE));
    int height = static_cast<int>(std::lround(size.height * PANGO_SCALE));
    int rise
        = std::isfinite(baselineOffset) ? static_cast<int>(std::lround(baselineOffset * PANGO_SCALE)) : 0;
    PangoRectangle rect { 0, -height - rise, width, height };
    return pango_attr_shape_new_with_data(
        &rect, &rect, new UIImage(image),
        [](gconstpointer data) -> gpointer { return new UIImage(*static_cast<const UIImage*>(data)); },
        [](gpointer data) { delete static_cast<UIImage*>(data); });
}

std::string validUtf8(const std::string& text)
{
    if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)
        && text.find('\0') == std::string::npos)
        return text;
    gchar* fixed = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    std::string out(fixed);
    g_free(fixed);
    return out;
}

}

namespace {

void appendBytes(std::string& key, const void* bytes, std::size_t size)
{
    key.append(static_cast<const char*>(bytes), size);
}

template<typename T> void append(std::string& key, const T& value)
{
    appendBytes(key, &value, sizeof value);
}

void append(std::string& key, const std::string& text)
{
    append(key, text.size());
    key += text;
}

void append(std::string& key, const UIFont& font)
{
    append(key, font.familyName());
    append(key, font.pointSize());
    append(key, font.cssWeight());
}

void append(std::string& key, const UIColor::RGBA& c)
{
    for (CGFloat v : { c.red, c.green, c.blue, c.alpha })
        append(key, v);
}

template<typename T> void append(std::string& key, const std::optional<T>& value)
{
    append(key, value.has_value());
    if (value)
        append(key, *value);
}

// The most recently used layouts of this thread (Pango's objects belong to the thread that made
// them), by everything that goes into them. Labels are laid out again for each measurement and
// each frame with the same text; shaping it once is enough.
class LayoutCache {
public:
    template<typename Built> std::shared_ptr<const Built> find(const std::string& key)
    {
        auto found = m_index.find(key);
        if (found == m_index.end())
            return nullptr;
        m_entries.splice(m_entries.begin(), m_entries, found->second);
        return std::static_pointer_cast<const Built>(found->second->second);
    }

    void insert(std::string key, std::shared_ptr<const void> built)
    {
        m_entries.emplace_front(key, std::move(built));
        m_index[std::move(key)] = m_entries.begin();
        if (m_entries.size() > capacity) {
            m_index.erase(m_entries.back().first);
            m_entries.pop_back();
        }
    }

private:
    static constexpr std::size_t capacity = 512;
    using Entry = std::pair<std::string, std::shared_ptr<const void>>;
    std::list<Entry> m_entries;
    std::unordered_map<std::string, std::list<Entry>::iterator> m_index;
};

}

std::shared_ptr<const TextLayout::Built> TextLayout::build(const CGContext* context) const
{
    UIUserInterfaceStyle style = context ? context->interfaceStyle() : UIUserInterfaceStyle::light;
    auto effective
        = [&](const UIColor& c) { return context ? context->effective(c) : c.resolved(style).rgba(); };

    // Everything the layout is made of, colours as they will be drawn.
    std::string key;
    for (const auto& run : m_text.runs) {
        append(key, run.text);
        append(key, run.font);
        append(key, effective(run.foregroundColor.value_or(m_color)));
        append(key, run.backgroundColor.has_value());
        if (run.backgroundColor)
            append(key, effective(*run.backgroundColor));
        append(key, run.underline);
        append(key, run.strikethrough);
        append(key, run.kern);
        append(key, run.baselineOffset);
        // A picture by its bitmap's identity and size: images are immutable.
        append(key, run.attachment.has_value());
        if (run.attachment) {
            append(key, static_cast<const void*>(run.attachment->cairoSurface()));
            append(key, run.attachment->size().width);
            append(key, run.attachment->size().height);
        }
    }
    append(key, m_text.runs.size());
    append(key, m_text.lineSpacing);
    append(key, m_font);
    append(key, m_width);
    append(key, m_maxLines);
    append(key, m_maxHeight);
    append(key, m_lineBreakMode);
    append(key, m_alignment);

    thread_local LayoutCache cache;
    if (auto kept = cache.find<Built>(key))
        return kept;
    auto built = layOut(context);
    cache.insert(std::move(key), built);
    return built;
}

std::shared_ptr<const TextLayout::Built> TextLayout::layOut(const CGContext* context) const
{
    auto result = std::make_shared<Built>();
    Built& built = *result;
    PangoContext* pango = detail::measuringContext();
    thread_local bool rendersAttachments = false;
    if (!rendersAttachments) {
        pango_cairo_context_set_shape_renderer(pango, drawAttachment, nullptr, nullptr);
        rendersAttachments = true;
    }
    built.layout.reset(pango_layout_new(pango));
    PangoLayout* layout = built.layout.get();

    auto baseFont = detail::makeFontDescription(m_font);
    pango_layout_set_font_description(layout, baseFont.get());

    UIUserInterfaceStyle style = context ? context->interfaceStyle() : UIUserInterfaceStyle::light;
    auto effective
        = [&](const UIColor& c) { return context ? context->effective(c) : c.resolved(style).rgba(); };

    std::string text;
    PangoAttrList* attrs = pango_attr_list_new();
    for (const auto& run : m_text.runs) {
        std::string piece = run.attachment ? std::string(kAttachmentCharacter) : validUtf8(run.text);
        if (piece.empty())
            continue;
        unsigned start = static_cast<unsigned>(text.size());
        text += piece;
        unsigned end = static_cast<unsigned>(text.size());
        if (run.font) {
            auto desc = detail::makeFontDescription(*run.font);
            PangoAttribute* a = pango_attr_font_desc_new(desc.get());
            a->start_index = start;
            a->end_index = end;
            pango_attr_list_insert(attrs, a);
        }
        addColor(attrs, effective(run.foregroundColor.value_or(m_color)), start, end, false);
        if (run.backgroundColor)
            addColor(attrs, effective(*run.backgroundColor), start, end, true);
        auto insert = [&](PangoAttribute* a) {
            a->start_index = start;
            a->end_index = end;
            pango_attr_list_insert(attrs, a);
        };
        if (run.underline)
            insert(pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        if (run.strikethrough)
            insert(pango_attr_strikethrough_new(TRUE));
        if (run.kern != 0 && std::isfinite(run.kern))
            insert(pango_attr_letter_spacing_new(static_cast<int>(run.kern * PANGO_SCALE)));
        if (run.attachment)
            insert(attachmentShape(*run.attachment, run.baselineOffset));
        else if (run.baselineOffset != 0 && std::isfinite(run.baselineOffset))
            insert(pango_attr_rise_new(static_cast<int>(run.baselineOffset * PANGO_SCALE)));
    }
    pango_layout_set_text(layout, text.c_str(), static_cast<int>(text.size()));
    pango_layout_set_attributes(layout, attrs);
    pango_attr_list_unref(attrs);
    if (text.empty())
        return result;

    if (m_text.lineSpacing > 0 && std::isfinite(m_text.lineSpacing))
        pango_layout_set_spacing(layout, static_cast<int>(m_text.lineSpacing * PANGO_SCALE));

    switch (m_alignment) {
    case NSTextAlignment::center:
        pango_layout_set_alignment(layout, PANGO_ALIGN_CENTER);
        break;
    case NSTextAlignment::right:
        pango_layout_set_alignment(layout, PANGO_ALIGN_RIGHT);
        break;
    case NSTextAlignment::justified:
        pango_layout_set_justify(layout, TRUE);
        [[fallthrough]];
    default:
        pango_layout_set_alignment(layout, PANGO_ALIGN_LEFT);
        break;
    }

    pango_layout_set_wrap(
        layout, m_lineBreakMode == NSLineBreakMode::byCharWrapping ? PANGO_WRAP_CHAR : PANGO_WRAP_WORD_CHAR);
    if (m_width)
        pango_layout_set_width(layout, static_cast<int>(std::floor(*m_width * PANGO_SCALE)));

    // How many lines may be shown: the explicit limit, and what fits the height.
    int limit = m_maxLines;
    if (m_maxHeight && std::isfinite(*m_maxHeight)) {
        int fitting = 0;
        PangoLayoutIter* iter = pango_layout_get_iter(layout);
        do {
            int y0, y1;
            pango_layout_iter_get_line_yrange(iter, &y0, &y1);
            if (fitting > 0 && y1 > *m_maxHeight * PANGO_SCALE + PANGO_SCALE / 2)
                break;
            ++fitting;
        } while (pango_layout_iter_next_line(iter));
        pango_layout_iter_free(iter);
        limit = limit > 0 ? std::min(limit, fitting) : fitting;
    }
    int total = pango_layout_get_line_count(layout);

    bool truncating = m_lineBreakMode == NSLineBreakMode::byTruncatingHead
        || m_lineBreakMode == NSLineBreakMode::byTruncatingMiddle
        || m_lineBreakMode == NSLineBreakMode::byTruncatingTail;
    if (truncating && m_width) {
        PangoEllipsizeMode mode = m_lineBreakMode == NSLineBreakMode::byTruncatingHead ? PANGO_ELLIPSIZE_START
            : m_lineBreakMode == NSLineBreakMode::byTruncatingMiddle ? PANGO_ELLIPSIZE_MIDDLE
                                                                     : PANGO_ELLIPSIZE_END;
        pango_layout_set_ellipsize(layout, mode);
        // Without a limit Pango would ellipsize every paragraph to one line.
        pango_layout_set_height(layout, limit > 0 ? -limit : G_MAXINT);
        built.truncated = pango_layout_is_ellipsized(layout);
        total = pango_layout_get_line_count(layout);
    }
    built.shownLines = limit > 0 ? std::min(limit, total) : total;
    if (built.shownLines < total)
        built.truncated = true;

    // Extent of the shown lines.
    PangoLayoutIter* iter = pango_layout_get_iter(layout);
    int line = 0;
    int maxWidth = 0, bottom = 0;
    do {
        if (line >= built.shownLines)
            break;
        PangoRectangle logical;
        pango_layout_iter_get_line_extents(iter, nullptr, &logical);
        maxWidth = std::max(maxWidth, logical.width);
        bottom = logical.y + logical.height;
        ++line;
    } while (pango_layout_iter_next_line(iter));
    pango_layout_iter_free(iter);
    built.width = static_cast<double>(maxWidth) / PANGO_SCALE;
    built.height = static_cast<double>(bottom) / PANGO_SCALE;
    return result;
}

CGSize TextLayout::size() const
{
    auto b = build(nullptr);
    if (b->shownLines == 0)
        return {};
    return { std::ceil(b->width - 1e-6), std::ceil(b->height - 1e-6) };
}

int TextLayout::lineCount() const
{
    return build(nullptr)->shownLines;
}

bool TextLayout::isTruncated() const
{
    return build(nullptr)->truncated;
}

void TextLayout::draw(CGContext& context, CGPoint origin) const
{
    if (!context.drawsText())
        return;
    auto kept = build(&context);
    const Built& b = *kept;
    if (b.shownLines == 0)
        return;
    cairo_t* cr = context.cairo();
    cairo_save(cr);
    // Lines beyond the limit are cut off rather than drawn.
    double clipWidth = m_width ? *m_width : b.width;
    cairo_rectangle(cr, origin.x - 2, origin.y, clipWidth + 4, b.height);
    cairo_clip(cr);
    cairo_move_to(cr, origin.x, origin.y);
    pango_cairo_show_layout(cr, b.layout.get());
    cairo_restore(cr);
}

CGSize TextLayout::measure(
    const std::string& text, const UIFont& font, std::optional<CGFloat> width, int maximumLines)
{
    return TextLayout(StyledText::plain(text), font, UIColor::black())
        .setWidth(width)
        .setMaximumNumberOfLines(maximumLines)
        .size();
}
