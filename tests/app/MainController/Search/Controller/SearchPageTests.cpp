// The search page against the local test server's sample search: the history, the rate-limited
// suggestions on the virtual clock, the sections of each state, cancel, favourites and the rule
// that suggestions never replace results.

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Storage/StoreData.h"
#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"
#include "app/MainController/Search/Controller/ZV_SearchVC.h"
#include "app/MainController/Search/View/ZV_SearchEmptyView.h"
#include "app/MainController/Search/View/ZV_SearchHeaderReusableView.h"
#include "app/MainController/Search/View/ZV_SearchMovieCell.h"
#include "app/MainController/Search/View/ZV_SearchNavView.h"
#include "app/MainController/Search/View/ZV_SearchTagCell.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "tests/app/support/ScreenTestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

using Section = ZV_SearchSectionType;
using Sections = std::vector<Section>;

class SearchPageTest : public zvtest::ScreenTest {
protected:
    // The page on screen with its hot words and rankings in.
    void open()
    {
        page = std::make_shared<ZV_SearchVC>();
        show(page);
        ASSERT_TRUE(runUntil([&] { return !page->zv_wordsList.empty() && !page->zv_rankingList.empty(); }));
        drain();
        window->layoutIfNeeded();
    }

    // As the sample account, whose favourites the results tell of and the toggle changes.
    static void signIn() { setToken("tk-301877-first"); }

    UITextField& field() { return *page->zv_searchView()->zv_searchField(); }

    // One keystroke at the end of the field, as typing does.
    void type(const std::string& text) { field().insertText(text); }

    // Submits the keyword and waits for the results.
    void searchFor(const std::string& keyword)
    {
        page->submitSearch(keyword);
        ASSERT_TRUE(allRepliesIn());
    }

    static std::vector<std::string> keywordsAsked()
    {
        std::vector<std::string> keywords;
        for (const auto& call : callsTo("v1/movie/search_complete"))
            keywords.push_back(call.value("keyword", ""));
        return keywords;
    }

    std::shared_ptr<ZV_SearchVC> page;
};

}

TEST_F(SearchPageTest, HistoryKeepsTenNewestFirstWithoutTwins)
{
    for (int i = 1; i <= 12; ++i)
        ZV_SearchVC::recordHistory("k" + std::to_string(i));
    EXPECT_EQ(ZV_SearchVC::history(),
        (std::vector<std::string> { "k12", "k11", "k10", "k9", "k8", "k7", "k6", "k5", "k4", "k3" }));
    // Again: to the front, not twice; an exact comparison only.
    ZV_SearchVC::recordHistory("k5");
    ZV_SearchVC::recordHistory("K5");
    EXPECT_EQ(ZV_SearchVC::history(),
        (std::vector<std::string> { "K5", "k5", "k12", "k11", "k10", "k9", "k8", "k7", "k6", "k4" }));

    ZV_SearchVC::clearHistory();
    EXPECT_FALSE(StoreData::value(StoreData::history));
    // A stored value that is not a list of texts reads as none, and is replaced.
    StoreData::set(
        PropertyList(PropertyList::Array { PropertyList("a"), PropertyList(7) }), StoreData::history);
    EXPECT_TRUE(ZV_SearchVC::history().empty());
    ZV_SearchVC::recordHistory("雨季");
    EXPECT_EQ(ZV_SearchVC::history(), (std::vector<std::string> { "雨季" }));

    // On the page, a tap on the history's header removes it.
    open();
    ASSERT_EQ(page->sectionTypes, (Sections { Section::history, Section::screenList, Section::ranking }));
    auto header
        = page->zv_collectionView()->supplementaryView(UICollectionElementKindSectionHeader, { 0, 0 });
    ASSERT_TRUE(header);
    TouchDriver driver;
    ASSERT_TRUE(driver.tapView(*header));
    drain();
    EXPECT_FALSE(StoreData::value(StoreData::history));
    EXPECT_EQ(page->sectionTypes, (Sections { Section::screenList, Section::ranking }));
}

