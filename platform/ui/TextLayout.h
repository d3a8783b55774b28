#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIColor.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UIImage.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class CGContext;

enum class NSTextAlignment { left, center, right, justified, natural };

enum class NSLineBreakMode {
    byWordWrapping,
    byCharWrapping,
    byClipping,
    byTruncatingHead,
    byTruncatingTail,
    byTruncatingMiddle,
};

// A piece of text with its own attributes; attributes left unset take the defaults of whoever
// lays the text out (a label's font and colour, for instance).
struct TextRun {
    std::string text;
    std::optional<UIFont> font {};
    std::optional<UIColor> foregroundColor {};
    std::optional<UIColor> backgroundColor {};
    bool underline = false;
    bool strikethrough = false;
    // Extra space after each character, in points.
    CGFloat kern = 0;
    // Shift of the baseline upwards, in points.
    CGFloat baselineOffset = 0;
    // An inline picture in place of the text: the run stands for one character drawn as the image
    // at its own size, its bottom on the baseline (raised by baselineOffset).
    std::optional<UIImage> attachment {};

    bool operator==(const TextRun&) const = default;
};

// Styled text as runs plus paragraph settings: what labels and measuring take. Richer attributed
// strings turn themselves into this.
struct StyledText {
    std::vector<TextRun> runs {};
    // Extra space between lines, in points.
    CGFloat lineSpacing = 0;
    std::optional<NSTextAlignment> alignment {};
    std::optional<NSLineBreakMode> lineBreakMode {};

    static StyledText plain(std::string text);
    std::string string() const;
    bool empty() const;

    bool operator==(const StyledText&) const = default;
};

// Lays out styled text with Pango for measuring and drawing. Invalid UTF-8 is repaired.
class TextLayout {
public:
    TextLayout(StyledText text, UIFont font, UIColor color);

    // Wrapping width in points; none keeps every paragraph on one line.
    TextLayout& setWidth(std::optional<CGFloat> width);
    // At most this many lines (0: no limit).
    TextLayout& setMaximumNumberOfLines(int lines);
    // At most as many lines as fit this height (at least one line is kept).
    TextLayout& setMaximumHeight(std::optional<CGFloat> height);
    TextLayout& setLineBreakMode(NSLineBreakMode mode);
    TextLayout& setAlignment(NSTextAlignment alignment);

    // Size of the shown lines, rounded up to whole points; zero for empty text.
    CGSize size() const;
    // Number of shown lines.
    int lineCount() const;
    // Whether lines were dropped or shortened with an ellipsis.
    bool isTruncated() const;

    // Draws with the top-left corner of the layout box at `origin`; alignment works within the
    // wrapping width.
    void draw(CGContext& context, CGPoint origin) const;

    // Convenience: the size of plain text in a font.
    static CGSize measure(const std::string& text, const UIFont& font,
        std::optional<CGFloat> width = std::nullopt, int maximumLines = 0);

private:
    struct Built;
    // Layouts are kept while their text, attributes and settings stay the same (see TextLayout.cpp).
    std::shared_ptr<const Built> build(const CGContext* context) const;
    std::shared_ptr<const Built> layOut(const CGContext* context) const;

    StyledText m_text;
    UIFont m_font;
    UIColor m_color;
    std::optional<CGFloat> m_width;
    int m_maxLines = 0;
    std::optional<CGFloat> m_maxHeight;
    NSLineBreakMode m_lineBreakMode = NSLineBreakMode::byWordWrapping;
    NSTextAlignment m_alignment = NSTextAlignment::natural;
};
