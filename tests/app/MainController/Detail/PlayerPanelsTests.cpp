// The player's panels: skip times stored from the settings panels, the levels and rates they
// show, the speed rows, the ranges of the full-screen episode picker and the loading frames, which
// ask for no drawing while nobody sees them.

#include "app/Core/Helpers/ColorHex.h"
#include "app/MainController/Detail/View/ZV_LoadingView.h"
#include "app/MainController/Detail/View/ZV_MultipleContentFullView.h"
#include "app/MainController/Detail/View/ZV_SelectEpisodeContentFullView.h"
#include "app/MainController/Detail/View/ZV_SettingContentFullView.h"
#include "app/MainController/Detail/View/ZV_SettingContentView.h"
#include "app/MainController/Detail/View/ZV_SourceContentListView.h"
#include "app/MainController/Other/View/ZV_ShowBottomView.h"
#include "app/MainController/Other/View/ZV_ShowRightFullView.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/ui/DisplayUpdates.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/controls/UIDatePicker.h"
#include "platform/ui/controls/UISegmentedControl.h"
#include "platform/ui/controls/UITextField.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUILabel.h"
#include "tests/app/MainController/Detail/PlayerTestSupport.h"

#include <gtest/gtest.h>

namespace {

class PlayerPanelsTest : public zvtest::PlayerTest {
protected:
    template<typename Panel, typename Presenter>
    static std::shared_ptr<Panel> panelOf(const Presenter& presenter)
    {
        return std::dynamic_pointer_cast<Panel>(presenter->contentView());
    }
    // Turns the wheel to mm:ss (minutes on the hour column) and ends the editing.
    static void pick(UIDatePicker& picker, UITextField& field, const std::string& time)
    {
        picker.setDate(*DateFormatter("HH:mm").dateFromString(time));
        field.resignFirstResponder();
    }
    static std::string title(const std::shared_ptr<QMUIButton>& button)
    {
        return button->currentTitle().value_or("");
    }
};

}

TEST_F(PlayerPanelsTest, SkipTimesAreStoredOnTheTitlesOneRecordAndShownAsMinutesAndSeconds)
{
    view->model = zvtest::titleWith({ { "e1", "https://media.test/ep1.m3u8" } }, "40618");

    // No record: both times unset; picking 01:30 for the opening creates one, the ending 0.
    view->showSettings();
    auto sheet = QMUIModalPresentationViewController::visibleModalPresentationViewControllers().back();
    auto portrait = panelOf<ZV_SettingContentView>(sheet);
    ASSERT_TRUE(portrait);
    EXPECT_EQ(title(portrait->jumpHeaderTimeBtn()), "未设置");
    EXPECT_EQ(title(portrait->jumpTailTimeBtn()), "未设置");
    portrait->zv_changeJumpHeader();
    EXPECT_TRUE(portrait->dateInputView()->isEditing());
    pick(*portrait->datePicker(), *portrait->dateInputView(), "01:30");
    auto record = ZV_PlayerTimeModel::find("40618");
    ASSERT_TRUE(record);
    EXPECT_EQ(record->startProgress, 90);
    EXPECT_EQ(record->endProgress, 0);
    EXPECT_EQ(title(portrait->jumpHeaderTimeBtn()), "01:30");
    EXPECT_EQ(title(portrait->jumpTailTimeBtn()), "未设置");
    // The player re-reads the record when the panel reports it.
    ASSERT_TRUE(view->zv_timeModel);
    EXPECT_EQ(view->zv_timeModel->startProgress, 90);

    // The full-screen panel updates the same record; its wheel opens on the stored time.
    auto right = std::make_shared<ZV_ShowRightFullView>();
    right->show(2, view->model, view->player());
    auto full = panelOf<ZV_SettingContentFullView>(right);
    EXPECT_EQ(title(full->jumpHeaderTimeBtn()), "01:30");
    full->zv_changeJumpHeader();
    EXPECT_EQ(full->datePicker()->selectedRow(0), 1);
    EXPECT_EQ(full->datePicker()->selectedRow(1), 30);
    full->dateInputView()->resignFirstResponder();
    full->zv_changeJumpTail();
    pick(*full->datePicker(), *full->dateInputView(), "02:05");
    auto updated = ZV_PlayerTimeModel::find("40618");
    EXPECT_EQ(updated->id(), record->id());
    EXPECT_EQ(updated->startProgress, 90);
    EXPECT_EQ(updated->endProgress, 125);
    EXPECT_EQ(title(full->jumpTailTimeBtn()), "02:05");
    EXPECT_EQ(full->jumpTailTimeBtn()->currentTitleColor(), UIColor::white());
    ASSERT_TRUE(ZV_PlayerTimeModel::findAll());
    EXPECT_EQ(ZV_PlayerTimeModel::findAll()->size(), 1u);

    // Opening and closing the wheel of a title without a record stores what it showed: 0/0.
    view->model = zvtest::titleWith({}, "40619");
    auto other = std::make_shared<ZV_ShowBottomView>();
    other->show(2, view->model, view->player());
    auto fresh = panelOf<ZV_SettingContentView>(other);
    fresh->zv_changeJumpTail();
    fresh->dateInputView()->resignFirstResponder();
    auto empty = ZV_PlayerTimeModel::find("40619");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->startProgress, 0);
    EXPECT_EQ(empty->endProgress, 0);
}

