// The title page's rules as tables: the start episode, a source switch, the play report's
// conditions, the rows' heights, the episode sheet's pages, and the texts of the intro sheet
// and the poster.

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Models/ZV_DetailModel.h"
#include "app/MainController/Detail/Cell/ZV_PlayerInfoCell.h"
#include "app/MainController/Detail/Cell/ZV_PlayerSelectCell.h"
#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"
#include "app/MainController/Detail/Conrtoller/ZV_ShareVC.h"
#include "app/MainController/Detail/View/ZV_DetailsContentView.h"
#include "app/MainController/Detail/View/ZV_SelectEpisodeContentListView.h"
#include "app/MainController/Detail/View/ZV_SelectEpisodeContentView.h"
#include "platform/ui/TextLayout.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

using Episodes = ZV_DetailVC::Episodes;

Episodes episodes(const std::string& prefix, int count)
{
    Episodes list;
    for (int i = 1; i <= count; ++i) {
        auto episode = std::make_shared<ZV_DetailDataListPlayFromListModel>();
        episode->episodeId = prefix + std::to_string(i);
        episode->episodeName = "第" + std::to_string(i) + "集";
        list.push_back(episode);
    }
    return list;
}

// A title whose sources hold these many episodes, ids "<code><n>" with the codes "a", "b", "c"...
ZV_DetailModel title(std::vector<int> counts, std::optional<std::string> lastPlayed = std::nullopt)
{
    ZV_DetailModel model;
    model.id = "7";
    model.playFrom.emplace();
    char code = 'a';
    for (int count : counts) {
        auto source = std::make_shared<ZV_DetailDataListPlayFromModel>();
        source->code = std::string(1, code);
        source->name = "线路" + std::string(1, code);
        source->list = episodes(std::string(1, code), count);
        model.playFrom->push_back(source);
        ++code;
    }
    if (lastPlayed) {
        model.lastPlayback = std::make_shared<ZV_DetailDataListLastPlaybackModel>();
        model.lastPlayback->episode_id = *lastPlayed;
        model.lastPlayback->movie_from = "b";
        model.lastPlayback->current_time = 42;
    }
    return model;
}

std::vector<std::size_t> episodesOfSources(const ZV_DetailModel& model)
{
    std::vector<std::size_t> counts;
    for (const auto& source : *model.playFrom)
        counts.push_back(source->list ? source->list->size() : 0);
    return counts;
}

std::shared_ptr<ZV_DetailDataListMembersModel> member(
    ZV_DetailDataListMembersModel::membersType type, std::string name)
{
    auto person = std::make_shared<ZV_DetailDataListMembersModel>();
    person->type = type;
    person->name = std::move(name);
    return person;
}

}

TEST(DetailRules, TheStartEpisodeIsTheLastPlayedOneOfTheSourceInUseElseItsFirst)
{
    struct Case {
        const char* what;
        std::vector<int> counts;
        std::optional<std::string> lastPlayed;
        std::optional<std::string> start;
    };
    for (const Case& c : std::vector<Case> { { "last played in the source in use", { 3, 4 }, "a2", "a2" },
             // The source of the last playback is not consulted: only the first with episodes.
             { "last played in another source", { 3, 4 }, "b4", "a1" },
             { "first source empty", { 0, 4 }, "b3", "b3" },
             { "first source empty, nothing played", { 0, 4 }, std::nullopt, "b1" },
             { "an unknown episode", { 2 }, "zz", "a1" },
             { "no episodes anywhere", { 0, 0 }, "a1", std::nullopt },
             { "no sources", {}, std::nullopt, std::nullopt } }) {
        ZV_DetailModel model = title(c.counts, c.lastPlayed);
        EXPECT_EQ(ZV_DetailVC::startEpisode(model), c.start) << c.what;
    }
    EXPECT_TRUE(ZV_DetailVC::hasNoPlaySources(title({})));
    EXPECT_FALSE(ZV_DetailVC::hasNoPlaySources(title({ 0 })));
    // A title without its list of sources counts as having some.
    EXPECT_FALSE(ZV_DetailVC::hasNoPlaySources(ZV_DetailModel()));
}