// Five keystrokes 0.2 s apart: checks at 0.7 s and at 1.5 s, the second with every keystroke in;
// the checks in between ask for nothing. Composition text is not asked for until committed.
TEST_F(SearchPageTest, SuggestionsAreAskedAtMostOncePer700Milliseconds)
{
    open();
    field().becomeFirstResponder();
    field().setMarkedText("yu");
    advance(1);
    field().setMarkedText("");
    EXPECT_TRUE(keywordsAsked().empty());

    for (const char* key : { "青", "石", "巷" }) {
        type(key);
        advance(0.2);
    }
    type("的"); // at 0.6 s
    advance(0.1 - 1e-6); // just before 0.7 s
    EXPECT_TRUE(keywordsAsked().empty());
    advance(1e-6);
    ASSERT_TRUE(runUntil([] { return keywordsAsked().size() == 1; }));
    EXPECT_EQ(keywordsAsked().front(), "青石巷的");

    advance(0.1);
    type("雨"); // at 0.8 s
    advance(0.7 - 1e-6);
    EXPECT_FALSE(runUntil([] { return keywordsAsked().size() > 1; }, 0.3));
    advance(1e-6); // 1.5 s
    ASSERT_TRUE(runUntil([] { return keywordsAsked().size() == 2; }));
    EXPECT_EQ(keywordsAsked().back(), "青石巷的雨");
    ASSERT_TRUE(runUntil([&] { return page->zv_completeList.size() == 1; }));
    advance(2);
    EXPECT_EQ(keywordsAsked().size(), 2u);
    ASSERT_EQ(page->zv_completeList.size(), 1u);
    EXPECT_EQ(page->zv_completeList[0].name, "青石巷的雨季");
    EXPECT_EQ(page->sectionTypes, (Sections { Section::complete }));
}

// The state machine of the sections, one row per state.
TEST_F(SearchPageTest, SectionsFollowTheLists)
{
    struct Row {
        bool advert, suggestions, results, emptyShown, history, words, rankings;
        Sections expected;
    };
    const std::vector<Row> rows {
        { false, false, false, false, false, false, false, {} },
        { false, false, false, false, true, true, true,
            { Section::history, Section::screenList, Section::ranking } },
        { false, false, false, false, false, true, false, { Section::screenList } },
        { true, false, false, false, true, false, true,
            { Section::advert, Section::history, Section::ranking } },
        { false, true, false, false, true, true, true, { Section::complete } },
        { true, true, true, false, true, true, true, { Section::advert, Section::complete } },
        { false, false, true, false, true, true, true, { Section::tag, Section::movie } },
        { true, false, true, false, false, false, false, { Section::advert, Section::tag, Section::movie } },
        { false, false, false, true, true, true, false,
            { Section::tag, Section::history, Section::screenList } },
    };
    auto withImage = std::make_shared<ZV_AdvertConfigModel>();
    withImage->search_input_under.data.image = "https://127.0.0.1/a.png";
    auto onlyAbove = std::make_shared<ZV_AdvertConfigModel>();
    onlyAbove->search_result_up.data.image = "https://127.0.0.1/b.png";

    auto screen = std::make_shared<ZV_SearchVC>();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        ConfigSingleton::shared().advertConfigModel = row.advert ? withImage : onlyAbove;
        screen->zv_completeList = row.suggestions ? std::vector<ZV_SearchCompleteModel>(2)
                                                  : std::vector<ZV_SearchCompleteModel> {};
        screen->zv_searchMovieList.clear();
        if (row.results)
            screen->zv_searchMovieList.push_back(std::make_shared<ZV_SearchMovieModel>());
        screen->searchEmptyView()->setHidden(!row.emptyShown);
        if (row.history)
            ZV_SearchVC::recordHistory("雨季");
        else
            ZV_SearchVC::clearHistory();
        screen->zv_wordsList = row.words ? std::vector<ZV_WordsModel>(3) : std::vector<ZV_WordsModel> {};
        screen->zv_rankingList.clear();
        if (row.rankings)
            screen->zv_rankingList.push_back(std::make_shared<ZV_RankingModel>());
        screen->reloadSections();
        EXPECT_EQ(screen->sectionTypes, row.expected) << "row " << i;
        EXPECT_EQ(screen->zv_collectionView()->numberOfSections(), int(row.expected.size())) << "row " << i;
    }
}

