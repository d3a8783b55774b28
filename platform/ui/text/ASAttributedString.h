#pragma once

#include "platform/ui/text/NSAttributedString.h"

#include <string>

// The attributed-string framework's value: a platform attributed string put together from styled
// pieces of text and inline pictures with +. Pictures keep their own size; `baselineOffset`
// moves one up (positive) or down against the text line.
class ASAttributedString {
public:
    ASAttributedString() = default;
    explicit ASAttributedString(NSAttributedString value)
        : m_value(std::move(value))
    { }
    explicit ASAttributedString(const std::string& text, NSAttributes attributes = {})
        : m_value(text, std::move(attributes))
    { }

    // One picture at its own size.
    static ASAttributedString image(const UIImage& image, CGFloat baselineOffset = 0);

    const NSAttributedString& value() const { return m_value; }
    const std::string& string() const { return m_value.string(); }

    ASAttributedString& operator+=(const ASAttributedString& other);
    friend ASAttributedString operator+(ASAttributedString left, const ASAttributedString& right)
    {
        left += right;
        return left;
    }

    bool operator==(const ASAttributedString&) const = default;

private:
    NSMutableAttributedString m_value;
};
