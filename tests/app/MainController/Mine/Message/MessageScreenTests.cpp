// The notices against the sample API (13 notices, 10 to a page, a total of 37): the stored count
// and "noti" on every reply, the badge that this clears, pages appended and replaced, the empty
// first page, cards by type, the time format and what a tap opens.

#include "app/Core/Helpers/NoticeHelpers.h"
#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"
#include "app/MainController/Mine/Message/ZV_MessageCell.h"
#include "app/MainController/Mine/Message/ZV_MessageVC.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/SFSafariViewController.h"
#include "platform/ui/qmui/QMUIEmptyView.h"
#include "platform/ui/qmui/QMUILabel.h"
#include "platform/ui/refresh/MJRefreshAttachment.h"
#include "tests/app/MainController/Mine/MineTestSupport.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>

using namespace zvtest;
using testserver::ApiReply;

namespace {

class MessageTest : public MineScreenTest {
protected:
    void SetUp() override
    {
        MineScreenTest::SetUp();
        m_token = NotificationCenter::defaultCenter().addObserver(
            "noti", [this](const Notification&) { ++notis; });
    }

    void TearDown() override
    {
        NotificationCenter::defaultCenter().removeObserver(m_token);
        MineScreenTest::TearDown();
    }

    std::vector<long long> requestedPages()
    {
        std::vector<long long> pages;
        for (const auto& record : api().recordsTo("v1/notice/list"))
            pages.push_back(record.parameters->value("page", 0LL));
        return pages;
    }

