// The chat room in both styles: the light style keeps the colours the design gives (the faded navy
// of the count and the names, the blue of the viewer's bubbles, the member card's red button); in
// the dark style every text reads on what lies behind it.

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/ViewNib.h"
#include "app/MainController/Chat/Controller/ZV_ChatVC.h"
#include "app/MainController/Chat/View/ChatSenderName.h"
#include "app/MainController/Chat/View/ZV_ChatHeadView.h"
#include "app/MainController/Chat/View/ZV_ChatInputView.h"
#include "app/MainController/Chat/View/ZV_ChatUserAlert.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/qmui/QMUITextView.h"
#include "tests/app/support/StyleColors.h"

#include <gtest/gtest.h>

namespace {

using styletest::Text;

UIColor nameColor()
{
    Message message;
    message.mutable_sender()->set_nickname("夜航船");
    const auto& runs = nicknameWithAdminBadge(message).value().styledText().runs;
    return runs.empty() ? UIColor() : runs.front().foregroundColor.value_or(UIColor());
}

TEST(ChatDarkStyle, TheHeadTheListAndTheInputBar)
{
    auto head = viewForXib<ZV_ChatHeadView>();
    auto input = viewForXib<ZV_ChatInputView>();
    auto chat = std::make_shared<ZV_ChatVC>();
    chat->loadViewIfNeeded();
    UIColor list = *chat->view()->backgroundColor();
    UIColor field = *input->textView()->backgroundColor();
    styletest::expectReadableInTheDarkAndAsDesignedInTheLight({
        { "room title", head->titleLb()->textColor(), *head->backgroundColor(), colorWithHex("1D1942"),
            UIColor::white() },
        { "online count", head->numLb()->textColor(), *head->backgroundColor(), colorWithHex("1D1942", 0.6),
            UIColor::white() },
        { "sender name", nameColor(), list, colorWithHex("1D1942", 0.6), colorWithHex("F2F4F7") },
        // The viewer's own messages are white on the blue bubble.
        { "own message", UIColor::white(), ZV_ChatVC::ownBubbleColor(), UIColor::white(),
            colorWithHex("5F8BFF") },
        { "typed text", input->textView()->textColor(), field, colorWithHex("1D1942") },
        // The placeholder keeps the theme's grey (196, 200, 208) in the light style.
        { "placeholder", input->textView()->placeholderColor(), field,
            UIColor(196 / 255.0, 200 / 255.0, 208 / 255.0, 1) },
    });
    // The extra panel's titles are the page's own (the design gives none): they read in both styles.
    for (UIUserInterfaceStyle style : { UIUserInterfaceStyle::light, UIUserInterfaceStyle::dark })
        EXPECT_GE(
            styletest::ratioIn(style, ZV_ChatInputView::panelTitleColor(), *input->backgroundColor()), 4.5);
}

TEST(ChatDarkStyle, TheMemberCard)
{
    auto card = viewForXib<ZV_ChatUserAlert>();
    UIColor surface = *card->infoView()->backgroundColor();
    styletest::expectReadableInTheDarkAndAsDesignedInTheLight({
        { "uid line", card->desLb()->textColor(), surface, colorWithHex("1D1942", 0.4), UIColor::white() },
        { "mute", *card->mushinBtn()->titleColor(UIControlStateNormal), *card->mushinBtn()->backgroundColor(),
            colorWithHex("222222"), UIColor::white() },
        { "ban", *card->bannedBtn()->titleColor(UIControlStateNormal), *card->bannedBtn()->backgroundColor(),
            UIColor::white(), colorWithHex("F16060") },
    });
}

}
