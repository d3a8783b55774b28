// The filter page against the local test server's catalogue: the request a choice makes, paging,
// what a failed page leaves, and the tip that sums up the choice.

#include "app/Core/Models/ZV_ConfigData.h"
#include "app/MainController/Home/Controller/ZV_HomeScreemVC.h"
#include "app/MainController/Home/View/ZV_HomeFilterCell.h"
#include "app/MainController/Home/View/ZV_HomeFilterSubCell.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/refresh/MJRefreshAttachment.h"
#include "tests/app/MainController/Home/HomeTestSupport.h"

#include <gtest/gtest.h>

using testserver::ApiReply;

namespace {

std::vector<ZV_ConfigDataMovie_screenSort> sorts()
{
    return ZV_ConfigData(JSON::parse(R"({"movie_screen": {"sort": [
        {"name": "最新", "value": "time"}, {"name": "最热", "value": "hits"}]}})"))
        .movie_screen.sort;
}

class HomeFilterTest : public zvtest::HomeScreenTest {
protected:
    void SetUp() override
    {
        HomeScreenTest::SetUp();
        screen->type_id = 1;
        screen->zv_sort = sorts();
        ZV_ConfigDataMovie_screenFilter films;
        films.id = 1;
        films.type = { "全部", "全部", "剧情", "科幻" };
        films.area = { "全部", "大陆" };
        screen->zv_filter = films;
    }

    // Runs the action and waits for the reply it asks for.
    void load(const std::function<void()>& action)
    {
        int before = ui->hides;
        action();
        ASSERT_TRUE(waitForReplies(before));
    }

    // Of the list request sent last.
    JSON lastListParameters() const
    {
        auto records = sent.recordsTo(api(), "v1/movie/screen/list");
        return records.empty() || !records.back().parameters ? JSON()
                                                             : JSON::parse(records.back().parameters->dump());
    }

    MJRefreshState footerState() { return mjFooter(*screen->collectionView())->state(); }

    std::shared_ptr<ZV_HomeScreemVC> screen = std::make_shared<ZV_HomeScreemVC>();
};

TEST_F(HomeFilterTest, ChosenChipsBecomeTheRequestsParameters)
{
    struct Case {
        const char* what;
        ZV_FilterModel choice;
        const char* expected;
    };
    for (const Case& c :
        std::vector<Case> {
            { "nothing chosen", {}, R"({"type_id": 1, "page": 3, "pageSize": 18})" },
            { "a sort by its name", { .sort = "最热" },
                R"({"type_id": 1, "sort": "hits", "page": 3, "pageSize": 18})" },
            { "a sort no option has", { .sort = "评分" }, R"({"type_id": 1, "page": 3, "pageSize": 18})" },
            { "an empty sort", { .sort = "" }, R"({"type_id": 1, "page": 3, "pageSize": 18})" },
            { "class, area and year as chosen", { .type = "全部", .area = "大陆", .year = "2024" },
                R"({"type_id": 1, "class": "全部", "area": "大陆", "year": "2024", "page": 3, "pageSize": 18})" },
        }) {
        *screen->zv_filterModel = c.choice;
        EXPECT_EQ(screen->listParameters(3), JSON::parse(c.expected)) << c.what;
    }
}

// Once the option rows have scrolled away, the tip sums up the chosen class, area and year with
// " / " between them, never the sort; back at the rows it goes.
TEST_F(HomeFilterTest, TheTipSumsUpTheChoiceOnceTheOptionRowsHaveScrolledAway)
{
    screen->zv_filterModel->type = "剧情"; // enough titles to scroll
    load([&] { show(screen); });
    struct Case {
        ZV_FilterModel choice;
        const char* tip; // empty: no tip
    };
    for (const Case& c : std::vector<Case> {
             { { .sort = "最热", .type = "剧情", .year = "2023" }, "剧情 / 2023" },
             { { .type = "剧情", .area = "大陆", .year = "2023" }, "剧情 / 大陆 / 2023" },
             { { .area = "大陆" }, "大陆" },
             { { .type = "", .year = "2023" }, "2023" },
             { { .sort = "最热" }, "" },
             { {}, "" },
         }) {
        *screen->zv_filterModel = c.choice;
        screen->collectionView()->setContentOffset({ 0, 600 });
        layout();
        EXPECT_EQ(screen->tipLb()->isHidden(), std::string(c.tip).empty()) << c.tip;
        if (!screen->tipLb()->isHidden()) {
            EXPECT_EQ(screen->tipLb()->text(), c.tip);
        }
        screen->collectionView()->setContentOffset({ 0, 0 });
        layout();
        EXPECT_TRUE(screen->tipLb()->isHidden()) << c.tip;
    }
}

