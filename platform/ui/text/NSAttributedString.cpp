#include "platform/ui/text/NSAttributedString.h"

#include <algorithm>
#include <glib.h>

namespace {

std::string validUtf8Text(const std::string& text)
{
    if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr))
        return text;
    gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    std::string result(valid);
    g_free(valid);
    return result;
}

// Bytes of the UTF-8 character that starts with this byte (the text is valid).
std::size_t sequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead < 0xE0)
        return 2;
    return lead < 0xF0 ? 3 : 4;
}

// Four-byte characters lie outside the basic plane and take a surrogate pair.
std::size_t utf16Units(std::size_t bytes)
{
    return bytes == 4 ? 2 : 1;
}

}

void NSAttributes::merge(const NSAttributes& other)
{
    auto take = [](auto& mine, const auto& theirs) {
        if (theirs)
            mine = theirs;
    };
    take(font, other.font);
    take(foregroundColor, other.foregroundColor);
    take(backgroundColor, other.backgroundColor);
    take(underline, other.underline);
    take(strikethrough, other.strikethrough);
    take(kern, other.kern);
    take(baselineOffset, other.baselineOffset);
    take(paragraphStyle, other.paragraphStyle);
    take(attachment, other.attachment);
}

NSAttributedString::NSAttributedString(const std::string& text, NSAttributes attributes)
    : m_text(validUtf8Text(text))
    , m_length(utf16Offset(m_text.size()))
{
    if (!m_text.empty())
        m_runs.push_back({ 0, std::move(attributes) });
}

NSAttributedString NSAttributedString::attachment(const UIImage& image, NSAttributes attributes)
{
    attributes.attachment = NSTextAttachment { image };
    return NSAttributedString("\xEF\xBF\xBC", std::move(attributes));
}

std::size_t NSAttributedString::byteOffset(std::size_t utf16Offset) const
{
    std::size_t bytes = 0;
    std::size_t units = 0;
    while (bytes < m_text.size()) {
        std::size_t length = sequenceLength(static_cast<unsigned char>(m_text[bytes]));
        // An offset inside a surrogate pair belongs to the character that the pair makes.
        if (units + utf16Units(length) > utf16Offset)
            break;
        units += utf16Units(length);
        bytes += length;
    }
    return bytes;
}

std::size_t NSAttributedString::utf16Offset(std::size_t byteOffset) const
{
    std::size_t units = 0;
    for (std::size_t bytes = 0; bytes < byteOffset && bytes < m_text.size();) {
        std::size_t length = sequenceLength(static_cast<unsigned char>(m_text[bytes]));
        units += utf16Units(length);
        bytes += length;
    }
    return units;
}

NSAttributes NSAttributedString::attributes(std::size_t location, NSRange* effectiveRange) const
{
    std::size_t byte = byteOffset(location);
    if (byte >= m_text.size()) {
        if (effectiveRange)
            *effectiveRange = { m_length, 0 };
        return {};
    }
    auto next = std::upper_bound(m_runs.begin(), m_runs.end(), byte,
        [](std::size_t offset, const Run& run) { return offset < run.start; });
    const Run& run = *(next - 1);
    if (effectiveRange) {
        std::size_t start = utf16Offset(run.start);
        std::size_t end = next == m_runs.end() ? m_length : utf16Offset(next->start);
        *effectiveRange = { start, end - start };
    }
    return run.attributes;
}

StyledText NSAttributedString::styledText() const
{
    StyledText styled;
    for (std::size_t i = 0; i < m_runs.size(); ++i) {
        const NSAttributes& a = m_runs[i].attributes;
        std::size_t end = i + 1 < m_runs.size() ? m_runs[i + 1].start : m_text.size();
        TextRun run;
        run.text = m_text.substr(m_runs[i].start, end - m_runs[i].start);
        run.font = a.font;
        run.foregroundColor = a.foregroundColor;
        run.backgroundColor = a.backgroundColor;
        run.underline = a.underline.value_or(false);
        run.strikethrough = a.strikethrough.value_or(false);
        run.kern = a.kern.value_or(0);
        run.baselineOffset = a.baselineOffset.value_or(0);
        if (!a.attachment) {
            styled.runs.push_back(std::move(run));
            continue;
        }
        // Each character of an attachment run shows the picture once.
        std::string characters = std::move(run.text);
        run.attachment = a.attachment->image;
        for (std::size_t at = 0; at < characters.size();) {
            std::size_t length = sequenceLength(static_cast<unsigned char>(characters[at]));
            run.text = characters.substr(at, length);
            styled.runs.push_back(run);
            at += length;
        }
    }
    if (!m_runs.empty() && m_runs.front().attributes.paragraphStyle) {
        const NSParagraphStyle& paragraph = *m_runs.front().attributes.paragraphStyle;
        styled.lineSpacing = paragraph.lineSpacing;
        styled.alignment = paragraph.alignment;
        styled.lineBreakMode = paragraph.lineBreakMode;
    }
    return styled;
}

std::size_t NSAttributedString::splitAt(std::size_t byte)
{
    auto next = std::upper_bound(m_runs.begin(), m_runs.end(), byte,
        [](std::size_t offset, const Run& run) { return offset < run.start; });
    if (next != m_runs.begin() && (next - 1)->start == byte)
        return static_cast<std::size_t>(next - 1 - m_runs.begin());
    Run copy { byte, (next - 1)->attributes };
    // The insertion may move the runs: measure from the new beginning.
    auto inserted = m_runs.insert(next, std::move(copy));
    return static_cast<std::size_t>(inserted - m_runs.begin());
}

void NSAttributedString::coalesce()
{
    std::vector<Run> runs;
    for (std::size_t i = 0; i < m_runs.size(); ++i) {
        std::size_t end = i + 1 < m_runs.size() ? m_runs[i + 1].start : m_text.size();
        if (m_runs[i].start == end)
            continue;
        if (!runs.empty() && runs.back().attributes == m_runs[i].attributes)
            continue;
        runs.push_back(m_runs[i]);
    }
    m_runs = std::move(runs);
}

void NSMutableAttributedString::append(const NSAttributedString& other)
{
    const NSAttributedString& tail = other;
    std::size_t offset = m_text.size();
    m_text += tail.m_text;
    m_length += tail.m_length;
    for (const Run& run : tail.m_runs)
        m_runs.push_back({ offset + run.start, run.attributes });
    coalesce();
}

bool NSMutableAttributedString::addAttributes(const NSAttributes& attributes, NSRange range)
{
    if (range.location > m_length || range.length > m_length - range.location)
        return false;
    std::size_t begin = byteOffset(range.location);
    std::size_t end = byteOffset(NSMaxRange(range));
    // An end inside a surrogate pair takes in the whole character.
    if (utf16Offset(end) < NSMaxRange(range))
        end += 4;
    if (begin >= end)
        return true;
    std::size_t first = splitAt(begin);
    std::size_t last = end < m_text.size() ? splitAt(end) : m_runs.size();
    for (std::size_t i = first; i < last; ++i)
        m_runs[i].attributes.merge(attributes);
    coalesce();
    return true;
}