TEST_F(SearchPageTest, CancelGoesBackToTheStartWithTextAndLeavesWithout)
{
    auto home = std::make_shared<UIViewController>();
    show(home);
    page = std::make_shared<ZV_SearchVC>();
    home->show(page);
    ASSERT_TRUE(runUntil([&] { return !page->zv_wordsList.empty() && !page->zv_rankingList.empty(); }));
    searchFor("Rain");
    ASSERT_EQ(page->zv_searchMovieList.size(), 3u);
    EXPECT_EQ(page->sectionTypes, (Sections { Section::tag, Section::movie }));

    page->cancelTapped();
    EXPECT_EQ(field().text(), "");
    EXPECT_TRUE(page->zv_searchMovieList.empty());
    EXPECT_TRUE(page->searchEmptyView()->isHidden());
    EXPECT_EQ(page->sectionTypes, (Sections { Section::history, Section::screenList, Section::ranking }));

    // After a search without results, cancel hides the empty-result view again.
    searchFor("没有这部片");
    EXPECT_FALSE(page->searchEmptyView()->isHidden());
    EXPECT_EQ(page->sectionTypes.front(), Section::tag);
    page->cancelTapped();
    EXPECT_TRUE(page->searchEmptyView()->isHidden());

    page->cancelTapped(); // with an empty field: leaves
    advance(1);
    EXPECT_EQ(home->navigationController()->viewControllers().size(), 1u);
}

// The strip counts the results loaded; a search that finds none asks for another word.
TEST_F(SearchPageTest, TheStripCountsTheResultsAndAnEmptyResultAsksForAnotherWord)
{
    open();
    struct Case {
        const char* keyword;
        const char* count;
        bool emptyShown;
    };
    for (const Case& c :
        { Case { "Rain", "共 3 条搜索结果", false }, Case { "没有这部片", "共 0 条搜索结果", true } }) {
        searchFor(c.keyword);
        window->layoutIfNeeded();
        ASSERT_EQ(page->sectionTypes.front(), Section::tag) << c.keyword;
        auto strip
            = std::dynamic_pointer_cast<ZV_SearchTagCell>(page->zv_collectionView()->cellForItem({ 0, 0 }));
        ASSERT_TRUE(strip) << c.keyword;
        EXPECT_EQ(strip->titleLb()->text(), c.count);
        EXPECT_EQ(page->searchEmptyView()->isHidden(), !c.emptyShown) << c.keyword;
    }
    EXPECT_EQ(page->searchEmptyView()->titleLb()->text(), "没有结果，换个关键词试试");
}

// The favourite goes to the server; the flip comes from the "collect" notice that the API client
// posts after a successful request, and only for a text id of a shown result.
TEST_F(SearchPageTest, FavouriteFlipsThroughTheCollectNotice)
{
    signIn();
    open();
    searchFor("Rain");
    auto first = page->zv_searchMovieList.at(0);
    ASSERT_EQ(first->id, "50102");
    ASSERT_FALSE(first->is_collect);

    int before = ui->hides;
    page->toggleFavourite(first);
    ASSERT_TRUE(waitForReplies(before));
    auto calls = callsTo("v1/movie/collect/action");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0]["movie_id"], "50102");
    EXPECT_EQ(calls[0]["state"], true);
    EXPECT_EQ(api().recordsTo("v1/movie/collect/action")[0].request.method, "POST");
    EXPECT_TRUE(first->is_collect);
    EXPECT_EQ(tips(), (std::vector<std::string> { "收藏成功" }));

    for (const std::any& object : { std::any(), std::any(JSON(50102)), std::any(JSON("99999")) })
        NotificationCenter::defaultCenter().post("collect", object);
    EXPECT_TRUE(first->is_collect);
    NotificationCenter::defaultCenter().post("collect", std::any(JSON("50102")));
    EXPECT_FALSE(first->is_collect);

    // A refused request shows the server's message and flips nothing.
    QMUITips::hideAllTips();
    auto unknown = std::make_shared<ZV_SearchMovieModel>(); // no id
    page->zv_searchMovieList.push_back(unknown);
    before = ui->hides;
    page->toggleFavourite(unknown);
    ASSERT_TRUE(waitForReplies(before));
    EXPECT_FALSE(unknown->is_collect);
    EXPECT_EQ(tips(), (std::vector<std::string> { "影片不存在" }));
}