    int notis = 0;

private:
    NotificationCenter::Token m_token;
};

// The device's time zone for one test.
class TimeZone {
public:
    explicit TimeZone(const char* zone)
    {
        if (const char* old = std::getenv("TZ"))
            m_old = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~TimeZone()
    {
        if (m_old)
            ::setenv("TZ", m_old->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::optional<std::string> m_old;
};

}

TEST_F(MessageTest, EveryReplyStoresTheTotalPostsNotiAndClearsTheBadge)
{
    loadConfiguration("37");
    ASSERT_TRUE(hasNewNotice());
    auto page = std::make_shared<ZV_MessageVC>();
    push(page);
    ASSERT_TRUE(waitFor([&] { return page->list().size() == 10; }));
    EXPECT_EQ(UserDefaults::standard().stringForKey("new_notice"), "37");
    EXPECT_EQ(notis, 1);
    EXPECT_FALSE(hasNewNotice());

    UIScrollView& table = *page->tableView();
    // A load-more that fails asks for the same page next time; no reply, no "noti".
    api().script("v1/notice/list", ApiReply::error(5001, "服务繁忙"));
    mjFooter(table)->beginRefreshing();
    ASSERT_TRUE(waitFor([&] { return requestedPages().size() == 2 && !mjFooter(table)->isRefreshing(); }));
    EXPECT_EQ(page->page(), 1);
    EXPECT_EQ(notis, 1);
    api().clearScripts();

    mjFooter(table)->beginRefreshing();
    ASSERT_TRUE(waitFor([&] { return page->list().size() == 13; }));
    EXPECT_EQ(notis, 2);
    mjFooter(table)->beginRefreshing();
    ASSERT_TRUE(waitFor([&] { return page->page() == 3; }));
    settle();
    EXPECT_EQ(notis, 3);
    EXPECT_EQ(page->list().size(), 13u);
    EXPECT_EQ(mjFooter(table)->state(), MJRefreshState::noMoreData);
    EXPECT_EQ(requestedPages(), (std::vector<long long> { 1, 2, 2, 3 }));
    for (const auto& record : api().recordsTo("v1/notice/list"))
        EXPECT_EQ(record.parameters->value("pageSize", 0), 10);
}

TEST_F(MessageTest, AnEmptyFirstPageShowsTheEmptyStateAndEndsTheList)
{
    api().script(
        "v1/notice/list", ApiReply::success({ { "total", 37 }, { "list", nlohmann::json::array() } }));
    auto page = std::make_shared<ZV_MessageVC>();
    push(page);
    ASSERT_TRUE(waitFor([&] { return page->isEmptyViewShowing(); }));
    settle();
    EXPECT_EQ(page->emptyView()->textLabel()->text(), "这里什么都没有...");
    EXPECT_EQ(UserDefaults::standard().stringForKey("new_notice"), "37");
    EXPECT_EQ(notis, 1);
    EXPECT_EQ(mjFooter(*page->tableView())->state(), MJRefreshState::noMoreData);
}

TEST_F(MessageTest, CardsByType)
{
    struct Case {
        const char* json;
        bool text;
        CGFloat titleSize;
    };
    for (const Case& c : { Case { R"({"title":"t","content":"c","type":0})", true, 16 },
             Case { R"({"title":"t","content":"c"})", true, 16 },
             Case { R"({"title":"t","content":"https://127.0.0.1:1/e","type":1})", false, 14 },
             Case { R"({"title":"t","content":"40217","type":2})", false, 14 } }) {
        auto cell = std::make_shared<ZV_MessageCell>();
        cell->setNotice(JSON::parse(c.json));
        EXPECT_EQ(cell->zv_contentLabel()->isHidden(), !c.text) << c.json;
        EXPECT_EQ(cell->titleLabel()->font().pointSize(), c.titleSize) << c.json;
        EXPECT_EQ(cell->titleLabel()->text(), "t");
    }
}

TEST_F(MessageTest, TimesInTheDevicesZone)
{
    struct Case {
        const char* zone;
        std::int64_t seconds;
        const char* text;
    };
    for (const Case& c : { Case { "UTC", 1718000000, "2024-06-10 06:13" },
             Case { "Asia/Shanghai", 1718000000, "2024-06-10 14:13" }, Case { "UTC", 0, "1970-01-01 00:00" },
             Case { "America/New_York", 0, "1969-12-31 19:00" } }) {
        TimeZone zone(c.zone);
        EXPECT_EQ(ZV_MessageCell::timeText(c.seconds), c.text) << c.zone;
    }
}

TEST_F(MessageTest, ATapOpensTheLinkOrTheTitle)
{
    api().script("v1/notice/list",
        ApiReply::success({ { "total", 4 },
            { "list",
                nlohmann::json::array({ { { "title", "plain" }, { "content", "text" }, { "type", 0 } },
                    { { "title", "link" }, { "content", "https://127.0.0.1:1/event" }, { "type", 1 } },
                    { { "title", "script" }, { "content", "javascript:alert(1)" }, { "type", 1 } },
                    { { "title", "title" }, { "content", "123" }, { "type", 2 } } }) } }));
    auto page = std::make_shared<ZV_MessageVC>();
    push(page);
    ASSERT_TRUE(waitFor([&] { return page->list().size() == 4; }));
    struct Case {
        int row;
        const char* opens; // "" nothing, "safari", "detail"
    };
    for (const Case& c : { Case { 0, "" }, Case { 1, "safari" }, Case { 2, "" }, Case { 3, "detail" } }) {
        page->didSelectRow(*page->tableView(), IndexPath(c.row, 0));
        settle();
        bool safari
            = std::dynamic_pointer_cast<SFSafariViewController>(page->presentedViewController()) != nullptr;
        auto detail = std::dynamic_pointer_cast<ZV_DetailVC>(top());
        EXPECT_EQ(safari, std::string(c.opens) == "safari") << c.row;
        EXPECT_EQ(detail != nullptr, std::string(c.opens) == "detail") << c.row;
        if (detail) {
            EXPECT_EQ(detail->vod_id, "123");
        }
        if (safari)
            page->dismiss(false);
        navigation->popToViewController(page, false);
        settle();
    }
}

TEST_F(MessageTest, APullAfterTheLastPageShowsTheFirstPageAlone)
{
    auto page = std::make_shared<ZV_MessageVC>();
    push(page);
    ASSERT_TRUE(waitFor([&] { return page->list().size() == 10; }));
    UIScrollView& table = *page->tableView();
    mjFooter(table)->beginRefreshing();
    ASSERT_TRUE(waitFor([&] { return page->list().size() == 13; }));
    mjFooter(table)->beginRefreshing();
    ASSERT_TRUE(waitFor([&] { return page->page() == 3; }));
    settle();

    mjHeader(table)->beginRefreshing();
    settle();
    ASSERT_TRUE(waitFor([&] { return page->list().size() == 10; }));
    settle();
    EXPECT_EQ(page->page(), 1);
    EXPECT_EQ(page->list().front()["title"].stringValue(),
        sampleFile("mine.json")["notices"]["list"][0]["title"].stringValue());
    EXPECT_EQ(requestedPages(), (std::vector<long long> { 1, 2, 3, 1 }));
}