TEST(DetailRules, ASourceSwitchKeepsThePositionEmptiesTheOthersAndCarriesThePlaybackOver)
{
    struct Case {
        const char* what;
        int newCount;
        std::optional<std::string> current;
    };
    // The current episode a6 stands at position 5 of the first source.
    for (const Case& c : std::vector<Case> { { "a shorter source keeps the episode", 3, "a6" },
             { "a longer source plays the same position", 8, "b6" }, { "exactly long enough", 6, "b6" } }) {
        ZV_DetailModel model = title({ 10, 0, 0 });
        std::optional<std::string> now
            = ZV_DetailVC::switchSource(model, "b", episodes("b", c.newCount), std::string("a6"), 17.9);
        EXPECT_EQ(now, c.current) << c.what;
        EXPECT_EQ(episodesOfSources(model),
            (std::vector<std::size_t> { 0, static_cast<std::size_t>(c.newCount), 0 }))
            << c.what;
        ASSERT_TRUE(model.lastPlayback) << c.what;
        EXPECT_EQ(model.lastPlayback->episode_id, c.current.value_or("")) << c.what;
        EXPECT_EQ(model.lastPlayback->current_time, 17) << c.what;
        EXPECT_EQ(model.lastPlayback->movie_from, "") << c.what;
        EXPECT_EQ(ZV_DetailVC::sourceInUse(model)->code, "b") << c.what;
    }

    // An existing last playback keeps its source and takes the episode and the position.
    ZV_DetailModel played = title({ 4, 4 }, "a2");
    EXPECT_EQ(ZV_DetailVC::switchSource(played, "b", episodes("b", 4), std::string("a2"), 3), "b2");
    EXPECT_EQ(played.lastPlayback->movie_from, "b");
    EXPECT_EQ(played.lastPlayback->episode_id, "b2");
    EXPECT_EQ(played.lastPlayback->current_time, 3);

    // With the episode in two sources, the last of them gives the position.
    ZV_DetailModel twice = title({ 5, 5 });
    (*twice.playFrom)[1]->list->at(3)->episodeId = "a2";
    EXPECT_EQ(ZV_DetailVC::switchSource(twice, "a", episodes("n", 5), std::string("a2"), 0), "n4");
}

TEST(DetailRules, APlayReportNeedsASignedInViewerASecondAndANewPosition)
{
    ZV_DetailDataListLastPlaybackModel last;
    last.current_time = 30;
    struct Case {
        const char* what;
        ZV_DetailVC::ReportState state;
        bool reports;
    };
    auto state = [&](bool signedIn, double position,
                     const ZV_DetailDataListLastPlaybackModel* lastPlayback = nullptr) {
        ZV_DetailVC::ReportState s;
        s.signedIn = signedIn;
        s.hasEpisodeList = true;
        s.hasEpisode = true;
        s.position = position;
        s.duration = 60;
        s.lastPlayback = lastPlayback;
        return s;
    };
    ZV_DetailVC::ReportState noList = state(true, 5);
    noList.hasEpisodeList = false;
    ZV_DetailVC::ReportState noEpisode = state(true, 5);
    noEpisode.hasEpisode = false;
    ZV_DetailVC::ReportState noDuration = state(true, 5);
    noDuration.duration = std::numeric_limits<double>::quiet_NaN();
    for (const Case& c : std::vector<Case> { { "signed out", state(false, 12), false },
             { "under a second", state(true, 0.6), false }, { "a second", state(true, 1.0), true },
             { "no episode list", noList, false }, { "no episode played", noEpisode, false },
             { "the position the server has", state(true, 30.7, &last), false },
             { "another position", state(true, 31, &last), true },
             { "no position", state(true, std::numeric_limits<double>::quiet_NaN()), false },
             { "no duration", noDuration, false } })
        EXPECT_EQ(ZV_DetailVC::shouldReport(c.state), c.reports) << c.what;
}