// The strip's second type searches the same text again by cast, leaving the history alone.
TEST_F(SearchPageTest, ResultTypeStripSearchesAgainByCast)
{
    open();
    searchFor("林一舟");
    EXPECT_TRUE(page->zv_searchMovieList.empty());
    EXPECT_FALSE(page->searchEmptyView()->isHidden());
    ASSERT_EQ(page->sectionTypes.front(), Section::tag);
    auto strip
        = std::dynamic_pointer_cast<ZV_SearchTagCell>(page->zv_collectionView()->cellForItem({ 0, 0 }));
    ASSERT_TRUE(strip);

    int before = ui->hides;
    strip->segmentedView()->selectItemAt(1);
    ASSERT_TRUE(waitForReplies(before));
    EXPECT_EQ(page->resType, "by_member_name");
    auto searches = callsTo("v1/movie/search");
    ASSERT_EQ(searches.size(), 2u);
    EXPECT_EQ(searches[1]["keyword"], "林一舟");
    EXPECT_EQ(searches[1]["res_type"], "by_member_name");
    EXPECT_EQ(searches[1]["page"], 1);
    EXPECT_EQ(searches[0]["res_type"], "by_movie_name");
    EXPECT_EQ(page->zv_searchMovieList.size(), 2u);
    EXPECT_EQ(ZV_SearchVC::history(), (std::vector<std::string> { "林一舟" }));
}

// A search without results keeps the strip, and the advert above it, whole and in reach: the
// empty-result view covers the list only from the strip's bottom down, and a tap on the strip's
// cast tab searches the same word by cast.
TEST_F(SearchPageTest, AnEmptyResultLeavesTheStripAndTheAdvertWholeAndInReach)
{
    auto adverts = std::make_shared<ZV_AdvertConfigModel>();
    adverts->search_input_under.data.image = serverURL() + "/images/advert-banner.jpg";
    for (bool withAdvert : { false, true }) {
        SCOPED_TRACE(withAdvert ? "with an advert" : "without an advert");
        ConfigSingleton::shared().advertConfigModel = withAdvert ? adverts : nullptr;
        open();
        searchFor("rain洛阳");
        ASSERT_TRUE(page->zv_searchMovieList.empty());
        ASSERT_FALSE(page->searchEmptyView()->isHidden());
        window->layoutIfNeeded();
        Sections top = withAdvert ? Sections { Section::advert, Section::tag } : Sections { Section::tag };
        ASSERT_GT(page->sectionTypes.size(), top.size());
        ASSERT_EQ(Sections(page->sectionTypes.begin(), page->sectionTypes.begin() + top.size()), top);

        const std::shared_ptr<UICollectionView>& list = page->zv_collectionView();
        CGRect shown = list->convert(list->bounds(), nullptr);
        CGRect empty = page->searchEmptyView()->convert(page->searchEmptyView()->bounds(), nullptr);
        CGRect strip;
        for (int section = 0; section < int(top.size()); ++section) {
            auto cell = list->cellForItem(IndexPath::forItem(0, section));
            ASSERT_TRUE(cell) << "section " << section;
            CGRect frame = cell->convert(cell->bounds(), nullptr);
            EXPECT_TRUE(shown.contains(frame)) << "section " << section;
            EXPECT_FALSE(frame.intersects(empty)) << "section " << section;
            // A finger on it reaches the cell, not the view above the list.
            auto hit = window->hitTest(frame.center());
            EXPECT_TRUE(hit && hit->isDescendant(cell.get())) << "section " << section;
            strip = frame;
        }
        // Everything below the strip stays covered.
        EXPECT_NEAR(empty.minY(), strip.maxY(), 0.5);
        EXPECT_EQ(empty.maxY(), window->bounds().maxY());

        std::size_t searches = callsTo("v1/movie/search").size();
        int before = ui->hides;
        TouchDriver driver;
        ASSERT_TRUE(driver.tapText("演员名"));
        ASSERT_TRUE(waitForReplies(before));
        auto calls = callsTo("v1/movie/search");
        ASSERT_EQ(calls.size(), searches + 1);
        EXPECT_EQ(calls.back()["keyword"], "rain洛阳");
        EXPECT_EQ(calls.back()["res_type"], "by_member_name");
    }
}

