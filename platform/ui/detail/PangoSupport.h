#pragma once

#include "platform/ui/UIFont.h"

#include <memory>
#include <pango/pangocairo.h>

namespace detail {

struct PangoFontDescriptionDeleter {
    void operator()(PangoFontDescription* d) const { pango_font_description_free(d); }
};
using FontDescriptionPtr = std::unique_ptr<PangoFontDescription, PangoFontDescriptionDeleter>;

struct GObjectDeleter {
    void operator()(void* object) const;
};
template<typename T> using GObjectPtr = std::unique_ptr<T, GObjectDeleter>;

FontDescriptionPtr makeFontDescription(const UIFont& font);

// The font options every measurement and drawing uses: grey antialiasing and unhinted metrics,
// so sizes do not depend on the output scale.
const cairo_font_options_t* textFontOptions();

// A Pango context for measuring outside any drawing (thread-local, as Pango's font maps are).
PangoContext* measuringContext();

// Prepares a layout made for a cairo context so it measures like the measuring context.
void configureContext(PangoContext* context);

}
