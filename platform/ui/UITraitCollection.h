#pragma once

// Light or dark appearance. `unspecified` means "inherit from the container".
enum class UIUserInterfaceStyle {
    unspecified,
    light,
    dark,
};

struct UITraitCollection {
    UIUserInterfaceStyle userInterfaceStyle = UIUserInterfaceStyle::light;
    double displayScale = 3;

    bool operator==(const UITraitCollection&) const = default;
};