// The empty-result view stays under the strip when the sections above it change after the
// result came: an advert configured since (or no longer) stands above the strip once a reply
// rebuilds the list, the hot words' reply or that of another search without results.
TEST_F(SearchPageTest, TheEmptyResultViewMovesWithTheStripWhenTheSectionsAboveItChange)
{
    auto adverts = std::make_shared<ZV_AdvertConfigModel>();
    adverts->search_input_under.data.image = serverURL() + "/images/advert-banner.jpg";
    struct Case {
        const char* what;
        bool advertBefore;
        bool advertAfter;
        const char* searchAgain; // none: the hot words come again
    };
    const Case cases[] = {
        { "an advert, with the hot words", false, true, nullptr },
        { "an advert, with another empty result", false, true, "洛阳rain" },
        { "the advert gone, with the hot words", true, false, nullptr },
    };
    // Where the strip shows on the window, and the top of the empty-result view.
    auto placed = [&](CGRect& strip, CGFloat& emptyTop) {
        window->layoutIfNeeded();
        auto section = std::find(page->sectionTypes.begin(), page->sectionTypes.end(), Section::tag);
        ASSERT_NE(section, page->sectionTypes.end());
        auto cell = page->zv_collectionView()->cellForItem(
            IndexPath::forItem(0, int(section - page->sectionTypes.begin())));
        ASSERT_TRUE(cell);
        strip = cell->convert(cell->bounds(), nullptr);
        emptyTop = page->searchEmptyView()->convert(page->searchEmptyView()->bounds(), nullptr).minY();
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConfigSingleton::shared().advertConfigModel = c.advertBefore ? adverts : nullptr;
        open();
        searchFor("rain洛阳");
        ASSERT_FALSE(page->searchEmptyView()->isHidden());
        CGRect stripBefore;
        CGFloat emptyTop = 0;
        placed(stripBefore, emptyTop);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_NEAR(emptyTop, stripBefore.maxY(), 0.5);

        ConfigSingleton::shared().advertConfigModel = c.advertAfter ? adverts : nullptr;
        if (c.searchAgain) {
            searchFor(c.searchAgain);
        } else {
            page->requestHotWords();
            ASSERT_TRUE(allRepliesIn());
        }
        ASSERT_FALSE(page->searchEmptyView()->isHidden());
        CGRect strip;
        placed(strip, emptyTop);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_NE(strip.minY(), stripBefore.minY()) << "the strip did not move";
        EXPECT_NEAR(emptyTop, strip.maxY(), 0.5);
    }
}

// Submitting or cancelling drops a pending suggestion check; a suggestion reply asked before a
// submission, or for a text the field no longer holds, is dropped: results stay.
TEST_F(SearchPageTest, StaleSuggestionsNeverReplaceResults)
{
    open();
    field().becomeFirstResponder();
    type("Rain");
    int before = ui->hides;
    field().pressReturn();
    ASSERT_TRUE(waitForReplies(before));
    advance(2);
    EXPECT_TRUE(keywordsAsked().empty());
    EXPECT_EQ(page->sectionTypes, (Sections { Section::tag, Section::movie }));

    type(" King");
    page->cancelTapped();
    advance(2);
    EXPECT_TRUE(keywordsAsked().empty());

    // A request on its way when the same text is submitted.
    field().setText("Rain");
    page->loadComplete("Rain");
    searchFor("Rain");
    EXPECT_TRUE(page->zv_completeList.empty());
    EXPECT_EQ(page->zv_searchMovieList.size(), 3u);

    // A reply for a text the field no longer holds.
    page->loadComplete("雨");
    field().setText("雨季");
    ASSERT_TRUE(allRepliesIn());
    EXPECT_TRUE(page->zv_completeList.empty());
    EXPECT_EQ(page->zv_searchMovieList.size(), 3u);

    // One that is still current is shown.
    page->loadComplete("雨季");
    ASSERT_TRUE(allRepliesIn());
    EXPECT_EQ(page->zv_completeList.size(), 2u);
    EXPECT_TRUE(page->zv_searchMovieList.empty());
}

