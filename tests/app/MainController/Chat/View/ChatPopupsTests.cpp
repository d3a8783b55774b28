// The reaction bar's buttons by message and viewer, and the mute picker's choice.

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Helpers/ColorHex.h"
#include "app/MainController/Chat/Model/ZV_MessageCurrentModel.h"
#include "app/MainController/Chat/View/ZV_ChatMushinAlertView.h"
#include "app/MainController/Chat/View/ZV_ChatReactionView.h"
#include "app/MainController/Search/View/ZV_SearchFeedbackCell.h"
#include "platform/json/JSON.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/lists/UICollectionView.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "tests/platform/ui/ControllerTestSupport.h"

namespace {

class ChatPopupsTest : public uitest::ControllerTest {
protected:
    void TearDown() override
    {
        ConfigSingleton::shared().zv_userInfoModel.reset();
        ControllerTest::TearDown();
    }

    static MockMessage from(const std::string& senderId)
    {
        return MockMessage(MessageKit::MessageKind::text("好"), MockUser(senderId, "某人"), "4380", Date(0));
    }
};

}

TEST_F(ChatPopupsTest, TheReactionBarOffersWhatSuitsTheMessageAndTheViewer)
{
    struct Case {
        const char* viewer; // none: signed out
        std::int64_t memberType;
        const char* sender;
        bool reply, recall, lineOne, lineTwo;
        CGFloat width;
    };
    for (const Case& c : std::vector<Case> {
             { "301877", 0, "100388", true, false, true, false, 120 },
             { "301877", 1, "100388", true, true, true, true, 180 },
             { "301877", 0, "301877", false, true, false, true, 120 },
             { "301877", 1, "301877", false, true, false, true, 120 },
             { nullptr, 0, "301877", true, false, true, false, 120 },
         }) {
        if (c.viewer)
            ConfigSingleton::shared().zv_userInfoModel
                = std::make_shared<const ZV_UserInfoModel>(JSON::object({ { "id", JSON(c.viewer) } }));
        else
            ConfigSingleton::shared().zv_userInfoModel.reset();
        auto bar = std::make_shared<ZV_ChatReactionView>();
        bar->zv_currentModel = std::make_shared<ZV_MessageCurrentModel>();
        bar->zv_currentModel->member_type = c.memberType;
        bar->setModel(from(c.sender));
        SCOPED_TRACE(
            std::string(c.viewer ? c.viewer : "-") + " " + std::to_string(c.memberType) + " " + c.sender);
        EXPECT_EQ(!bar->replyBtn()->isHidden(), c.reply);
        EXPECT_EQ(!bar->recallBtn()->isHidden(), c.recall);
        EXPECT_FALSE(bar->copyBtn()->isHidden());
        EXPECT_EQ(!bar->lineOneView()->isHidden(), c.lineOne);
        EXPECT_EQ(!bar->lineTwoView()->isHidden(), c.lineTwo);
        EXPECT_EQ(bar->minimumWidth, c.width);
        EXPECT_EQ(bar->maximumWidth, c.width);

        // A new role counts only from the next message on.
        bar->zv_currentModel->member_type = 1 - c.memberType;
        EXPECT_EQ(!bar->recallBtn()->isHidden(), c.recall);
    }
}

TEST_F(ChatPopupsTest, TheMutePickerHandsOverTheChosenLengthThenCloses)
{
    std::vector<std::string> events;
    auto picker = ZV_ChatMushinAlertView::create({ 0, 0, 390, 300 });
    window->addSubview(picker);
    picker->timeBlock = [&](int seconds) { events.push_back(std::to_string(seconds)); };
    picker->closeBlock = [&] { events.push_back("close"); };
    EXPECT_EQ(picker->index(), 0);
    picker->sendBtn()->sendActions(UIControlEventTouchUpInside);
    EXPECT_EQ(events, (std::vector<std::string> { "3600", "close" }));

    events.clear();
    picker->selectItem(5);
    window->layoutIfNeeded();
    int highlighted = 0;
    for (const auto& cell : picker->collectionView()->visibleCells())
        highlighted += cell->contentView()->backgroundColor() == colorWithHex("03FFE1");
    EXPECT_EQ(highlighted, 1);
    picker->sendBtn()->sendActions(UIControlEventTouchUpInside);
    EXPECT_EQ(events, (std::vector<std::string> { "604800", "close" }));

    events.clear();
    picker->closeBtn()->sendActions(UIControlEventTouchUpInside);
    picker->timeBlock = nullptr;
    picker->sendBtn()->sendActions(UIControlEventTouchUpInside);
    EXPECT_EQ(events, (std::vector<std::string> { "close", "close" }));
    EXPECT_EQ(picker->timelist(), (std::vector<int> { 3600, 7200, 28800, 86400, 259200, 604800 }));
}
