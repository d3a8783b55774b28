// The update prompt: its heights for the release notes, its buttons and its modality.

#include "app/MainController/Home/View/ZV_UpdateAPPContentView.h"
#include "app/MainController/Home/View/ZV_UpdateAPPView.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "tests/app/MainController/Home/HomeTestSupport.h"

#include <gtest/gtest.h>

namespace {

using UpdatePromptTest = zvtest::HomeScreenTest;

std::shared_ptr<ZV_UpdateAPPContentView> contentOf(const ZV_UpdateAPPView& prompt)
{
    return std::dynamic_pointer_cast<ZV_UpdateAPPContentView>(prompt.contentView());
}

TEST_F(UpdatePromptTest, TheCardGrowsWithTheNotesAndIsNeverCut)
{
    std::string longNotes;
    for (int i = 1; i <= 12; ++i)
        longNotes += std::to_string(i) + ". 修复了若干问题，播放更流畅，首页加载更快\n";
    struct Case {
        const char* what;
        JSON model;
        bool grows;
    };
    for (const Case& c : std::vector<Case> {
             { "no notes", JSON::parse(R"({"title": "新版本", "intro": "", "url": "https://example.org/d"})"),
                 false },
             { "no keys", JSON::object(), false },
             { "long notes", JSON::object({ { "title", "新版本" }, { "intro", longNotes } }), true },
         }) {
        CGFloat notes = ZV_UpdateAPPContentView::notesHeight(c.model);
        EXPECT_EQ(notes > 0, c.grows) << c.what;
        EXPECT_EQ(ZV_UpdateAPPView::contentHeight(c.model), 350 + notes) << c.what;

        auto prompt = std::make_shared<ZV_UpdateAPPView>();
        prompt->show(c.model);
        auto content = contentOf(*prompt);
        ASSERT_TRUE(content);
        content->layoutIfNeeded();
        EXPECT_EQ(content->bounds().size, (CGSize { 320, 350 + notes })) << c.what;
        EXPECT_EQ(content->cardView()->frame().height(), 142 + notes) << c.what;
        EXPECT_GE(content->cardView()->frame().height(), content->subTitle()->frame().maxY() + 24 + 44)
            << c.what;
        prompt->hideWithAnimated(false);
    }
}

TEST_F(UpdatePromptTest, OnlyTheCloseButtonHidesItAndUpdateOpensTheLinkOutside)
{
    auto prompt = std::make_shared<ZV_UpdateAPPView>();
    std::weak_ptr<ZV_UpdateAPPView> weak = prompt;
    prompt->show(JSON::parse(R"({"title": "新版本", "intro": "更快", "url": "https://example.org/d/app"})"));
    prompt.reset();
    advance(1);
    auto shown = weak.lock();
    ASSERT_TRUE(shown && shown->isVisible());
    auto content = contentOf(*shown);
    shown->presentationWindow()->layoutIfNeeded();

    TouchDriver driver;
    ASSERT_TRUE(driver.tap({ 10, 10 })); // the dimming
    advance(1);
    EXPECT_TRUE(shown->isVisible());

    ASSERT_TRUE(driver.tapView(*content->updateBtn()));
    ASSERT_TRUE(driver.tapView(*content->updateBtn()));
    EXPECT_EQ(UIApplication::shared().openedURLs(),
        (std::vector<std::string> { "https://example.org/d/app", "https://example.org/d/app" }));
    EXPECT_TRUE(shown->isVisible());

    ZV_UpdateAPPView::openUpdateURL(JSON::parse(R"({"url": "not a link"})"));
    ZV_UpdateAPPView::openUpdateURL(JSON::object());
    EXPECT_EQ(UIApplication::shared().openedURLs().size(), 2u);

    ASSERT_TRUE(driver.tapView(*content->closeBtn()));
    advance(1);
    EXPECT_FALSE(shown->isVisible());
}

}
