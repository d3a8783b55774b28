// The two panel presenters: where each panel sits, what a missing input does, and how panel
// events reach the owner (the sheet starts hiding first; a tap on the dimmed area only hides).

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Models/ZV_DetailModel.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Chat/View/ZV_ChatMushinAlertView.h"
#include "app/MainController/Detail/View/ZV_EpisodeListCell.h"
#include "app/MainController/Detail/View/ZV_MultipleContentFullView.h"
#include "app/MainController/Detail/View/ZV_SelectEpisodeContentFullView.h"
#include "app/MainController/Detail/View/ZV_SelectEpisodeContentListView.h"
#include "app/MainController/Detail/View/ZV_SelectEpisodeContentView.h"
#include "app/Extensions/ViewTapAction.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/gestures/UITapGestureRecognizer.h"
#include "platform/ui/segmented/JXSegmentedListContainerView.h"
#include "app/MainController/Detail/View/ZV_SettingContentFullView.h"
#include "app/MainController/Detail/View/ZV_SettingContentView.h"
#include "app/MainController/Detail/View/ZV_SourceContentFullView.h"
#include "app/MainController/Detail/View/ZV_SourceContentListView.h"
#include "app/MainController/Detail/View/ZV_SourceContentView.h"
#include "app/MainController/Other/View/ZV_ShowBottomView.h"
#include "app/MainController/Other/View/ZV_ShowRightFullView.h"
#include "app/MainController/Search/View/ZV_SearchFeedbackAlertView.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/media/SJVideoPlayer.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/controls/UIKeyboard.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUILabel.h"
#include "tests/platform/ui/ControllerTestSupport.h"
#include "tests/support/TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

using Episodes = std::vector<std::shared_ptr<ZV_DetailDataListPlayFromListModel>>;

Episodes episodes(int count)
{
    Episodes list;
    for (int i = 1; i <= count; ++i) {
        auto episode = std::make_shared<ZV_DetailDataListPlayFromListModel>();
        episode->episodeId = "e" + std::to_string(i);
        episode->episodeName = "第" + std::to_string(i) + "集";
        list.push_back(episode);
    }
    return list;
}

// A title with `sources` play sources; as on the detail page only the source in use (here the
// second, when there are two or more) carries its episodes.
std::shared_ptr<ZV_DetailModel> title(int sources, int episodeCount = 4)
{
    auto model = std::make_shared<ZV_DetailModel>();
    model->id = "42";
    model->name = "山海";
    model->content = "一段简介。";
    model->playFrom.emplace();
    for (int i = 0; i < sources; ++i) {
        auto source = std::make_shared<ZV_DetailDataListPlayFromModel>();
        source->code = "src" + std::to_string(i);
        source->name = "线路" + std::to_string(i + 1);
        source->list = (i == 1 || sources == 1) ? episodes(episodeCount) : Episodes {};
        model->playFrom->push_back(source);
    }
    return model;
}

template<typename Panel, typename Presenter> std::shared_ptr<Panel> panelOf(const Presenter& presenter)
{
    return std::dynamic_pointer_cast<Panel>(presenter->contentView());
}

void tap(UIControl& control)
{
    control.sendActions(UIControlEventTouchUpInside);
}

// What the tap recogniser of a row does, whether or not the row is on screen.
void tapRow(UIView& row)
{
    for (const auto& recognizer : row.gestureRecognizers()) {
        if (auto tap = std::dynamic_pointer_cast<UITapGestureRecognizer>(recognizer)) {
            handleActionForTapGesture(row, *tap);
            return;
        }
    }
    ADD_FAILURE() << "the row takes no taps";
}

// The first page of an episode sheet, as its list container made it.
std::shared_ptr<ZV_SelectEpisodeContentListView> firstPage(ZV_SelectEpisodeContentView& sheet)
{
    sheet.layoutIfNeeded();
    const auto& pages = sheet.zv_listContainerView()->validListDict();
    auto found = pages.find(0);
    return found == pages.end() ? nullptr : std::dynamic_pointer_cast<ZV_SelectEpisodeContentListView>(found->second);
}

void tapChip(ZV_SelectEpisodeContentListView& page, int item)
{
    page.didSelectItem(*page.collectionView(), IndexPath::forItem(item, 0));
}

// A finger on the middle of a view on screen.
bool tapOn(UIView& view)
{
    view.window()->layoutIfNeeded();
    CGRect frame = view.convert(view.bounds(), nullptr);
    return TouchDriver().tap({ frame.midX(), frame.midY() });
}

