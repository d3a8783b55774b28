// The ranking tab against the local test server's sample rankings: its tabs, pages that load by
// id, the root's background, the ranking model and the ranked title's cell.

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/GradientView.h"
#include "app/Extensions/ViewConstraints.h"
#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"
#include "app/MainController/Ranking/Controller/ZV_RankingChildrenVC.h"
#include "app/MainController/Ranking/Controller/ZV_RankingMainVC.h"
#include "app/MainController/Ranking/Model/ZV_RankingModel.h"
#include "app/MainController/Ranking/View/ZV_RankingCell.h"
#include "app/MainController/Root/ZVRootViewController.h"
#include "platform/storage/ASConfigration.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "tests/app/support/ScreenTestSupport.h"
#include "tools/testserver/ApiServer.h"

#include <gtest/gtest.h>

namespace {

// The id a title page was opened with, whether it keeps it as a text or an optional one.
[[maybe_unused]] std::string idOf(const std::string& id)
{
    return id;
}
[[maybe_unused]] std::string idOf(const std::optional<std::string>& id)
{
    return id.value_or("(none)");
}

class RankingTest : public zvtest::ScreenTest {
protected:
    void TearDown() override
    {
        ScreenTest::TearDown();
        ASConfigration::closeDefaultDB();
    }

    static std::vector<std::string> tabTitles(ZV_RankingMainVC& page) { return page.zv_dataSource()->titles; }

    static std::shared_ptr<ZV_RankingChildrenVC> pageAt(ZV_RankingMainVC& page, int index)
    {
        const auto& lists = page.zv_listContainerView()->validListDict();
        auto found = lists.find(index);
        return found == lists.end() ? nullptr
                                    : std::dynamic_pointer_cast<ZV_RankingChildrenVC>(found->second);
    }

    bool tap(const std::shared_ptr<UIView>& view)
    {
        bool tapped = view && driver.tapView(*view);
        drain();
        window->layoutIfNeeded();
        return tapped;
    }

    TouchDriver driver;
};

}

TEST(RankingModel, ReadsWordsAndTitlesWithDefaults)
{
    ZV_RankingModel full(JSON::parse(R"({"id": 7, "title": "热播榜",
        "list": [{"hot": "12", "word": "长夜将明"}, {"word": 3}, "junk"],
        "movie_data": [{"id": 50105, "name": "长夜将明"}, {}]})"));
    EXPECT_EQ(full.id, "7");
    EXPECT_EQ(full.title, "热播榜");
    ASSERT_EQ(full.list.size(), 3u);
    EXPECT_EQ(full.list[0].hot, 12);
    EXPECT_EQ(full.list[0].word, "长夜将明");
    EXPECT_EQ(full.list[1].word, "3");
    EXPECT_EQ(full.list[2].word, "");
    ASSERT_EQ(full.movie_data.size(), 2u);
    EXPECT_EQ(full.movie_data[0]->id, "50105");

    for (const char* text : { "{}", R"({"list": "x", "movie_data": {"id": 1}})", "[]", "null" }) {
        ZV_RankingModel empty(JSON::parse(text));
        EXPECT_EQ(empty.id, "") << text;
        EXPECT_TRUE(empty.list.empty()) << text;
        EXPECT_TRUE(empty.movie_data.empty()) << text;
    }
}

// One tab per ranking in reply order; a ranking that came with titles shows them without a
// request, one without is fetched by its id when first shown and keeps them on the shared model.
// The root's background stays while the viewer moves between rankings and goes with the tab.
TEST_F(RankingTest, TabsPagesAndTheBackground)
{
    auto root = std::make_shared<ZVRootViewController>();
    show(root);
    // The chat badge's reply reloads the tab bar: tap after it.
    ASSERT_TRUE(waitForReplies(0));
    ASSERT_TRUE(tap(root->segmentedView()->cellForItem(1)));
    auto ranking = root->rankingVC();
    ASSERT_TRUE(runUntil([&] { return !tabTitles(*ranking).empty(); }));
    drain();
    window->layoutIfNeeded();
    EXPECT_EQ(tabTitles(*ranking), (std::vector<std::string> { "热播榜", "好评榜", "新片榜", "完结榜" }));
    auto first = pageAt(*ranking, 0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->zv_collectionView()->numberOfItems(0), 6);
    EXPECT_TRUE(api().recordsTo("v1/movie/ranking/data").empty());
    EXPECT_FALSE(root->imageBgView()->isHidden());

    int before = ui->hides;
    ASSERT_TRUE(tap(ranking->zv_segmentedView()->cellForItem(2)));
    ASSERT_TRUE(waitForReplies(before));
    auto calls = callsTo("v1/movie/ranking/data");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0]["id"], "r3");
    auto third = pageAt(*ranking, 2);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->model, ranking->zv_modelList[2]);
    EXPECT_EQ(ranking->zv_modelList[2]->movie_data.size(), 4u);
    EXPECT_EQ(third->zv_collectionView()->numberOfItems(0), 4);

    // The first page has left the screen; its delayed step leaves the background to the tab.
    advance(0.5);
    EXPECT_FALSE(root->imageBgView()->isHidden());

    // Leaving the tab hides it at once, and again 0.1 s later.
    ASSERT_TRUE(tap(root->segmentedView()->cellForItem(4)));
    EXPECT_TRUE(root->imageBgView()->isHidden());
    root->imageBgView()->setHidden(false);
    advance(0.1);
    EXPECT_TRUE(root->imageBgView()->isHidden());
}

