// The player's controls and prompts over the picture: their white and bright texts read over any
// frame, a white one included, in portrait and in full screen.

#include "platform/media/SJEdgeControlLayer.h"
#include "platform/media/SJPlayerViews.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIColor.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/device/ContrastAudit.h"
#include "tests/support/MainLoopTest.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

class EdgeControlShadeTest : public zvtest::MainLoopTest {
protected:
    void SetUp() override
    {
        MainLoopTest::SetUp();
        UIApplication::shared().resetForTesting();
        window = std::make_shared<UIWindow>();
        window->makeKeyAndVisible();
    }
    void TearDown() override
    {
        window.reset();
        UIApplication::shared().resetForTesting();
        MainLoopTest::TearDown();
    }

    // A frame of one colour where the picture is, with the controls over it.
    std::shared_ptr<SJEdgeControlLayer> controlsOver(const UIColor& frame, CGRect area, bool fullscreen)
    {
        picture = UIView::create(area);
        picture->setBackgroundColor(frame);
        window->addSubview(picture);
        auto controls = std::make_shared<SJEdgeControlLayer>();
        controls->setFrame(picture->bounds());
        picture->addSubview(controls);
        controls->setBottomHeight(fullscreen ? 120 : SJEdgeControlLayer::defaultRowHeight);
        controls->update({ .paused = false,
            .fullscreen = fullscreen,
            .currentTime = 3,
            .duration = 12,
            .title = "雾港来信 第02集" });
        controls->setAppeared(true);
        drain();
        return controls;
    }

    std::vector<ContrastFinding> measure()
    {
        window->layoutIfNeeded();
        return ContrastAudit::measureScreen(Renderer::renderScreen());
    }

    std::shared_ptr<UIWindow> window;
    std::shared_ptr<UIView> picture;
};

bool shows(const std::vector<ContrastFinding>& findings, const std::string& text)
{
    return std::any_of(
        findings.begin(), findings.end(), [&](const ContrastFinding& f) { return f.subject == text; });
}

}

TEST_F(EdgeControlShadeTest, TheRowsTextsReadOverAnyFrame)
{
    struct Case {
        const char* name;
        UIColor frame;
        bool fullscreen;
    };
    const Case cases[] = {
        { "white, portrait", UIColor::white(), false },
        { "yellow, portrait", UIColor::yellow(), false },
        { "white, full screen", UIColor::white(), true },
        { "cyan, full screen", UIColor(0, 1, 1, 1), true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CGRect area = c.fullscreen ? CGRect { 0, 0, 844, 390 } : CGRect { 0, 100, 390, 219 };
        controlsOver(c.frame, area, c.fullscreen);
        std::vector<ContrastFinding> findings = measure();
        EXPECT_TRUE(shows(findings, "00:03"));
        EXPECT_TRUE(shows(findings, "00:12"));
        for (const ContrastFinding& finding : findings)
            EXPECT_TRUE(finding.passes()) << finding.description();
        picture->removeFromSuperview();
    }
}

TEST_F(EdgeControlShadeTest, APromptsWhiteAndTealReadOnItsPlateOverAWhiteFrame)
{
    picture = UIView::create(CGRect { 0, 100, 390, 219 });
    picture->setBackgroundColor(UIColor::white());
    window->addSubview(picture);
    NSMutableAttributedString text;
    NSAttributes teal { .font = UIFont::systemFont(12, UIFont::Weight::medium),
        .foregroundColor = UIColor::systemTeal().resolved(UIUserInterfaceStyle::dark) };
    NSAttributes white { .font = UIFont::systemFont(12, UIFont::Weight::medium),
        .foregroundColor = UIColor::white() };
    text.append(NSAttributedString("[取消]", teal));
    auto tealPrompt = std::make_shared<SJPopupTextView>(text, UIEdgeInsets { 4, 10, 4, 10 });
    tealPrompt->setFrame({ { 8, 150 }, tealPrompt->sizeThatFits({ 300, 100 }) });
    picture->addSubview(tealPrompt);
    auto whitePrompt = std::make_shared<SJPopupTextView>(
        NSAttributedString("已为你跳过片头", white), UIEdgeInsets { 4, 10, 4, 10 });
    whitePrompt->setFrame({ { 8, 100 }, whitePrompt->sizeThatFits({ 300, 100 }) });
    picture->addSubview(whitePrompt);
    std::vector<ContrastFinding> findings = measure();
    EXPECT_TRUE(shows(findings, "[取消]"));
    EXPECT_TRUE(shows(findings, "已为你跳过片头"));
    for (const ContrastFinding& finding : findings)
        EXPECT_TRUE(finding.passes()) << finding.description();
}