class PanelPresenterTest : public uitest::ControllerTest {
protected:
    void SetUp() override
    {
        uitest::ControllerTest::SetUp();
        // The layout constants are fixed on first use: make that the portrait phone.
        ASSERT_EQ(screenShortSide(), 390);
        ASSERT_EQ(screenLongSide(), 844);
        // As the application does at launch.
        ZV_ChatMushinAlertView::registerInBottomSheet();
    }
    void TearDown() override
    {
        QMUIModalPresentationViewController::hideAllVisibleModalPresentationViewControllerIfCan();
        UIKeyboard::shared().resetForTesting();
        uitest::ControllerTest::TearDown();
    }

    static void keyboard(CGFloat height)
    {
        NotificationCenter::defaultCenter().post(
            height > 0 ? UIKeyboardNotification::WillShow : UIKeyboardNotification::WillHide, {},
            { { UIKeyboardNotification::FrameEndKey, CGRect { 0, 844 - height, 390, height } },
                { UIKeyboardNotification::AnimationDurationKey, 0.25 } });
    }

    // True once the presenter has started to hide (its dimming has faded out).
    template<typename Presenter> static bool hiding(const Presenter& presenter)
    {
        return presenter->dimmingView()->alpha() == 0;
    }

    std::shared_ptr<SJVideoPlayer> player = std::make_shared<SJVideoPlayer>();
};

TEST_F(PanelPresenterTest, BottomSheetsAreSizedByTypeAndPlayerEdge)
{
    auto sources = std::make_shared<ZV_ShowBottomView>();
    sources->show(1, title(3), nullptr);
    ASSERT_TRUE(sources->isVisible());
    EXPECT_EQ(sources->contentView()->frame(), (CGRect { 0, 522, 390, 322 }));
    ASSERT_TRUE(panelOf<ZV_SourceContentView>(sources));
    EXPECT_EQ(panelOf<ZV_SourceContentView>(sources)->rows().size(), 3u);

    auto noSources = std::make_shared<ZV_ShowBottomView>();
    noSources->show(1, title(0), nullptr);
    EXPECT_EQ(noSources->contentView()->frame(), (CGRect { 0, 708, 390, 136 }));

    // Under a player whose bottom edge is at 300.5: the rest of the long side, cut to 543.
    auto fullHeight = [](auto show) {
        auto sheet = std::make_shared<ZV_ShowBottomView>();
        sheet->bottom = 300.5;
        show(*sheet);
        EXPECT_TRUE(sheet->isVisible());
        return sheet->contentView() ? sheet->contentView()->frame() : CGRect {};
    };
    const CGRect underPlayer { 0, 301, 390, 543 };
    EXPECT_EQ(fullHeight([](ZV_ShowBottomView& s) { s.show(0, title(2), nullptr); }), underPlayer);
    EXPECT_EQ(fullHeight([](ZV_ShowBottomView& s) { s.show(3, title(2), nullptr); }), underPlayer);
    EXPECT_EQ(fullHeight([](ZV_ShowBottomView& s) { s.show(5, title(2), nullptr); }), underPlayer);
    EXPECT_EQ(fullHeight([](ZV_ShowBottomView& s) { s.showOfflineEpisodes(episodes(3)); }), underPlayer);

    auto settings = std::make_shared<ZV_ShowBottomView>();
    settings->show(2, title(1), player);
    EXPECT_EQ(settings->contentView()->frame(), (CGRect { 0, 409, 390, 435 }));
}

TEST_F(PanelPresenterTest, TheKeyboardLiftsFormsButNotEpisodeSheets)
{
    auto form = std::make_shared<ZV_ShowBottomView>();
    form->show(4, nullptr, nullptr);
    auto mute = std::make_shared<ZV_ShowBottomView>();
    mute->show(6, nullptr, nullptr);
    auto episodesSheet = std::make_shared<ZV_ShowBottomView>();
    episodesSheet->bottom = 300.5;
    episodesSheet->show(3, title(2), nullptr);
    ASSERT_EQ(form->contentView()->frame(), (CGRect { 0, 344, 390, 500 }));
    ASSERT_EQ(mute->contentView()->frame(), (CGRect { 0, 544, 390, 300 }));

    keyboard(300);
    EXPECT_EQ(form->contentView()->frame(), (CGRect { 0, 44, 390, 500 }));
    EXPECT_EQ(mute->contentView()->frame(), (CGRect { 0, 244, 390, 300 }));
    EXPECT_EQ(episodesSheet->contentView()->frame(), (CGRect { 0, 301, 390, 543 }));

    keyboard(0);
    EXPECT_EQ(form->contentView()->frame(), (CGRect { 0, 344, 390, 500 }));
}

