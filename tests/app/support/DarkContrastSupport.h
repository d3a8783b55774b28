#pragma once

// Contrast of texts and icons against what is really drawn behind them: the screen is rendered
// with the text or icon taken away, and its colour is measured against the pixels under it.
// Header only.

#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/UIImage.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UITextField.h"
#include "platform/ui/qmui/QMUITextField.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace darkcheck {

// What a text must reach against its background; large texts (18 pt, or 14 pt bold) and icons
// need less.
constexpr double bodyText = 4.5;
constexpr double largeText = 3.0;
constexpr double icon = 3.0;

// The colour of the most opaque pixel of an image (its drawn shape), unpremultiplied.
inline UIColor inkOf(const UIImage& image)
{
    cairo_surface_t* surface = image.cairoSurface();
    if (!surface)
        return UIColor::clear();
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    std::uint32_t best = 0;
    for (int y = 0; y < cairo_image_surface_get_height(surface); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
        for (int x = 0; x < cairo_image_surface_get_width(surface); ++x)
            if ((row[x] >> 24) > (best >> 24))
                best = row[x];
    }
    double a = (best >> 24) / 255.0;
    if (a == 0)
        return UIColor::clear();
    return { ((best >> 16) & 0xff) / 255.0 / a, ((best >> 8) & 0xff) / 255.0 / a, (best & 0xff) / 255.0 / a,
        a };
}

// The ink of a label, a button's title or image, a field's text or an image view's picture, as
// the view's style shows it.
struct Ink {
    std::string name;
    std::shared_ptr<UIView> view;
    // The text colour as set; for an icon, nothing: its picture is read.
    std::optional<UIColor> color;
    // The colour the light style keeps, as the screen's design gives it.
    std::optional<UIColor> light;
    double minimum = bodyText;
};

inline std::optional<UIImage> iconOf(UIView& view)
{
    if (auto* button = dynamic_cast<UIButton*>(&view))
        return button->image(button->state());
    if (auto* image = dynamic_cast<UIImageView*>(&view))
        return image->image();
    return std::nullopt;
}

inline UIColor::RGBA shownInk(const Ink& ink)
{
    UIUserInterfaceStyle style = ink.view->traitCollection().userInterfaceStyle;
    if (ink.color)
        return ink.color->resolved(style).rgba();
    std::optional<UIImage> picture = iconOf(*ink.view);
    if (!picture)
        return UIColor::clear().rgba();
    return inkOf(picture->resolved(style)).rgba();
}

// Takes the view's ink away while it lives, so that the screen shows what lies behind it.
class InkHidden {
public:
    explicit InkHidden(UIView& view)
    {
        if (auto* button = dynamic_cast<UIButton*>(&view)) {
            hide(*button->titleLabel());
            hide(*button->imageView());
        } else if (auto* field = dynamic_cast<QMUITextField*>(&view)) {
            UIColor text = field->textColor(), placeholder = field->placeholderColor();
            field->setTextColor(UIColor::clear());
            field->setPlaceholderColor(UIColor::clear());
            m_restore.push_back([field, text, placeholder] {
                field->setTextColor(text);
                field->setPlaceholderColor(placeholder);
            });
        } else {
            hide(view);
        }
    }
    ~InkHidden()
    {
        for (auto& restore : m_restore)
            restore();
    }
    InkHidden(const InkHidden&) = delete;
    InkHidden& operator=(const InkHidden&) = delete;

private:
    void hide(UIView& view)
    {
        bool hidden = view.isHidden();
        view.setHidden(true);
        m_restore.push_back([&view, hidden] { view.setHidden(hidden); });
    }

    std::vector<std::function<void()>> m_restore;
};

// The contrast of the ink against the pixels drawn under the view (the lowest but for a tenth,
// which an edge of a neighbour may take).
inline double contrastBehind(const Ink& ink)
{
    if (auto window = ink.view->window())
        window->layoutIfNeeded();
    UIColor::RGBA fore = shownInk(ink);
    CGRect frame = ink.view->convert(ink.view->bounds(), nullptr).insetBy(1, 1);
    UIImage screen;
    {
        InkHidden hidden(*ink.view);
        screen = Renderer::renderScreen(1);
    }
    CGRect bounds = UIScreen::main().bounds();
    int x0 = std::max(0, static_cast<int>(std::ceil(frame.minX())));
    int y0 = std::max(0, static_cast<int>(std::ceil(frame.minY())));
    int x1 = std::min(static_cast<int>(bounds.width()), static_cast<int>(std::floor(frame.maxX())));
    int y1 = std::min(static_cast<int>(bounds.height()), static_cast<int>(std::floor(frame.maxY())));
    std::vector<double> ratios;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            UIColor::RGBA back = screen.pixel(x, y);
            ratios.push_back(zvadaptive::contrastRatio(UIColor(fore.red, fore.green, fore.blue, fore.alpha),
                UIColor(back.red, back.green, back.blue, 1)));
        }
    }
    if (ratios.empty())
        return 0;
    std::sort(ratios.begin(), ratios.end());
    return ratios[ratios.size() / 10];
}

// In a window, with no hidden view on the way there, and at least partly on the screen.
inline bool shownOnScreen(const UIView& view)
{
    if (!view.window())
        return false;
    for (const UIView* v = &view; v; v = v->superview().get()) {
        if (v->isHidden() || v->alpha() <= 0)
            return false;
    }
    return view.convert(view.bounds(), nullptr).intersects(UIScreen::main().bounds());
}

// Every ink keeps its light colour and, in the style of its window, stands out from what is
// drawn behind it.
inline void expectReadable(const std::vector<Ink>& inks)
{
    for (const Ink& ink : inks) {
        SCOPED_TRACE(ink.name);
        ASSERT_TRUE(ink.view);
        if (ink.light && ink.color) {
            EXPECT_EQ(ink.color->resolved(UIUserInterfaceStyle::light), *ink.light)
                << ink.color->resolved(UIUserInterfaceStyle::light).debugDescription() << " instead of "
                << ink.light->debugDescription();
        }
        if (auto window = ink.view->window())
            window->layoutIfNeeded();
        EXPECT_TRUE(shownOnScreen(*ink.view));
        double ratio = contrastBehind(ink);
        EXPECT_GE(ratio, ink.minimum)
            << "ink "
            << UIColor(shownInk(ink).red, shownInk(ink).green, shownInk(ink).blue, shownInk(ink).alpha)
                   .debugDescription();
    }
}

}