// A ranked row opens the title page for that row's title id (not its name, not another row's),
// in a ranking that came with its titles and in one loaded by its id alike.
TEST_F(RankingTest, ARowOpensItsTitleById)
{
    auto ranking = std::make_shared<ZV_RankingMainVC>();
    show(ranking);
    ASSERT_TRUE(runUntil([&] { return !tabTitles(*ranking).empty(); }));
    ASSERT_TRUE(allRepliesIn());
    auto opened = [&](ZV_RankingChildrenVC& page, int row) -> std::string {
        auto cell
            = std::dynamic_pointer_cast<ZV_RankingCell>(page.zv_collectionView()->cellForItem({ row, 0 }));
        if (!cell || !tap(cell->titleLb()))
            return "no row " + std::to_string(row);
        advance(1);
        auto navigation = ranking->navigationController();
        auto detail = std::dynamic_pointer_cast<ZV_DetailVC>(navigation->topViewController());
        if (!detail)
            return "no title page";
        std::string id = idOf(detail->vod_id);
        navigation->popViewController(false);
        drain();
        window->layoutIfNeeded();
        return id;
    };
    auto first = pageAt(*ranking, 0);
    ASSERT_TRUE(first);
    EXPECT_EQ(opened(*first, 1), "50105");
    EXPECT_EQ(opened(*first, 0), "40311");

    ASSERT_TRUE(tap(ranking->zv_segmentedView()->cellForItem(2)));
    ASSERT_TRUE(allRepliesIn());
    auto third = pageAt(*ranking, 2);
    ASSERT_TRUE(third);
    EXPECT_EQ(opened(*third, 1), "50103");
}

// The delivered value is the list of rankings: anything but an array changes nothing. A ranking
// page keeps its titles when its request fails and takes a reply that is no array as none.
TEST_F(RankingTest, OnlyArraysReplaceRankingsOrTitles)
{
    api().script(
        "v1/movie/ranking/list", testserver::ApiReply::success({ { "list", nlohmann::json::array() } }));
    auto ranking = std::make_shared<ZV_RankingMainVC>();
    show(ranking);
    ASSERT_TRUE(
        runUntil([&] { return api().recordsTo("v1/movie/ranking/list").size() == 1 && ui->hides >= 1; }));
    drain();
    EXPECT_TRUE(tabTitles(*ranking).empty());
    EXPECT_EQ(ranking->numberOfLists(*ranking->zv_listContainerView()), 0);
    auto beyond = std::dynamic_pointer_cast<ZV_RankingChildrenVC>(
        ranking->initListAt(*ranking->zv_listContainerView(), 3));
    ASSERT_TRUE(beyond);
    EXPECT_FALSE(beyond->model);

    auto model = std::make_shared<ZV_RankingModel>(JSON::parse(R"({"id": "r9", "movie_data": [{"id": 1}]})"));
    auto page = std::make_shared<ZV_RankingChildrenVC>();
    page->model = model;
    api().script("v1/movie/ranking/data", testserver::ApiReply::error(500, "服务器错误"));
    page->loadData();
    ASSERT_TRUE(waitForReplies(1));
    EXPECT_EQ(model->movie_data.size(), 1u);
    api().script("v1/movie/ranking/data", testserver::ApiReply::success({ { "id", 1 } }));
    page->loadData();
    ASSERT_TRUE(waitForReplies(2));
    EXPECT_TRUE(model->movie_data.empty());
}

TEST(RankingCell, BadgesByPlaceAndTagsThatMoveTheSynopsis)
{
    const std::vector<std::pair<int, std::vector<UIColor>>> badges {
        { 0, { colorWithHex("FF1F47"), colorWithHex("FF326F") } },
        { 1, { colorWithHex("FF480E"), colorWithHex("FF5C00") } },
        { 2, { colorWithHex("FF6332"), colorWithHex("FFA132") } },
        { 3, { colorWithHex("000000", 0.1), colorWithHex("000000", 0.1) } },
    };
    auto cell = std::make_shared<ZV_RankingCell>();
    for (const auto& [row, colours] : badges) {
        cell->setRow(row);
        EXPECT_EQ(cell->numLb()->text(), std::to_string(row + 1));
        EXPECT_EQ(az_colors(*cell->numLb()), colours) << row;
        EXPECT_EQ(az_startPoint(*cell->numLb()), (CGPoint { 0, 0 }));
        EXPECT_EQ(az_endPoint(*cell->numLb()), (CGPoint { 0, 1 }));
    }

    auto tie = [&] {
        auto constraint = cs_constraintWithAttribute(*cell->tagStackView(), NSLayoutAttribute::bottom,
            cell->titleLb().get(), NSLayoutAttribute::bottom);
        return constraint ? constraint->priority() : -1;
    };
    cell->setModel(std::make_shared<ZV_DetailModel>(JSON::parse(
        R"({"name": "长夜将明", "hot": "9.1万", "blurb": "一桩旧案", "tags": [{"name": "悬疑"}, {"name": "刑侦"}]})")));
    EXPECT_EQ(cell->titleLb()->text(), "长夜将明");
    EXPECT_EQ(cell->hotLb()->text(), "9.1万");
    EXPECT_EQ(cell->contentLb()->text(), "一桩旧案");
    ASSERT_EQ(cell->tagStackView()->arrangedSubviews().size(), 2u);
    EXPECT_FALSE(cell->tagStackView()->isHidden());
    EXPECT_EQ(tie(), 250);

    cell->setModel(std::make_shared<ZV_DetailModel>(JSON::parse(R"({"name": "Rain"})")));
    EXPECT_TRUE(cell->tagStackView()->arrangedSubviews().empty());
    EXPECT_TRUE(cell->tagStackView()->isHidden());
    EXPECT_EQ(tie(), 750);
    cell->setModel(nullptr);
    EXPECT_TRUE(cell->tagStackView()->isHidden());
    EXPECT_EQ(cell->titleLb()->text(), "");
}
