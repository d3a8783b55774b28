// The round enter button of the account pages as the login page draws it, with its fields empty
// and filled: in both styles the waiting face's disc stands apart from the enabled accent, and
// in the dark style the waiting disc still shows on the page, its arrow seen on it but fainter
// than the enabled one's.

#include "app/MainController/Login/Controller/ZV_LoginViewVC.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/qmui/QMUITextField.h"
#include "tests/app/support/AccountTestSupport.h"
#include "tests/app/support/DarkContrastSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

using namespace zvtest;

namespace {

using Rgba = UIColor::RGBA;

double distance(const Rgba& a, const Rgba& b)
{
    return std::hypot(a.red - b.red, a.green - b.green, a.blue - b.blue);
}

double contrast(const Rgba& a, const Rgba& b)
{
    return zvadaptive::contrastRatio({ a.red, a.green, a.blue, 1 }, { b.red, b.green, b.blue, 1 });
}

// The pixels of a screen between two distances from a point.
std::vector<Rgba> ring(const UIImage& screen, CGPoint centre, CGFloat inner, CGFloat outer)
{
    std::vector<Rgba> pixels;
    for (int y = int(centre.y - outer); y <= int(centre.y + outer); ++y) {
        for (int x = int(centre.x - outer); x <= int(centre.x + outer); ++x) {
            double r = std::hypot(x + 0.5 - centre.x, y + 0.5 - centre.y);
            if (r >= inner && r <= outer)
                pixels.push_back(screen.pixel(x, y));
        }
    }
    return pixels;
}

Rgba mean(const std::vector<Rgba>& pixels)
{
    Rgba sum { 0, 0, 0, 1 };
    for (const Rgba& p : pixels) {
        sum.red += p.red / pixels.size();
        sum.green += p.green / pixels.size();
        sum.blue += p.blue / pixels.size();
    }
    return sum;
}

// The button as the screen shows it: the mean of the ring between the arrow and the rim (the
// disc), the same ring with the button taken away (the page under it), and the pixel within the
// arrow's reach that stands out most from the disc.
struct Face {
    Rgba disc, page, arrow;
};

class EnterButtonTest : public AccountScreenTest {
protected:
    void TearDown() override
    {
        // The window lives for the whole program.
        if (window)
            window->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::unspecified);
        AccountScreenTest::TearDown();
    }

    Face faceOf(UIButton& button)
    {
        window->layoutIfNeeded();
        CGRect frame = button.convert(button.bounds(), nullptr);
        CGPoint centre = frame.center();
        CGFloat radius = frame.width() / 2;
        UIImage screen = Renderer::renderScreen(1);
        UIImage page;
        {
            darkcheck::InkHidden hidden(button);
            page = Renderer::renderScreen(1);
        }
        Rgba disc = mean(ring(screen, centre, 0.55 * radius, 0.85 * radius)), arrow = disc;
        for (const Rgba& pixel : ring(screen, centre, 0, 0.45 * radius)) {
            if (distance(pixel, disc) > distance(arrow, disc))
                arrow = pixel;
        }
        return { disc, mean(ring(page, centre, 0.55 * radius, 0.85 * radius)), arrow };
    }
};

}

TEST_F(EnterButtonTest, TheWaitingFaceLooksApartFromTheEnabledOneAndShowsItsDiscInTheDark)
{
    for (UIUserInterfaceStyle style : { UIUserInterfaceStyle::light, UIUserInterfaceStyle::dark }) {
        bool dark = style == UIUserInterfaceStyle::dark;
        SCOPED_TRACE(dark ? "dark" : "light");
        window->setOverrideUserInterfaceStyle(style);
        auto login = std::make_shared<ZV_LoginViewVC>();
        push(login);
        UIButton& button = *login->zv_loginBtn();
        ASSERT_FALSE(button.isEnabled());
        Face waiting = faceOf(button);
        type(*login->zv_accountField(), "xiaoyu2023");
        type(*login->zv_passwdField(), "secret");
        ASSERT_TRUE(button.isEnabled());
        Face ready = faceOf(button);

        // The disc tells the states apart, whatever the arrow does.
        EXPECT_GT(distance(waiting.disc, ready.disc), 0.5);
        if (dark) {
            // A disc of its own on the dimmed picture, not an arrow floating on the page.
            EXPECT_GT(contrast(waiting.disc, waiting.page), 1.3);
            // The arrow is seen, and plainly fainter than the one that asks for the tap: a
            // bright arrow on the grey disc reads as a button to press.
            EXPECT_GE(contrast(waiting.arrow, waiting.disc), 3.0);
            EXPECT_LT(contrast(waiting.arrow, waiting.disc), 0.6 * contrast(ready.arrow, ready.disc));
        }
        navigation->popViewController(false);
        drain();
    }
}
