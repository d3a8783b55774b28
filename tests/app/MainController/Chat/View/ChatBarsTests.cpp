// The chat room's bars: what the input bar hands over and how its field grows, the tip bars'
// two looks and their close button, and the head's first texts.

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/ViewConstraints.h"
#include "app/Extensions/ViewNib.h"
#include "app/MainController/Chat/View/ZV_ChatHeadView.h"
#include "app/MainController/Chat/View/ZV_ChatInputView.h"
#include "app/MainController/Chat/View/ZV_ChatTipView.h"
#include "platform/ui/MarqueeLabel.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/layout/NSLayoutConstraint.h"
#include "platform/ui/qmui/QMUITextView.h"
#include "tests/platform/ui/ControllerTestSupport.h"

namespace {

class ChatBarsTest : public uitest::ControllerTest {
protected:
    std::shared_ptr<ZV_ChatInputView> inputBar()
    {
        auto bar = viewForXib<ZV_ChatInputView>();
        bar->setFrame({ 0, 500, 390, 100 });
        window->addSubview(bar);
        bar->textBgView()->setHidden(false);
        bar->textDoneBlock = [this](const std::string& text) { handed.push_back(text); };
        window->layoutIfNeeded();
        return bar;
    }

    std::vector<std::string> handed;
};

}

TEST_F(ChatBarsTest, TheButtonSendsTheTextAsTypedAndReturnSendsItTrimmed)
{
    struct Case {
        std::string text;
        std::vector<std::string> byButton;
        std::vector<std::string> byReturn;
    };
    for (const Case& c : std::vector<Case> {
             { "", {}, {} },
             { "   ", { "   " }, {} },
             { "  好看  ", { "  好看  " }, { "好看" } },
             { "\t第二行\n", { "\t第二行\n" }, { "第二行\n" } },
         }) {
        auto bar = inputBar();
        bar->textView()->setText(c.text);
        bar->sendBtn()->sendActions(UIControlEventTouchUpInside);
        EXPECT_EQ(handed, c.byButton) << "button: [" << c.text << "]";
        handed.clear();
        EXPECT_TRUE(bar->textViewShouldReturn());
        EXPECT_EQ(handed, c.byReturn) << "return: [" << c.text << "]";
        handed.clear();
        // Neither clears the field: the page does.
        EXPECT_EQ(bar->textView()->text(), c.text);
    }
}

TEST_F(ChatBarsTest, TheFieldGrowsFrom36To60AndThenScrolls)
{
    auto bar = inputBar();
    EXPECT_TRUE(bar->moreView()->isHidden());
    EXPECT_TRUE(bar->sendView()->isHidden());
    EXPECT_EQ(bar->textView()->placeholder(), "请输入内容...");
    auto height = cs_heightConstraint(*bar->textView());
    ASSERT_TRUE(height);

    bar->textView()->setText("一行");
    bar->textViewDidChange();
    EXPECT_EQ(height->constant(), 36);
    EXPECT_FALSE(bar->textView()->isScrollEnabled());

    bar->textView()->setText("第一行\n第二行\n第三行\n第四行\n第五行");
    bar->textViewDidChange();
    EXPECT_EQ(height->constant(), 60);
    EXPECT_TRUE(bar->textView()->isScrollEnabled());
    window->layoutIfNeeded();
    EXPECT_EQ(bar->textView()->frame().height(), 60);
}

TEST_F(ChatBarsTest, TipBarsTakeTheLookOfTheirTypeAndCloseThemselves)
{
    auto bar = viewForXib<ZV_ChatTipView>();
    window->addSubview(bar);
    for (int round = 0; round < 2; ++round) {
        bar->setType(ZV_ChatTipViewType::reply);
        EXPECT_EQ(bar->bgView()->backgroundColor(), UIColor::white(1, 0.9));
        EXPECT_EQ(bar->marqueeLabel()->textColor(), colorWithHex("1D1942", 0.5));
        EXPECT_TRUE(bar->imageView()->isHidden());
    }
    bar->setType(ZV_ChatTipViewType::noti);
    EXPECT_EQ(bar->bgView()->backgroundColor(), colorWithHex("DAFDFF"));
    EXPECT_EQ(bar->marqueeLabel()->textColor(), colorWithHex("00116A"));
    EXPECT_FALSE(bar->imageView()->isHidden());
    EXPECT_EQ(bar->marqueeLabel()->speed.value, 30);
    EXPECT_EQ(bar->marqueeLabel()->animationDelay, 0);

    bar->seq = 4386;
    bar->closeBtn()->sendActions(UIControlEventTouchUpInside);
    EXPECT_TRUE(bar->isHidden());
    EXPECT_FALSE(bar->seq);

    auto head = viewForXib<ZV_ChatHeadView>();
    EXPECT_EQ(head->titleLb()->text(), "聊天室");
    EXPECT_EQ(head->numLb()->text(), "0人在线");
}

TEST_F(ChatBarsTest, TheHeadShowsTheWholeOnlineCountWhenItGrowsAfterTheFirstLayout)
{
    auto head = viewForXib<ZV_ChatHeadView>();
    head->setFrame({ 0, 50, 390, 54 });
    window->addSubview(head);
    window->layoutIfNeeded();
    for (const char* text : { "36人在线", "12036人在线" }) {
        head->numLb()->setText(text);
        window->layoutIfNeeded();
        EXPECT_GE(head->numLb()->frame().width(), head->numLb()->intrinsicContentSize().width) << text;
        EXPECT_LE(head->onlineStackView()->frame().maxX(), head->refreshBtn()->frame().minX()) << text;
    }
}