TEST(DetailRules, RowHeightsFollowAdvertsAndWholeRowsOfRelatedTitles)
{
    ZV_AdvertConfigModel adverts;
    adverts.player_episode_up.data.url = "https://127.0.0.1/promo";
    adverts.player_episode_up.data.image = "https://127.0.0.1/a.png";
    EXPECT_EQ(ZV_DetailVC::advertRowHeight(nullptr, &ZV_AdvertConfigModel::player_episode_up, 390), 0);
    EXPECT_EQ(ZV_DetailVC::advertRowHeight(&adverts, &ZV_AdvertConfigModel::player_recommend_up, 390), 0);
    EXPECT_DOUBLE_EQ(ZV_DetailVC::advertRowHeight(&adverts, &ZV_AdvertConfigModel::player_episode_up, 390),
        342.0 * 122 / 342 + 20);

    // 390 wide: items floor(310 / 3) = 103 wide and 184 high; every started row counts.
    struct Case {
        std::size_t count;
        bool pad;
        CGFloat width;
        int rows;
    };
    for (const Case& c : std::vector<Case> { { 0, false, 390, 0 }, { 1, false, 390, 1 }, { 2, false, 390, 1 },
             { 3, false, 390, 1 }, { 4, false, 390, 2 }, { 6, false, 390, 2 }, { 7, false, 390, 3 },
             { 5, true, 1024, 1 }, { 6, true, 1024, 2 } }) {
        CGFloat item = c.pad ? std::floor((c.width - 112) / 5) : std::floor((c.width - 80) / 3);
        EXPECT_DOUBLE_EQ(
            ZV_DetailVC::relatedRowHeight(c.count, c.width, c.pad), item * 184 / 103 * c.rows + 92)
            << c.count << (c.pad ? " on a large screen" : "");
    }
    EXPECT_DOUBLE_EQ(ZV_DetailVC::relatedRowHeight(4, 390, false), 184 * 2 + 92);

    EXPECT_EQ(ZV_DetailVC::infoCellHeight("", 390), 56);
    CGFloat oneLine = ZV_DetailVC::infoCellHeight("雾港", 390);
    CGFloat wrapped = ZV_DetailVC::infoCellHeight(std::string(40, 'W') + " 很长很长很长的一个片名", 390);
    EXPECT_GT(oneLine, 56);
    EXPECT_GT(wrapped, oneLine);
    EXPECT_EQ(oneLine, std::ceil(oneLine));
}

TEST(DetailRules, TheEpisodeSheetPagesFiftyEpisodesAtATime)
{
    struct Case {
        std::size_t count;
        std::vector<std::string> ranges;
    };
    for (const Case& c : std::vector<Case> { { 0, { "" } }, { 50, { "" } }, { 51, { "1-50", "51-51" } },
             { 100, { "1-50", "51-100" } }, { 120, { "1-50", "51-100", "101-120" } } })
        EXPECT_EQ(ZV_SelectEpisodeContentView::ranges(c.count), c.ranges) << c.count;

    Episodes many = episodes("e", 120);
    Episodes third = ZV_SelectEpisodeContentView::pageEpisodes("101-120", many);
    ASSERT_EQ(third.size(), 20u);
    EXPECT_EQ(third.front()->episodeId, "e101");
    EXPECT_EQ(third.back()->episodeId, "e120");
    EXPECT_EQ(ZV_SelectEpisodeContentView::pageEpisodes("51-100", many).front()->episodeId, "e51");
    // Up to fifty, a page holds every episode whatever its range.
    EXPECT_EQ(ZV_SelectEpisodeContentView::pageEpisodes("", episodes("e", 50)).size(), 50u);
    // Ranges that do not read as numbers, or reach past the list, give what lies inside.
    for (const char* bad : { "", "x-10", "5-", "0-3", "9-2", "130-140", "-" })
        EXPECT_TRUE(ZV_SelectEpisodeContentView::pageEpisodes(bad, many).empty()) << bad;
    EXPECT_EQ(ZV_SelectEpisodeContentView::pageEpisodes("101-500", many).size(), 20u);
}

