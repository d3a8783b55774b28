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

using namespace zvtest;

namespace {

using Rgba = UIColor::RGBA;

double distance(const Rgba& a, const Rgba& b)
{
    return std::hypot(a.red - b.red, a.green - b.green, a.blue - b.blue);
}

UIColor opaque(const Rgba& c)
{
    return { c.red, c.green, c.blue, 1 };
}

// The button as the screen shows it: the mean colour of the ring between the arrow and the rim,
// the same ring with the button taken away (the page under it), and the arrow's pixel that
// stands out most from the disc.
struct Face {
    Rgba disc;
    Rgba page;
    Rgba arrow;

    double arrowContrast() const { return zvadaptive::contrastRatio(opaque(arrow), opaque(disc)); }
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
        UIImage screen = Renderer::renderScreen(1);
        UIImage page;
        {
            darkcheck::InkHidden hidden(button);
            page = Renderer::renderScreen(1);
        }
        CGPoint centre = frame.center();
        CGFloat radius = frame.width() / 2;
        Face face { ringMean(screen, centre, 0.55 * radius, 0.85 * radius),
            ringMean(page, centre, 0.55 * radius, 0.85 * radius), {} };
        double farthest = -1;
        forRing(screen, centre, 0, 0.45 * radius, [&](const Rgba& pixel) {
            if (double d = distance(pixel, face.disc); d > farthest) {
                farthest = d;
                face.arrow = pixel;
            }
        });
        return face;
    }

private:
    template<typename Visit>
    static void forRing(const UIImage& screen, CGPoint centre, CGFloat inner, CGFloat outer, Visit visit)
    {
        for (int y = int(centre.y - outer); y <= int(centre.y + outer); ++y) {
            for (int x = int(centre.x - outer); x <= int(centre.x + outer); ++x) {
                double r = std::hypot(x + 0.5 - centre.x, y + 0.5 - centre.y);
                if (r >= inner && r <= outer)
                    visit(screen.pixel(x, y));
            }
        }
    }

    static Rgba ringMean(const UIImage& screen, CGPoint centre, CGFloat inner, CGFloat outer)
    {
        Rgba sum { 0, 0, 0, 1 };
        int count = 0;
        forRing(screen, centre, inner, outer, [&](const Rgba& pixel) {
            sum.red += pixel.red;
            sum.green += pixel.green;
            sum.blue += pixel.blue;
            ++count;
        });
        if (count == 0)
            return sum;
        return { sum.red / count, sum.green / count, sum.blue / count, 1 };
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
            EXPECT_GT(distance(waiting.disc, waiting.page), 0.12);
            EXPECT_GT(zvadaptive::contrastRatio(opaque(waiting.disc), opaque(waiting.page)), 1.3);
            // The arrow is seen, and fainter than the one that asks for the tap.
            EXPECT_GE(waiting.arrowContrast(), 3.0);
            EXPECT_LT(waiting.arrowContrast(), ready.arrowContrast());
        }
        navigation->popViewController(false);
        drain();
    }
}