TEST_F(PanelPresenterTest, BottomSheetChoicesHideFirstThenReachTheOwner)
{
    std::vector<std::pair<std::string, bool>> sourcesChosen;
    std::vector<std::pair<std::string, bool>> episodesChosen;
    auto record = [](auto& log, const auto& sheet) {
        return [&log, weak = std::weak_ptr(sheet)](const std::string& value) {
            auto strong = weak.lock();
            log.emplace_back(value, strong && hiding(strong));
        };
    };

    auto sources = std::make_shared<ZV_ShowBottomView>();
    sources->clickSource = record(sourcesChosen, sources);
    sources->show(1, title(3), nullptr);
    tapRow(*panelOf<ZV_SourceContentView>(sources)->rows()[2]);
    ASSERT_EQ(sourcesChosen.size(), 1u);
    EXPECT_EQ(sourcesChosen[0], std::make_pair(std::string("src2"), true));
    advance(1.0);
    EXPECT_FALSE(sources->isVisible());

    // Episodes: a chip relays its id; the source name asks for the sources with "".
    auto choose = std::make_shared<ZV_ShowBottomView>();
    choose->episodeId = "e2";
    choose->clickIndexWithEpisodeId = record(episodesChosen, choose);
    choose->clickSource = record(sourcesChosen, choose);
    choose->show(3, title(2), nullptr);
    auto panel = panelOf<ZV_SelectEpisodeContentView>(choose);
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->sourceName()->title(UIControlStateNormal), "线路2");
    auto page = firstPage(*panel);
    ASSERT_TRUE(page);
    ASSERT_EQ(page->list().size(), 4u);
    page->collectionView()->layoutIfNeeded();
    auto playing = std::dynamic_pointer_cast<ZV_EpisodeListCell>(page->collectionView()->cellForItem(IndexPath::forItem(1, 0)));
    ASSERT_TRUE(playing);
    EXPECT_FALSE(playing->playingView()->isHidden());
    tapChip(*page, 3);
    EXPECT_EQ(episodesChosen, (std::vector<std::pair<std::string, bool>> { { "e4", true } }));
    advance(1.0);
    choose->show(3, title(2), nullptr);
    tap(*panelOf<ZV_SelectEpisodeContentView>(choose)->sourceName());
    EXPECT_EQ(sourcesChosen.back(), std::make_pair(std::string(), true));

    // The download variant keeps an episode choice to itself and stays open.
    auto download = std::make_shared<ZV_ShowBottomView>();
    download->clickIndexWithEpisodeId = record(episodesChosen, download);
    download->show(5, title(2), nullptr);
    auto downloadPanel = panelOf<ZV_SelectEpisodeContentView>(download);
    EXPECT_TRUE(downloadPanel->isDownload);
    tapChip(*firstPage(*downloadPanel), 0);
    EXPECT_EQ(episodesChosen.size(), 1u);
    EXPECT_FALSE(hiding(download));
    tap(*downloadPanel->closeBtn());
    EXPECT_TRUE(hiding(download));

    // Offline episodes: no source name, chips relay as for type 3.
    auto offline = std::make_shared<ZV_ShowBottomView>();
    offline->clickIndexWithEpisodeId = record(episodesChosen, offline);
    offline->showOfflineEpisodes(episodes(2));
    auto offlinePanel = panelOf<ZV_SelectEpisodeContentView>(offline);
    EXPECT_TRUE(offlinePanel->sourceName()->isHidden());
    tapChip(*firstPage(*offlinePanel), 1);
    EXPECT_EQ(episodesChosen.back(), std::make_pair(std::string("e2"), true));
    // Let the hides end: a presentation's window holds it until then.
    advance(1.0);
}