TEST(DetailRules, ChipsAndExportStates)
{
    Episodes strip = episodes("e", 2);
    strip[1]->episodeName = "";
    UIFont bold = UIFont::boldSystemFont(14);
    EXPECT_EQ(ZV_PlayerSelectCell::chipSize(strip, 0).width,
        std::ceil(TextLayout::measure("第1集", bold).width) + 32);
    EXPECT_EQ(ZV_PlayerSelectCell::chipSize(strip, 1), (CGSize { 32, 44 }));
    EXPECT_EQ(ZV_PlayerSelectCell::chipSize(strip, 2), (CGSize { 58, 44 }));

    using Status = MCSAssetExportStatus;
    EXPECT_EQ(ZV_SelectEpisodeContentListView::recordState(Status::exporting), "downing");
    EXPECT_EQ(ZV_SelectEpisodeContentListView::recordState(Status::finished), "finish");
    EXPECT_EQ(ZV_SelectEpisodeContentListView::recordState(Status::failed), "fail");
    for (Status other : { Status::unknown, Status::waiting, Status::suspended })
        EXPECT_EQ(ZV_SelectEpisodeContentListView::recordState(other), std::nullopt);
}

TEST(DetailRules, InfoLinesCreditsAndPosterLines)
{
    using Role = ZV_DetailDataListMembersModel::membersType;
    ZV_DetailModel model;
    model.typeName = "国产剧";
    model.year = "2024";
    model.tags.emplace();
    EXPECT_EQ(ZV_PlayerInfoCell::infoText(model, " | "), "国产剧 | 2024");
    EXPECT_EQ(ZV_ShareVC::typeLine(model), "国产剧 / 2024");
    for (const char* name : { "悬疑", "海岛" }) {
        auto tag = std::make_shared<ZV_DetailDataListTagsModel>();
        tag->name = name;
        model.tags->push_back(tag);
    }
    EXPECT_EQ(ZV_PlayerInfoCell::infoText(model, " | "), "国产剧 | 2024 | 悬疑 | 海岛");
    EXPECT_EQ(ZV_ShareVC::typeLine(model), "国产剧 / 2024 / 悬疑 / 海岛");

    model.members.emplace();
    EXPECT_EQ(ZV_DetailsContentView::creditsText(model).string(), "导演     编剧     主演 ");
    EXPECT_EQ(ZV_ShareVC::actorLine(model), "");
    model.members->push_back(member(Role::director, "周行舟"));
    model.members->push_back(member(Role::actor, "沈青禾"));
    model.members->push_back(member(Role::director, "许知白"));
    model.members->push_back(member(Role::screenwriter, "林晚"));
    model.members->push_back(member(Role::actor, "陆远"));
    NSAttributedString credits = ZV_DetailsContentView::creditsText(model);
    EXPECT_EQ(credits.string(), "导演 周行舟, 许知白    编剧 林晚    主演 沈青禾, 陆远");
    // The role labels at half strength, the names at full.
    EXPECT_EQ(credits.attributes(0).foregroundColor->resolved(UIUserInterfaceStyle::light),
        colorWithHex("1D1942", 0.5));
    EXPECT_EQ(
        credits.attributes(3).foregroundColor->resolved(UIUserInterfaceStyle::light), colorWithHex("1D1942"));
    EXPECT_EQ(ZV_ShareVC::actorLine(model), "沈青禾 | 陆远");
}
