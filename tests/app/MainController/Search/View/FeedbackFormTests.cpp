// The request form in its bottom sheet against the local test server: the order of its checks,
// the 180-character description and what it sends.

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Helpers/ColorHex.h"
#include "app/MainController/Other/View/ZV_ShowBottomView.h"
#include "app/MainController/Search/View/ZV_SearchFeedbackAlertView.h"
#include "app/MainController/Search/View/ZV_SearchFeedbackCell.h"
#include "app/MainController/Search/View/ZV_SearchFeedbackExtraCell.h"
#include "platform/text/TextBoundaries.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "tests/app/support/ScreenTestSupport.h"
#include "tools/testserver/ApiServer.h"

#include <gtest/gtest.h>

namespace {

class FeedbackFormTest : public zvtest::ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        if (HasFatalFailure())
            return;
        show(std::make_shared<UIViewController>());
    }

    static void configure()
    {
        ConfigSingleton::shared().zv_configData = std::make_shared<const ZV_ConfigData>(JSON::parse(
            R"({"feedback": [{"name": "求片", "value": 1}, {"name": "播放卡顿", "value": 2},
                {"name": "画质问题", "value": "3"}]})"));
    }

    // The form in its sheet, laid out.
    std::shared_ptr<ZV_SearchFeedbackAlertView> openForm()
    {
        sheet = std::make_shared<ZV_ShowBottomView>();
        sheet->show(4, nullptr, nullptr);
        advance(1);
        window->layoutIfNeeded();
        auto form = std::dynamic_pointer_cast<ZV_SearchFeedbackAlertView>(sheet->contentView());
        if (form)
            form->layoutIfNeeded();
        return form;
    }

    static std::shared_ptr<ZV_SearchFeedbackExtraCell> textCell(ZV_SearchFeedbackAlertView& form)
    {
        return std::dynamic_pointer_cast<ZV_SearchFeedbackExtraCell>(
            form.collectionView()->cellForItem({ 0, 1 }));
    }

    std::shared_ptr<ZV_ShowBottomView> sheet;
};

}

// The type is checked first, then the text (spaces count); neither failing check sends anything.
TEST_F(FeedbackFormTest, TypeIsCheckedBeforeText)
{
    auto form = openForm();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->collectionView()->numberOfItems(0), 0); // no configuration: no types
    form->submit();
    EXPECT_EQ(tips(), (std::vector<std::string> { "请先选择问题类型" }));

    QMUITips::hideAllTips();
    form->type_id = 1;
    form->submit();
    form->content = "";
    form->submit();
    EXPECT_EQ(tips(), (std::vector<std::string> { "请描述问题", "请描述问题" }));
    EXPECT_TRUE(api().recordsTo("v1/user/feedback/submit").empty());
}

// Typing or pasting past 180 characters keeps the first 180; every change reports the whole text.
TEST_F(FeedbackFormTest, DescriptionKeepsAtMost180Characters)
{
    auto cell = ZV_SearchFeedbackExtraCell::create();
    std::vector<std::string> reported;
    cell->stringBlock = [&](const std::string& text) { reported.push_back(text); };
    std::string paste;
    for (int i = 0; i < 200; ++i)
        paste += i % 2 ? "片" : "a";
    cell->zv_contentView()->insertText(paste);
    EXPECT_EQ(TextBoundaries::graphemeCount(cell->zv_contentView()->text()), 180u);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported.back(), cell->zv_contentView()->text());
    cell->zv_contentView()->insertText("多");
    EXPECT_EQ(TextBoundaries::graphemeCount(cell->zv_contentView()->text()), 180u);
    while (cell->zv_contentView()->hasText())
        cell->zv_contentView()->deleteBackward();
    EXPECT_EQ(reported.back(), "");

    cell->stringBlock = nullptr;
    cell->zv_contentView()->insertText("x"); // nobody told: not an error
}

TEST_F(FeedbackFormTest, SendsTypeTextAndAnEmptyExtraThenClosesBeforeThanking)
{
    configure();
    auto form = openForm();
    ASSERT_TRUE(form);
    auto& grid = *form->collectionView();
    ASSERT_EQ(grid.numberOfItems(0), 3);
    auto chipColour = [&](int item) {
        auto chip = std::dynamic_pointer_cast<ZV_SearchFeedbackCell>(grid.cellForItem({ item, 0 }));
        // As the light style draws it; the dark style has colours of its own.
        return chip && chip->contentView()->backgroundColor() ? std::optional<UIColor>(
                   chip->contentView()->backgroundColor()->resolved(UIUserInterfaceStyle::light))
                                                              : std::nullopt;
    };
    for (int choice : { 2, 1 }) {
        form->didSelectItem(grid, { choice, 0 });
        form->layoutIfNeeded();
        for (int item = 0; item < 3; ++item)
            EXPECT_EQ(chipColour(item), colorWithHex(item == choice ? "03FFE1" : "F3F5F9")) << choice << item;
    }
    EXPECT_EQ(form->type_id, 2);
    auto text = textCell(*form);
    ASSERT_TRUE(text);
    text->zv_contentView()->insertText("想看导演剪辑版");
    EXPECT_EQ(form->content, "想看导演剪辑版");

    // A refusal shows the server's message and keeps the input and the sheet.
    api().script("v1/user/feedback/submit", testserver::ApiReply::error(1005, "提交太频繁"));
    bool closed = false;
    std::vector<std::string> tipsWhenClosed;
    auto hide = form->closeBlock;
    form->closeBlock = [&, hide] {
        closed = true;
        tipsWhenClosed = tips();
        hide();
    };
    form->sendBtn()->sendActions(UIControlEventTouchUpInside);
    ASSERT_TRUE(waitForReplies(0));
    EXPECT_FALSE(closed);
    EXPECT_EQ(tips(), (std::vector<std::string> { "提交太频繁" }));
    EXPECT_EQ(form->type_id, 2);
    EXPECT_EQ(form->content, "想看导演剪辑版");

    api().clearScripts();
    QMUITips::hideAllTips();
    form->submit();
    ASSERT_TRUE(waitForReplies(1));
    auto calls = callsTo("v1/user/feedback/submit");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(api().recordsTo("v1/user/feedback/submit")[1].request.method, "POST");
    EXPECT_EQ(calls[1]["type_id"], 2);
    EXPECT_EQ(calls[1]["content"], "想看导演剪辑版");
    EXPECT_EQ(calls[1]["extra"], "");
    EXPECT_TRUE(closed);
    EXPECT_TRUE(tipsWhenClosed.empty());
    EXPECT_EQ(tips(), (std::vector<std::string> { "提交成功" }));
    // The sheet's slide away ends, and with it its window: nothing is left for the next test.
    advance(1.0);
    EXPECT_FALSE(sheet->isVisible());
}