TEST_F(PanelPresenterTest, OnlyTheSettingsPanelReportsACloseAndTheDimmedAreaJustHides)
{
    int closes = 0;
    auto settings = std::make_shared<ZV_ShowBottomView>();
    settings->clickClose = [&] { ++closes; };
    settings->show(2, title(1), player);
    auto panel = panelOf<ZV_SettingContentView>(settings);
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->player, player);

    // A stored setting: the owner hears of it, the sheet stays.
    panel->clickClose();
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(hiding(settings));

    // A tap above the sheet hides it without telling the owner.
    ASSERT_TRUE(TouchDriver().tap({ 195, 200 }));
    advance(1.0);
    EXPECT_FALSE(settings->isVisible());
    EXPECT_EQ(closes, 1);

    // The close button hides too, silently.
    auto again = std::make_shared<ZV_ShowBottomView>();
    again->clickClose = [&] { ++closes; };
    again->show(2, title(1), player);
    tap(*panelOf<ZV_SettingContentView>(again)->closeBtn());
    advance(1.0);
    EXPECT_FALSE(again->isVisible());
    EXPECT_EQ(closes, 1);
}

TEST_F(PanelPresenterTest, TheMutePickerKeepsTheTimeBlockOfShowTime)
{
    std::vector<int> early;
    std::vector<int> late;
    ZV_ShowBottomView::setMutePickerFactory(nullptr);
    auto unregistered = std::make_shared<ZV_ShowBottomView>();
    unregistered->show(6, nullptr, nullptr);
    EXPECT_FALSE(unregistered->isVisible());

    ZV_ChatMushinAlertView::registerInBottomSheet();
    auto sheet = std::make_shared<ZV_ShowBottomView>();
    sheet->timeBlock = [&](int seconds) { early.push_back(seconds); };
    sheet->show(6, nullptr, nullptr);
    sheet->timeBlock = [&](int seconds) { late.push_back(seconds); };
    auto picker = panelOf<ZV_ChatMushinAlertView>(sheet);
    ASSERT_TRUE(picker);
    tap(*picker->sendBtn());
    EXPECT_EQ(early, std::vector<int> { 3600 });
    EXPECT_TRUE(late.empty());

    tap(*picker->closeBtn());
    advance(1.0);
    EXPECT_FALSE(sheet->isVisible());

    auto form = std::make_shared<ZV_ShowBottomView>();
    form->show(4, nullptr, nullptr);
    tap(*panelOf<ZV_SearchFeedbackAlertView>(form)->closeBtn());
    advance(1.0);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(PanelPresenterTest, MissingInputsShowNothing)
{
    auto noSources = title(2);
    noSources->playFrom.reset();
    struct Case {
        int type;
        std::shared_ptr<ZV_DetailModel> model;
        std::shared_ptr<SJVideoPlayer> player;
    };
    for (const Case& c : std::vector<Case> { { 0, nullptr, player }, { 1, nullptr, player },
             { 1, noSources, player }, { 2, title(1), nullptr }, { 2, nullptr, player },
             { 3, nullptr, player }, { 3, noSources, player }, { 5, nullptr, player },
             { 7, title(1), player }, { -1, title(1), player } }) {
        auto sheet = std::make_shared<ZV_ShowBottomView>();
        sheet->show(c.type, c.model, c.player);
        EXPECT_FALSE(sheet->isVisible()) << "bottom type " << c.type;
        EXPECT_FALSE(sheet->contentView()) << "bottom type " << c.type;
    }
    for (const Case& c : std::vector<Case> { { 0, nullptr, player }, { 0, noSources, player },
             { 1, nullptr, player }, { 2, title(1), nullptr }, { 2, nullptr, player },
             { 3, title(1), nullptr }, { 4, title(1), player } }) {
        auto panel = std::make_shared<ZV_ShowRightFullView>();
        panel->show(c.type, c.model, c.player);
        EXPECT_FALSE(panel->isVisible()) << "right type " << c.type;
        EXPECT_FALSE(panel->contentView()) << "right type " << c.type;
    }
}

TEST_F(PanelPresenterTest, PanelsOutlivingTheirPresenterRelayNothing)
{
    int chosen = 0;
    auto sheet = std::make_shared<ZV_ShowBottomView>();
    sheet->clickSource = [&](const std::string&) { ++chosen; };
    sheet->show(1, title(2), nullptr);
    auto panel = panelOf<ZV_SourceContentView>(sheet);
    sheet->hideWithAnimated(false);
    std::weak_ptr<ZV_ShowBottomView> gone = sheet;
    sheet.reset();
    advance(1.0);
    // The panel does not keep its presenter alive.
    ASSERT_TRUE(gone.expired());
    tapRow(*panel->rows()[0]);
    tap(*panel->closeBtn());
    EXPECT_EQ(chosen, 0);
}

TEST_F(PanelPresenterTest, RightPanelsStandAtTheEndOfTheLongSide)
{
    UIScreen::main().setInterfaceOrientation(UIInterfaceOrientation::landscapeRight);
    auto frameOf = [](auto show) {
        auto panel = std::make_shared<ZV_ShowRightFullView>();
        show(*panel);
        EXPECT_TRUE(panel->isVisible());
        return panel->contentView() ? panel->contentView()->frame() : CGRect {};
    };
    EXPECT_EQ(frameOf([](ZV_ShowRightFullView& p) { p.show(1, title(2), nullptr); }),
        (CGRect { 504, 0, 340, 390 }));
    EXPECT_EQ(frameOf([&](ZV_ShowRightFullView& p) { p.show(2, title(2), player); }),
        (CGRect { 406, 0, 438, 390 }));
    EXPECT_EQ(frameOf([](ZV_ShowRightFullView& p) { p.show(0, title(2), nullptr); }),
        (CGRect { 544, 0, 300, 390 }));
    // The rate panel needs no title.
    EXPECT_EQ(
        frameOf([&](ZV_ShowRightFullView& p) { p.show(3, nullptr, player); }), (CGRect { 544, 0, 300, 390 }));
    EXPECT_EQ(frameOf([](ZV_ShowRightFullView& p) { p.showOfflineEpisodes(episodes(3)); }),
        (CGRect { 504, 0, 340, 390 }));
}

TEST_F(PanelPresenterTest, RightPanelChoicesHideFirstThenReachTheOwner)
{
    UIScreen::main().setInterfaceOrientation(UIInterfaceOrientation::landscapeRight);
    std::vector<std::string> log;

    auto rates = std::make_shared<ZV_ShowRightFullView>();
    rates->clickMultiple
        = [&](int row) { log.push_back("rate " + std::to_string(row) + (hiding(rates) ? " hiding" : "")); };
    player->setRate(1.25);
    rates->show(3, nullptr, player);
    auto ratePanel = panelOf<ZV_MultipleContentFullView>(rates);
    ASSERT_EQ(ratePanel->rows().size(), 6u);
    EXPECT_EQ(ratePanel->rows()[3]->name()->textColor(), colorWithHex("03FFE1"));
    ASSERT_TRUE(tapOn(*ratePanel->rows()[5]));
    EXPECT_EQ(player->rate(), 2.0);

    auto sources = std::make_shared<ZV_ShowRightFullView>();
    sources->clickSource
        = [&](const std::string& code) { log.push_back(code + (hiding(sources) ? " hiding" : "")); };
    sources->show(0, title(3), nullptr);
    tapRow(*panelOf<ZV_SourceContentFullView>(sources)->rows()[1]);

    auto episodesPanel = std::make_shared<ZV_ShowRightFullView>();
    episodesPanel->episodeId = "e3";
    episodesPanel->clickIndexWithEpisodeId
        = [&](const std::string& id) { log.push_back(id + (hiding(episodesPanel) ? " hiding" : "")); };
    episodesPanel->show(1, title(2), nullptr);
    const auto& grid = panelOf<ZV_SelectEpisodeContentFullView>(episodesPanel)->collectionView();
    advance(0.1);
    grid->layoutIfNeeded();
    ASSERT_EQ(grid->visibleCells().size(), 4u);
    EXPECT_EQ(grid->visibleCells()[2]->contentView()->backgroundColor(), colorWithHex("03FFE1"));
    advance(1.0); // the chips have slid into place
    ASSERT_TRUE(tapOn(*grid->visibleCells()[0]));
    EXPECT_EQ(log, (std::vector<std::string> { "rate 5 hiding", "src1 hiding", "e1 hiding" }));

    // Settings: a stored setting is reported and the panel stays; the dimmed area hides silently.
    int closes = 0;
    auto settings = std::make_shared<ZV_ShowRightFullView>();
    settings->clickClose = [&] { ++closes; };
    settings->show(2, title(1), player);
    panelOf<ZV_SettingContentFullView>(settings)->clickClose();
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(hiding(settings));
    advance(1.0);
    ASSERT_TRUE(TouchDriver().tap({ 100, 200 }));
    advance(1.0);
    EXPECT_FALSE(settings->isVisible());
    EXPECT_EQ(closes, 1);
}

}