TEST_F(PlayerPanelsTest, ThePanelsReadAndSetLevelsAndRates)
{
    auto& levels = SJDeviceVolumeAndBrightnessController::shared();
    levels.setBrightness(0.333f);
    player().setRate(1.75);
    auto portrait = ZV_SettingContentView::make({ 0, 0, 390, 435 });
    portrait->player = view->player();
    portrait->loadPlayerValues();
    EXPECT_EQ(portrait->sourdTitle()->text(), "声音 100");
    EXPECT_EQ(portrait->lightTitle()->text(), "亮度 33");
    EXPECT_EQ(portrait->multipleSegmented()->selectedSegmentIndex(), 5);
    portrait->multipleSegmented()->setSelectedSegmentIndex(1);
    portrait->zv_changeSegmented();
    EXPECT_EQ(player().rate(), 0.75);

    // The long-press rate goes in quarters between 1.25 and 2.0.
    auto full = ZV_SettingContentFullView::make({ 0, 0, 438, 390 });
    full->player = view->player();
    full->loadPlayerValues();
    std::vector<std::string> shown { full->longPressLabel()->text() };
    for (int i = 0; i < 4; ++i) {
        full->zv_changeLongPressWithBtn(*full->longPressSubtractBtn());
        shown.push_back(full->longPressLabel()->text());
    }
    EXPECT_EQ(shown, (std::vector<std::string> { "2.0x", "1.75x", "1.5x", "1.25x", "1.25x" }));
    full->zv_changeLongPressWithBtn(*full->longPressAddBtn());
    EXPECT_EQ(player().rateWhenLongPressGestureTriggered(), 1.5);
}

TEST_F(PlayerPanelsTest, TheSpeedRowsMarkTheRateAndTheLastPlaysAtDoubleSpeed)
{
    auto panel = ZV_MultipleContentFullView::make({ 0, 0, 300, 390 });
    panel->player = view->player();
    panel->buildRows();
    std::vector<std::string> titles;
    for (const auto& row : panel->rows()) {
        titles.push_back(row->name()->text());
        EXPECT_EQ(row->name()->textColor() == colorWithHex("03FFE1"), titles.back() == "1.0X");
    }
    EXPECT_EQ(titles, (std::vector<std::string> { "0.5X", "0.75X", "1.0X", "1.25X", "1.5X", "2.0X" }));
    std::vector<int> reported;
    panel->clickSelect = [&](int index) { reported.push_back(index); };
    panel->selectRate(5);
    EXPECT_EQ(player().rate(), 2.0);
    panel->selectRate(1);
    EXPECT_EQ(player().rate(), 0.75);
    EXPECT_EQ(reported, (std::vector<int> { 5, 1 }));
}

