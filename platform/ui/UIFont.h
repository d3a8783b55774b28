#pragma once

#include "platform/ui/CGGeometry.h"

#include <string>

// A font of the system family at a point size and weight. Metrics come from Pango with the
// installed CJK-capable family, so measured text matches drawn text.
class UIFont {
public:
    // Weights on the platform's scale (-1 ... 1).
    struct Weight {
        static constexpr CGFloat ultraLight = -0.8;
        static constexpr CGFloat thin = -0.6;
        static constexpr CGFloat light = -0.4;
        static constexpr CGFloat regular = 0;
        static constexpr CGFloat medium = 0.23;
        static constexpr CGFloat semibold = 0.3;
        static constexpr CGFloat bold = 0.4;
        static constexpr CGFloat heavy = 0.56;
        static constexpr CGFloat black = 0.62;
    };

    static constexpr const char* systemFamilyName = "WenQuanYi Micro Hei";

    UIFont();
    static UIFont systemFont(CGFloat size, CGFloat weight = Weight::regular);
    static UIFont boldSystemFont(CGFloat size);
    // A named family; unknown families fall back to the system family when drawn.
    static UIFont named(const std::string& family, CGFloat size, CGFloat weight = Weight::regular);

    UIFont withSize(CGFloat size) const;

    const std::string& familyName() const { return m_family; }
    CGFloat pointSize() const { return m_size; }
    CGFloat weight() const { return m_weight; }
    bool isBold() const { return m_weight >= Weight::semibold; }

    // Distance from the baseline to the top of the line (positive).
    CGFloat ascender() const;
    // Distance from the baseline to the bottom of the line (negative, as on the phone).
    CGFloat descender() const;
    // Height of one line of text in this font.
    CGFloat lineHeight() const;

    // Weight on the CSS scale (100 ... 900) used by the text engine.
    int cssWeight() const;

    bool operator==(const UIFont&) const = default;

private:
    UIFont(std::string family, CGFloat size, CGFloat weight);

    std::string m_family;
    CGFloat m_size = 17;
    CGFloat m_weight = Weight::regular;
};
