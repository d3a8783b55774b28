#include "platform/ui/detail/PangoSupport.h"

#include <cmath>

namespace detail {

void GObjectDeleter::operator()(void* object) const
{
    if (object)
        g_object_unref(object);
}

FontDescriptionPtr makeFontDescription(const UIFont& font)
{
    FontDescriptionPtr desc(pango_font_description_new());
    // The named family first, then the system family for any glyph it lacks.
    std::string families = font.familyName();
    if (families != UIFont::systemFamilyName)
        families += std::string(",") + UIFont::systemFamilyName;
    pango_font_description_set_family(desc.get(), families.c_str());
    CGFloat size = font.pointSize() > 0 && std::isfinite(font.pointSize()) ? font.pointSize() : 1;
    pango_font_description_set_absolute_size(desc.get(), size * PANGO_SCALE);
    pango_font_description_set_weight(desc.get(), static_cast<PangoWeight>(font.cssWeight()));
    return desc;
}

const cairo_font_options_t* textFontOptions()
{
    static cairo_font_options_t* options = [] {
        cairo_font_options_t* o = cairo_font_options_create();
        cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_OFF);
        return o;
    }();
    return options;
}

void configureContext(PangoContext* context)
{
    pango_cairo_context_set_font_options(context, textFontOptions());
    pango_cairo_context_set_resolution(context, 72);
#if PANGO_VERSION_CHECK(1, 44, 0)
    pango_context_set_round_glyph_positions(context, FALSE);
#endif
}

namespace {

// Font maps and their caches live until the thread ends. The process-wide caches of Cairo, Pango
// and fontconfig live until exit; leak-checked runs suppress them (scripts/lsan.supp).
struct ThreadFonts {
    GObjectPtr<PangoFontMap> map { pango_cairo_font_map_new() };
    GObjectPtr<PangoContext> context { pango_font_map_create_context(map.get()) };
    ThreadFonts() { configureContext(context.get()); }
};

}

PangoContext* measuringContext()
{
    thread_local ThreadFonts fonts;
    return fonts.context.get();
}

}
