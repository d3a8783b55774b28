#include "platform/ui/qmui/detail/Graphemes.h"

#include <pango/pango.h>

namespace detail {

namespace {

// Offsets of the characters of a run of valid UTF-8, by Pango's cursor positions (grapheme
// cluster boundaries), shifted by `base`.
void appendValidRun(std::string_view run, std::size_t base, std::vector<std::size_t>& out)
{
    if (run.empty())
        return;
    glong chars = g_utf8_strlen(run.data(), static_cast<gssize>(run.size()));
    std::vector<PangoLogAttr> attrs(static_cast<std::size_t>(chars) + 1);
    pango_get_log_attrs(run.data(), static_cast<int>(run.size()), -1, pango_language_get_default(),
        attrs.data(), static_cast<int>(attrs.size()));
    const char* p = run.data();
    for (glong i = 0; i < chars; ++i) {
        if (attrs[static_cast<std::size_t>(i)].is_cursor_position || i == 0)
            out.push_back(base + static_cast<std::size_t>(p - run.data()));
        p = g_utf8_next_char(p);
    }
}

}

std::vector<std::size_t> graphemeStarts(std::string_view text)
{
    std::vector<std::size_t> out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const gchar* end = nullptr;
        std::string_view rest = text.substr(pos);
        g_utf8_validate(rest.data(), static_cast<gssize>(rest.size()), &end);
        std::size_t valid = static_cast<std::size_t>(end - rest.data());
        appendValidRun(rest.substr(0, valid), pos, out);
        pos += valid;
        if (pos < text.size()) {
            out.push_back(pos); // one ill-formed byte, one character
            ++pos;
        }
    }
    out.push_back(text.size());
    return out;
}

std::size_t graphemeLength(std::string_view text)
{
    return graphemeStarts(text).size() - 1;
}

std::string graphemePrefix(std::string_view text, std::size_t count)
{
    auto starts = graphemeStarts(text);
    if (count + 1 >= starts.size())
        return std::string(text);
    return std::string(text.substr(0, starts[count]));
}

}
