#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/UITraitCollection.h"

#include <functional>
#include <memory>
#include <string>

// An RGBA colour with components in 0...1. A colour may be dynamic: it then carries a light and a
// dark variant and is resolved against an interface style when it is drawn. A provided colour is
// worked out anew by its provider whenever it is resolved or its components are read (the
// theme-aware colours of the UI component framework).
class UIColor {
public:
    struct RGBA {
        CGFloat red = 0, green = 0, blue = 0, alpha = 0;
        bool operator==(const RGBA&) const = default;
    };

    // The colour made without components: transparent black.
    UIColor() = default;
    UIColor(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);
    static UIColor white(CGFloat white, CGFloat alpha = 1);
    // light is used for light and unspecified styles, dark for the dark style.
    static UIColor dynamic(const UIColor& light, const UIColor& dark);
    // The provider runs on every read; it may return plain, dynamic or other provided colours.
    static UIColor provided(std::function<UIColor()> provider);

    static UIColor black() { return { 0, 0, 0, 1 }; }
    static UIColor white() { return { 1, 1, 1, 1 }; }
    static UIColor clear() { return { 0, 0, 0, 0 }; }
    static UIColor red() { return { 1, 0, 0, 1 }; }
    static UIColor green() { return { 0, 1, 0, 1 }; }
    static UIColor blue() { return { 0, 0, 1, 1 }; }
    static UIColor yellow() { return { 1, 1, 0, 1 }; }
    static UIColor orange() { return { 1, 0.5, 0, 1 }; }
    static UIColor gray() { return { 0.5, 0.5, 0.5, 1 }; }
    static UIColor lightGray() { return { 2.0 / 3, 2.0 / 3, 2.0 / 3, 1 }; }
    static UIColor darkGray() { return { 1.0 / 3, 1.0 / 3, 1.0 / 3, 1 }; }
    // White in the light style, black in the dark style.
    static UIColor systemBackground();
    // Black in the light style, white in the dark style.
    static UIColor label();
    // The system's teal: #30B0C7 in the light style, #40C8E0 in the dark style.
    static UIColor systemTeal();
    // The system's blue (the default tint: buttons of alerts, sheets and bars), in the shades that
    // read as text on the system's own surfaces: #0062CC in the light style, #409CFF in the dark.
    static UIColor systemBlue();
    // The system's red of destructive actions, likewise: #D70015 light, #FF6961 dark.
    static UIColor systemRed();
    // Grey secondary text on the system's surfaces (an action sheet's title): #6C6C70 light,
    // #AEAEB2 dark.
    static UIColor secondaryLabel();

    bool isDynamic() const { return m_dark != nullptr; }
    bool isProvided() const { return m_provider != nullptr; }
    // The plain colour for a style; a plain colour resolves to itself.
    UIColor resolved(UIUserInterfaceStyle style) const;
    // Components of the light (or only) variant (for a provided colour: of what it provides now).
    RGBA rgba() const { return m_provider ? (*m_provider)().rgba() : m_rgba; }
    CGFloat redComponent() const { return rgba().red; }
    CGFloat greenComponent() const { return rgba().green; }
    CGFloat blueComponent() const { return rgba().blue; }
    CGFloat alphaComponent() const { return rgba().alpha; }

    // Same colour (both variants for a dynamic one, every answer of a provided one) with the given alpha.
    UIColor withAlphaComponent(CGFloat alpha) const;

    // "#RRGGBBAA" of the light variant, for dumps and messages.
    std::string debugDescription() const;

    // Provided colours are equal only to copies of themselves (same provider).
    bool operator==(const UIColor& other) const;

private:
    RGBA m_rgba;
    std::shared_ptr<const UIColor> m_dark;
    std::shared_ptr<const std::function<UIColor()>> m_provider;
};
