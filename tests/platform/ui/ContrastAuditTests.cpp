// The contrast check of the device's screenshots: texts and icons measured against what is drawn
// behind them, with the thresholds of the accessibility guidelines.

#include "platform/ui/Renderer.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/device/ContrastAudit.h"
#include "tests/platform/ui/ControllerTestSupport.h"

#include <gtest/gtest.h>
#include <optional>

namespace {

class ContrastAuditTest : public uitest::ControllerTest {
protected:
    void SetUp() override
    {
        uitest::ControllerTest::SetUp();
        window->setBackgroundColor(UIColor::white());
    }

    std::shared_ptr<UILabel> label(const std::string& text, const UIColor& color, const UIFont& font,
        const std::shared_ptr<UIView>& parent, CGRect frame = { 24, 100, 342, 40 })
    {
        auto l = std::make_shared<UILabel>(frame);
        l->setText(text);
        l->setTextColor(color);
        l->setFont(font);
        parent->addSubview(l);
        return l;
    }

    // The findings of the screen as it is now.
    std::vector<ContrastFinding> measure()
    {
        window->layoutIfNeeded();
        return ContrastAudit::measureScreen(Renderer::renderScreen());
    }

    std::optional<ContrastFinding> findingOf(const std::string& subject)
    {
        for (ContrastFinding& f : measure())
            if (f.subject == subject)
                return f;
        return std::nullopt;
    }
};

UIColor gray(int value)
{
    return UIColor::white(value / 255.0);
}

TEST_F(ContrastAuditTest, TextsNeedFourAndAHalfToOneAndLargeTextsThreeToOne)
{
    struct Case {
        const char* name;
        UIColor text;
        UIColor back;
        UIFont font;
        double ratio; // as the guidelines work it out for the two colours
        bool passes;
    };
    const Case cases[] = {
        { "black on white", UIColor::black(), UIColor::white(), UIFont::systemFont(14), 21, true },
        // #767676 is the lightest grey that body text may take on white; #777777 falls short.
        { "grey 118 on white", gray(118), UIColor::white(), UIFont::systemFont(14), 4.54, true },
        { "grey 119 on white", gray(119), UIColor::white(), UIFont::systemFont(14), 4.48, false },
        { "grey 119 on white, 18 pt", gray(119), UIColor::white(), UIFont::systemFont(18), 4.48, true },
        { "grey 119 on white, 14 pt bold", gray(119), UIColor::white(), UIFont::boldSystemFont(14), 4.48,
            true },
        { "grey 149 on white, 17 pt", gray(149), UIColor::white(), UIFont::systemFont(17), 3.03, false },
        { "grey 149 on white, 18 pt", gray(149), UIColor::white(), UIFont::systemFont(18), 3.03, true },
        { "white on a white bar", UIColor::white(), UIColor::white(), UIFont::systemFont(14), 1, false },
        { "navy at 0.3 on white", UIColor(29 / 255.0, 25 / 255.0, 66 / 255.0, 0.3), UIColor::white(),
            UIFont::systemFont(14), 1.94, false },
        { "white on black", UIColor::white(), UIColor::black(), UIFont::systemFont(10), 21, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto bar = UIView::create(CGRect { 0, 80, 390, 80 });
        bar->setBackgroundColor(c.back);
        window->addSubview(bar);
        label("Zentavo 影片", c.text, c.font, bar, { 24, 20, 342, 40 });
        auto found = findingOf("Zentavo 影片");
        ASSERT_TRUE(found);
        EXPECT_NEAR(found->ratio, c.ratio, 0.05) << found->description();
        EXPECT_EQ(found->passes(), c.passes) << found->description();
        EXPECT_DOUBLE_EQ(found->required, c.font.pointSize() >= 18 || c.font.isBold() ? 3 : 4.5);
        bar->removeFromSuperview();
    }
}

TEST_F(ContrastAuditTest, AFailureNamesTheTextWhereItIsBothColoursAndTheRatio)
{
    auto bar = UIView::create(CGRect { 0, 300, 390, 42 });
    bar->setBackgroundColor(UIColor::white());
    window->addSubview(bar);
    label("分类 / 地区", UIColor::white(), UIFont::systemFont(14), bar, { 24, 0, 342, 42 });
    auto found = findingOf("分类 / 地区");
    ASSERT_TRUE(found);
    EXPECT_TRUE(found->unseen);
    EXPECT_EQ(found->description(),
        "\"分类 / 地区\" (UILabel in UIWindow, 14 pt at 24,312, light): #FFFFFF on #FFFFFF (nothing of it "
        "shows) is 1.00:1, "
        "needs 4.5:1");
}

TEST_F(ContrastAuditTest, AControlTurnedOffIsNotJudgedAndATranslucentColourIsNamedAsGiven)
{
    UIColor faint(29 / 255.0, 25 / 255.0, 66 / 255.0, 0.3);
    auto off = std::make_shared<UIButton>(CGRect { 24, 100, 160, 40 });
    off->setTitle("立即下载");
    off->setTitleColor(faint);
    off->setEnabled(false);
    window->addSubview(off);
    auto on = std::make_shared<UIButton>(CGRect { 200, 100, 160, 40 });
    on->setTitle("查看全部下载");
    on->setTitleColor(faint);
    window->addSubview(on);

    EXPECT_FALSE(findingOf("立即下载"));
    auto found = findingOf("查看全部下载");
    ASSERT_TRUE(found);
    EXPECT_FALSE(found->passes());
    EXPECT_NE(found->description().find("#BBBAC6 (given #1D19424D) on #FFFFFF"), std::string::npos)
        << found->description();
}

TEST_F(ContrastAuditTest, TheDarkStyleIsMeasuredAsDrawn)
{
    window->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::dark);
    window->setBackgroundColor(UIColor::systemBackground());
    label("readable", UIColor::label(), UIFont::systemFont(14), window, { 24, 100, 342, 40 });
    label("black on black", UIColor::black(), UIFont::systemFont(14), window, { 24, 200, 342, 40 });
    auto readable = findingOf("readable");
    auto unreadable = findingOf("black on black");
    ASSERT_TRUE(readable && unreadable);
    EXPECT_TRUE(readable->passes()) << readable->description();
    EXPECT_EQ(readable->style, UIUserInterfaceStyle::dark);
    EXPECT_FALSE(unreadable->passes());
    EXPECT_NE(unreadable->description().find("#000000 on #000000"), std::string::npos)
        << unreadable->description();
}

TEST_F(ContrastAuditTest, WhatIsCoveredClippedOrHiddenIsNotJudged)
{
    // Under an opaque sheet, under a dimmed backdrop, scrolled out of its clipping view, hidden,
    // transparent: none of these is in sight.
    label("under the sheet", UIColor::white(), UIFont::systemFont(14), window, { 24, 100, 342, 40 });
    auto sheet = UIView::create(CGRect { 0, 90, 390, 60 });
    sheet->setBackgroundColor(UIColor::white());
    window->addSubview(sheet);

    label("under the backdrop", UIColor::white(), UIFont::systemFont(14), window, { 24, 200, 342, 40 });
    auto backdrop = UIView::create(CGRect { 0, 190, 390, 60 });
    backdrop->setBackgroundColor(UIColor::black().withAlphaComponent(0.35));
    window->addSubview(backdrop);

    auto clipping = UIView::create(CGRect { 0, 300, 390, 50 });
    clipping->setClipsToBounds(true);
    window->addSubview(clipping);
    label("clipped away", UIColor::white(), UIFont::systemFont(14), clipping, { 24, 60, 342, 40 });

    label("hidden", UIColor::white(), UIFont::systemFont(14), window, { 24, 400, 342, 40 })->setHidden(true);
    label("transparent", UIColor::white(), UIFont::systemFont(14), window, { 24, 500, 342, 40 })->setAlpha(0);
    label("in sight", UIColor::white(), UIFont::systemFont(14), window, { 24, 600, 342, 40 });

    std::vector<std::string> measured;
    for (const ContrastFinding& f : measure())
        measured.push_back(f.subject);
    EXPECT_EQ(measured, std::vector<std::string> { "in sight" });
}

TEST_F(ContrastAuditTest, IconsOfTheBundleNeedThreeToOneAndPicturesAreLeftAlone)
{
    auto icon = [](const UIColor& ink, CGSize size, bool ofTheBundle) {
        UIImage image = UIImage::filled(ink, size, 3);
        return ofTheBundle ? image.markedAsBundleImage() : image;
    };
    struct Case {
        const char* name;
        UIImage image;
        std::optional<bool> passes; // none: not an icon
    };
    const Case cases[] = {
        { "dark grey arrow", icon(gray(100), { 20, 20 }, true), true },
        // #959595 on white is 3.03:1, #969696 2.99:1.
        { "light grey arrow", icon(gray(149), { 20, 20 }, true), true },
        { "lighter grey arrow", icon(gray(150), { 20, 20 }, true), false },
        { "white icon on white", icon(UIColor::white(), { 24, 24 }, true), false },
        { "a poster of the bundle", icon(UIColor::white(), { 103, 140 }, true), std::nullopt },
        { "a picture from outside", icon(UIColor::white(), { 20, 20 }, false), std::nullopt },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto view = std::make_shared<UIImageView>(c.image);
        view->setFrame({ 40, 100, c.image.size().width, c.image.size().height });
        window->addSubview(view);
        std::vector<ContrastFinding> found = measure();
        if (!c.passes) {
            EXPECT_TRUE(found.empty());
        } else {
            ASSERT_EQ(found.size(), 1u);
            EXPECT_EQ(found[0].kind, ContrastFinding::Kind::icon);
            EXPECT_DOUBLE_EQ(found[0].required, 3);
            EXPECT_EQ(found[0].passes(), *c.passes) << found[0].description();
        }
        view->removeFromSuperview();
    }
}

TEST_F(ContrastAuditTest, ATextIsMeasuredAgainstWhatIsReallyBehindItNotItsOwnBackground)
{
    // A clear label whose view has no colour of its own, over a picture-like band: black at the
    // top half, white at the bottom. A white text in the white half does not read.
    auto band = UIView::create(CGRect { 0, 100, 390, 100 });
    band->setBackgroundColor(UIColor::black());
    auto lower = UIView::create(CGRect { 0, 50, 390, 50 });
    lower->setBackgroundColor(UIColor::white());
    band->addSubview(lower);
    window->addSubview(band);
    label("on black", UIColor::white(), UIFont::systemFont(14), window, { 24, 105, 342, 40 });
    label("on white", UIColor::white(), UIFont::systemFont(14), window, { 24, 155, 342, 40 });
    auto onBlack = findingOf("on black");
    auto onWhite = findingOf("on white");
    ASSERT_TRUE(onBlack && onWhite);
    EXPECT_TRUE(onBlack->passes()) << onBlack->description();
    EXPECT_FALSE(onWhite->passes()) << onWhite->description();
}

}