TEST_F(HomeFilterTest, PageOneReplacesLaterPagesAppendAndAnEmptyPageEndsTheList)
{
    screen->zv_filterModel->type = "剧情"; // 24 titles in the sample catalogue
    load([&] { show(screen); });
    EXPECT_EQ(screen->modelList.size(), 18u);
    using Section = ZV_HomeScreemSectionType;
    EXPECT_EQ(screen->sectionTypes,
        (std::vector<Section> { Section::sort, Section::type, Section::area, Section::line, Section::list }));

    load([&] { screen->loadMore(); });
    EXPECT_EQ(screen->page, 2);
    EXPECT_EQ(screen->modelList.size(), 24u);
    EXPECT_EQ(lastListParameters()["page"], 2);
    EXPECT_EQ(footerState(), MJRefreshState::idle);

    load([&] { screen->loadMore(); });
    EXPECT_EQ(screen->page, 3);
    EXPECT_EQ(screen->modelList.size(), 24u);
    EXPECT_EQ(footerState(), MJRefreshState::noMoreData);

    // A fresh start clears the end of the list.
    load([&] { screen->refresh(); });
    EXPECT_EQ(screen->page, 1);
    EXPECT_EQ(screen->modelList.size(), 18u);
    EXPECT_EQ(footerState(), MJRefreshState::idle);
}

TEST_F(HomeFilterTest, AFailedPageIsAskedForAgainAndItsMessageShown)
{
    load([&] { show(screen); });
    ASSERT_EQ(screen->modelList.size(), 18u);

    api().script("v1/movie/screen/list", ApiReply::error(1004, "参数错误"));
    load([&] { screen->loadMore(); });
    EXPECT_EQ(screen->page, 1);
    EXPECT_EQ(screen->modelList.size(), 18u);
    EXPECT_EQ(ui->toasts, (std::vector<std::string> { "参数错误" }));

    api().clearScripts();
    load([&] { screen->loadMore(); });
    EXPECT_EQ(lastListParameters()["page"], 2);
    EXPECT_EQ(screen->page, 2);
    EXPECT_EQ(screen->modelList.size(), 36u);

    // A reply to a request that a later one replaced changes nothing.
    screen->handleList(JSON::parse(R"({"list": [{"id": "1"}]})"), std::nullopt, 3, 0);
    EXPECT_EQ(screen->modelList.size(), 36u);
    EXPECT_EQ(screen->page, 2);
}

TEST_F(HomeFilterTest, AFreshStartIsNeitherOvertakenByAnOlderPageNorFollowedByALaterOne)
{
    load([&] { show(screen); });
    ASSERT_EQ(screen->modelList.size(), 18u);
    std::size_t calls = api().recordsTo("v1/movie/screen/list").size();

    // Page 2 is on its way when a chip is chosen: only the new page 1 counts.
    int before = ui->hides;
    screen->loadMore();
    screen->zv_filterModel->type = "科幻";
    screen->refresh();
    ASSERT_TRUE(waitForReplies(before, 2));
    EXPECT_EQ(screen->page, 1);
    EXPECT_EQ(lastListParameters()["class"], "科幻");
    // The sample catalogue's ten science-fiction films, and nothing of the older page.
    ASSERT_EQ(screen->modelList.size(), 10u);
    EXPECT_EQ(screen->modelList[0]->id, "41002");
    EXPECT_EQ(api().recordsTo("v1/movie/screen/list").size(), calls + 2);

    // While page 1 is on its way the footer asks for nothing.
    load([&] {
        screen->refresh();
        screen->loadMore();
    });
    EXPECT_EQ(api().recordsTo("v1/movie/screen/list").size(), calls + 3);
    EXPECT_EQ(lastListParameters()["page"], 1);
}

TEST_F(HomeFilterTest, ARowShowsItsChoiceAndATappedChipLoadsFromPageOne)
{
    load([&] { show(screen); });
    auto typeRow = std::dynamic_pointer_cast<ZV_HomeFilterCell>(
        screen->collectionView()->cellForItem(IndexPath(0, 1)));
    ASSERT_TRUE(typeRow);
    auto chip = [&](int item) {
        return std::dynamic_pointer_cast<ZV_HomeFilterSubCell>(
            typeRow->collectionView()->cellForItem(IndexPath(item, 0)));
    };
    // Nothing chosen: the first chip; the class row's second "全部" never shows.
    ASSERT_TRUE(chip(0) && chip(1) && chip(2));
    EXPECT_TRUE(chip(0)->isSel());
    EXPECT_TRUE(chip(1)->isHidden());
    EXPECT_FALSE(chip(2)->isSel());

    load([&] { ASSERT_TRUE(TouchDriver().tapView(*chip(2))); });
    EXPECT_EQ(screen->zv_filterModel->type, "剧情");
    EXPECT_EQ(lastListParameters()["class"], "剧情");
    EXPECT_EQ(lastListParameters()["page"], 1);
    typeRow = std::dynamic_pointer_cast<ZV_HomeFilterCell>(
        screen->collectionView()->cellForItem(IndexPath(0, 1)));
    ASSERT_TRUE(typeRow && chip(0) && chip(2));
    EXPECT_FALSE(chip(0)->isSel());
    EXPECT_TRUE(chip(2)->isSel());
}

}
