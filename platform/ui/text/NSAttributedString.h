#pragma once

#include "platform/text/NSRange.h"
#include "platform/ui/TextLayout.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Paragraph settings of styled text.
struct NSParagraphStyle {
    CGFloat lineSpacing = 0;
    std::optional<NSTextAlignment> alignment;
    std::optional<NSLineBreakMode> lineBreakMode;

    bool operator==(const NSParagraphStyle&) const = default;
};

// A picture that stands in the text for the character U+FFFC, at the image's own size.
struct NSTextAttachment {
    UIImage image;

    bool operator==(const NSTextAttachment&) const = default;
};

// An attribute dictionary: each attribute is either given or not. Adding attributes to text
// replaces the given ones and keeps the others.
struct NSAttributes {
    std::optional<UIFont> font {};
    std::optional<UIColor> foregroundColor {};
    std::optional<UIColor> backgroundColor {};
    std::optional<bool> underline {};
    std::optional<bool> strikethrough {};
    std::optional<CGFloat> kern {};
    std::optional<CGFloat> baselineOffset {};
    std::optional<NSParagraphStyle> paragraphStyle {};
    std::optional<NSTextAttachment> attachment {};

    // The given attributes of `other` over these.
    void merge(const NSAttributes& other);
    bool empty() const { return *this == NSAttributes {}; }

    bool operator==(const NSAttributes&) const = default;
};

// Text with attributes over ranges counted in UTF-16 units, as the platform's strings count
// them. The text is kept as UTF-8; invalid bytes become U+FFFD on the way in, so every offset
// means the same to everyone.
class NSAttributedString {
public:
    NSAttributedString() = default;
    explicit NSAttributedString(const std::string& text, NSAttributes attributes = {});
    // One attachment character (U+FFFC) showing the image.
    static NSAttributedString attachment(const UIImage& image, NSAttributes attributes = {});

    const std::string& string() const { return m_text; }
    // In UTF-16 units.
    std::size_t length() const { return m_length; }

    // The attributes at a UTF-16 position and, in *effectiveRange, the range over which they are
    // the same. Past the end: none, and an empty range at the end.
    NSAttributes attributes(std::size_t location, NSRange* effectiveRange = nullptr) const;
    // What labels and measuring take: one run per stretch of equal attributes; the paragraph
    // style of the first character applies to the whole text.
    StyledText styledText() const;

    bool operator==(const NSAttributedString&) const = default;

protected:
    friend class NSMutableAttributedString;

    // A stretch of equal attributes from a UTF-8 offset up to the next run's start (or the end).
    struct Run {
        std::size_t start = 0;
        NSAttributes attributes;
        bool operator==(const Run&) const = default;
    };

    // UTF-8 offset of a UTF-16 offset, moved back to the start of the character it falls in.
    std::size_t byteOffset(std::size_t utf16Offset) const;
    std::size_t utf16Offset(std::size_t byteOffset) const;
    // Makes a run start at the UTF-8 offset; the index of that run.
    std::size_t splitAt(std::size_t byteOffset);
    // Joins neighbouring runs of equal attributes and drops empty ones.
    void coalesce();

    std::string m_text;
    std::size_t m_length = 0;
    std::vector<Run> m_runs;
};

// Attributed text that can be added to and restyled. Ranges that reach past the end of the text
// are refused (false, nothing changes) instead of stopping the program.
class NSMutableAttributedString : public NSAttributedString {
public:
    using NSAttributedString::NSAttributedString;
    NSMutableAttributedString(const NSAttributedString& other)
        : NSAttributedString(other)
    { }

    void append(const NSAttributedString& other);
    // The given attributes over the range; others already there stay.
    bool addAttributes(const NSAttributes& attributes, NSRange range);
};