TEST_F(PlayerPanelsTest, LongSourcesArePagedInRangesOfAHundredOfflineToo)
{
    auto episodes = [](int count, std::string longName = {}) {
        ZV_Player::Episodes list;
        for (int i = 1; i <= count; ++i)
            list.push_back(zvtest::episode({ "e" + std::to_string(i), "https://media.test/x" }));
        if (!longName.empty())
            list.back()->episodeName = longName;
        return list;
    };
    auto open = [](ZV_Player::Episodes list, std::string current) {
        auto panel = ZV_SelectEpisodeContentFullView::make({ 0, 0, 340, 390 });
        panel->episodeId = std::move(current);
        panel->reloadData(std::move(list));
        return panel;
    };
    struct Case {
        int count;
        std::vector<std::string> ranges;
    };
    for (const auto& c : std::vector<Case> { { 100, {} }, { 101, { "1-100", "101-101" } },
             { 200, { "1-100", "101-200" } }, { 250, { "1-100", "101-200", "201-250" } } }) {
        auto panel = open(episodes(c.count), "e1");
        EXPECT_EQ(panel->filterList, c.ranges) << c.count;
        EXPECT_EQ(panel->episodeSelectBtn()->isHidden(), c.ranges.empty());
        EXPECT_EQ(panel->list.size(), std::min(c.count, 100));
        EXPECT_EQ(panel->episodeCount()->text(), "共 " + std::to_string(c.count) + " 集");
    }

    // The offline entry has no title: a chosen range pages the list it was given.
    auto right = std::make_shared<ZV_ShowRightFullView>();
    right->episodeId = "e150";
    right->showOfflineEpisodes(episodes(250));
    auto panel = std::dynamic_pointer_cast<ZV_SelectEpisodeContentFullView>(right->contentView());
    EXPECT_EQ(title(panel->episodeSelectBtn()), "1-100 集");
    panel->zv_clickFilter();
    EXPECT_TRUE(panel->isFilter);
    EXPECT_EQ(panel->numberOfItems(*panel->collectionView(), 0), 3);
    panel->didSelectItem(*panel->collectionView(), IndexPath::forItem(2, 0));
    EXPECT_FALSE(panel->isFilter);
    ASSERT_EQ(panel->list.size(), 50u);
    EXPECT_EQ(panel->list.front()->episodeId, "e201");
    EXPECT_EQ(title(panel->episodeSelectBtn()), "201-250 集");

    // One name too wide for two columns makes every chip wide.
    auto wide = open(episodes(3, "第三集：一个长得放不进半行的名字"), "e1");
    EXPECT_TRUE(wide->isOneRow);
    EXPECT_FALSE(open(episodes(3), "e1")->isOneRow);
}

TEST_F(PlayerPanelsTest, TheLoadingFramesCycleEveryFourFifthsOfASecond)
{
    auto loading = ZV_LoadingView::make({ 0, 0, 390, 219 });
    const auto& frames = loading->loadingView();
    EXPECT_EQ(frames->animationImages().size(), 24u);
    EXPECT_TRUE(frames->isAnimating());
    EXPECT_EQ(frames->currentAnimationFrame(), 0u);
    advance(0.41);
    EXPECT_EQ(frames->currentAnimationFrame(), 12u);
    advance(0.4);
    EXPECT_EQ(frames->currentAnimationFrame(), 0u);
}

// A still player gives a live screen nothing to draw: paused, its hidden loading cover animates on
// without asking for frames, and on the error layer the cover (in the control layer put aside)
// does not either. Changes of the screen while time passes would have the window draw.
TEST_F(PlayerPanelsTest, AStillPlayerAsksForNoFramePausedOrOnItsErrorLayer)
{
    SJScriptedPlaybackController::script("https://media.test/broken.m3u8", { .failsToOpen = true });
    play(zvtest::titleWith(
             { { "e1", "https://media.test/ep1.m3u8" }, { "e2", "https://media.test/broken.m3u8" } }),
        "e1");
    advance(2);
    ASSERT_EQ(player().timeControlStatus(), SJPlaybackTimeControlStatus::playing);
    ASSERT_TRUE(view->zv_loadingView()->isHidden());
    ASSERT_TRUE(view->zv_loadingView()->loadingView()->isAnimating());
    player().pauseForUser();
    advance(10); // prompts and controls settle
    auto still = DisplayUpdates::generation();
    advance(3);
    EXPECT_EQ(DisplayUpdates::generation(), still) << "paused";

    view->episodeId = "e2";
    view->playEpisode();
    advance(2);
    ASSERT_EQ(player().currentControlLayerIdentifier(), SJControlLayer_LoadFailed);
    ASSERT_TRUE(view->zv_loadingView()->loadingView()->isAnimating());
    advance(10);
    still = DisplayUpdates::generation();
    advance(3);
    EXPECT_EQ(DisplayUpdates::generation(), still) << "on the error layer";
}