// A result opens the title page for its id (not its name), from a tap on the row; each row shows
// the server's "is_collect" and its favourite button sends the opposite.
TEST_F(SearchPageTest, AResultOpensItsTitleByIdAndShowsAndTogglesItsOwnFavouriteFlag)
{
    signIn();
    open();
    searchFor("Rain");
    ASSERT_EQ(page->sectionTypes, (Sections { Section::tag, Section::movie }));
    std::vector<std::string> ids, buttons;
    std::vector<std::shared_ptr<ZV_SearchMovieCell>> cells;
    for (int item = 0; item < 3; ++item) {
        auto cell = std::dynamic_pointer_cast<ZV_SearchMovieCell>(
            page->zv_collectionView()->cellForItem({ item, 1 }));
        ASSERT_TRUE(cell) << item;
        cells.push_back(cell);
        ids.push_back(cell->model()->id);
        buttons.push_back(cell->zv_collectBtn()->currentTitle().value_or(""));
    }
    EXPECT_EQ(ids, (std::vector<std::string> { "50102", "50103", "50104" }));
    EXPECT_EQ(buttons, (std::vector<std::string> { "收藏", "已收藏", "收藏" }));

    int before = ui->hides;
    cells[1]->zv_collectBtn()->sendActions(UIControlEventTouchUpInside);
    ASSERT_TRUE(waitForReplies(before));
    auto calls = callsTo("v1/movie/collect/action");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0]["movie_id"], "50103");
    EXPECT_EQ(calls[0]["state"], false);
    EXPECT_FALSE(page->zv_searchMovieList[1]->is_collect);

    TouchDriver driver;
    ASSERT_TRUE(driver.tapView(*cells[1]->zv_titleLb()));
    drain();
    advance(1);
    auto detail = std::dynamic_pointer_cast<ZV_DetailVC>(page->navigationController()->topViewController());
    ASSERT_TRUE(detail);
    EXPECT_TRUE(detail->vod_id == "50103");
}

// The hot words' header asks for them again, each tap, and the reply replaces the words.
TEST_F(SearchPageTest, TheHotWordsHeaderAsksAgainAndItsReplyReplacesTheWords)
{
    open();
    ASSERT_EQ(page->sectionTypes, (Sections { Section::screenList, Section::ranking }));
    ASSERT_EQ(api().recordsTo("v1/movie/search_lately_words").size(), 1u);
    api().script("v1/movie/search_lately_words",
        testserver::ApiReply::success(nlohmann::json::array({ { { "hot", 5 }, { "word", "海上灯塔" } } })));
    TouchDriver driver;
    for (std::size_t tap = 1; tap <= 2; ++tap) {
        auto header = std::dynamic_pointer_cast<ZV_SearchHeaderReusableView>(
            page->zv_collectionView()->supplementaryView(UICollectionElementKindSectionHeader, { 0, 0 }));
        ASSERT_TRUE(header);
        int before = ui->hides;
        ASSERT_TRUE(driver.tapView(*header));
        ASSERT_TRUE(waitForReplies(before));
        EXPECT_EQ(api().recordsTo("v1/movie/search_lately_words").size(), 1 + tap);
        ASSERT_EQ(page->zv_wordsList.size(), 1u);
        EXPECT_EQ(page->zv_wordsList[0].word, "海上灯塔");
        EXPECT_EQ(page->zv_wordsList[0].hot, 5);
    }
    EXPECT_EQ(page->sectionTypes, (Sections { Section::screenList, Section::ranking }));
}
