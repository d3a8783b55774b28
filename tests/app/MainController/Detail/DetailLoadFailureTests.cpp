// A title page whose title does not come: every way the detail reply fails shows the load-failed
// state with its retry under the player, logs the failure once, and a retry that gets the title
// shows the page.

#include "app/MainController/Detail/View/ZV_LoadingView.h"
#include "platform/foundation/Log.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/qmui/QMUIEmptyView.h"
#include "platform/ui/qmui/QMUILabel.h"
#include "platform/ui/qmui/QMUITableView.h"
#include "tests/app/MainController/Detail/DetailTestSupport.h"

#include <gtest/gtest.h>
#include <mutex>
#include <optional>

namespace {

using testserver::ApiFault;

class DetailLoadFailureTest : public zvtest::DetailLogTest {
protected:
    // The page pushed over a first screen, its first reply handled.
    std::shared_ptr<ZV_DetailVC> push(const std::string& id)
    {
        show(std::make_shared<BaseViewController>());
        auto page = std::make_shared<ZV_DetailVC>();
        page->vod_id = id;
        std::size_t before = callsTo("v1/movie/detail").size();
        auto navigation = std::dynamic_pointer_cast<UINavigationController>(window->rootViewController());
        EXPECT_TRUE(navigation);
        if (!navigation)
            return page;
        navigation->pushViewController(page, false);
        drain();
        EXPECT_TRUE(runUntil([&] { return callsTo("v1/movie/detail").size() > before; }));
        EXPECT_TRUE(allRepliesIn());
        return page;
    }

    static bool failedState(ZV_DetailVC& page)
    {
        return page.isEmptyViewShowing() && page.emptyView()->textLabel()->text() == "加载失败，点击重试";
    }

    // A tap on the failure state, and its reply handled.
    bool retry(ZV_DetailVC& page)
    {
        std::size_t before = callsTo("v1/movie/detail").size();
        if (!TouchDriver().tapView(*page.emptyView()->textLabel()))
            return false;
        return runUntil([&] { return callsTo("v1/movie/detail").size() > before; }) && allRepliesIn();
    }
};

}

TEST_F(DetailLoadFailureTest, EachFailedReplyShowsTheRetryUnderThePlayerAndLogsOnce)
{
    struct Case {
        const char* what;
        std::optional<ApiFault> fault;
        const char* id;
        bool knownLater; // the retry gets the title
    };
    const Case cases[] = {
        { "HTTP 500", ApiFault::ServerError, singleSourceTitle, true },
        { "cut short", ApiFault::Cut, singleSourceTitle, true },
        { "not JSON", ApiFault::NotJSON, singleSourceTitle, true },
        { "not UTF-8", ApiFault::BadUTF8, singleSourceTitle, true },
        { "larger than 4 MiB", ApiFault::TooLarge, singleSourceTitle, true },
        { "an id the server does not know", std::nullopt, "99999", false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.fault)
            api().setFault("v1/movie/detail", *c.fault);
        std::size_t logged = lines().size();
        auto page = push(c.id);
        ASSERT_TRUE(page);

        EXPECT_EQ(page->model, nullptr);
        EXPECT_EQ(page->numberOfRows(*page->zv_tableView(), 0), 0);
        ASSERT_TRUE(failedState(*page));
        // Under the player, over the rest of the page.
        CGRect empty = page->emptyView()->frame();
        EXPECT_DOUBLE_EQ(empty.minY(), page->zv_playerView()->frame().maxY());
        EXPECT_DOUBLE_EQ(empty.maxY(), page->view()->bounds().maxY());
        ASSERT_EQ(lines().size(), logged + 1);
        EXPECT_NE(lines().back().find(c.id), std::string::npos) << lines().back();
        // The player's cover no longer says "精彩即将开始" over a page that failed.
        const auto& cover = page->zv_playerView()->zv_loadingView();
        EXPECT_TRUE(cover->loadingName()->isHidden());
        EXPECT_TRUE(cover->loadingView()->isHidden());

        api().clearScripts();
        ASSERT_TRUE(retry(*page));
        if (c.knownLater) {
            EXPECT_FALSE(page->isEmptyViewShowing());
            EXPECT_FALSE(cover->loadingName()->isHidden());
            ASSERT_TRUE(page->model);
            EXPECT_EQ(page->model->id, c.id);
            EXPECT_EQ(page->numberOfRows(*page->zv_tableView(), 0), 6);
            EXPECT_EQ(lines().size(), logged + 1);
        } else {
            EXPECT_TRUE(failedState(*page));
            EXPECT_EQ(lines().size(), logged + 2);
        }
        window->setRootViewController(nullptr);
        drain();
    }
}

TEST_F(DetailLoadFailureTest, TheBackButtonStillLeavesAndTapsDuringARequestSendNoMore)
{
    api().setFault("v1/movie/detail", ApiFault::ServerError);
    auto page = push(longTitle);
    ASSERT_TRUE(failedState(*page));

    // Held back: three taps while the request is out send one request.
    api().setDelay("v1/movie/detail", std::chrono::milliseconds(300));
    std::size_t before = callsTo("v1/movie/detail").size();
    for (int tap = 0; tap < 3; ++tap)
        ASSERT_TRUE(TouchDriver().tapView(*page->emptyView()->textLabel()));
    ASSERT_TRUE(allRepliesIn());
    EXPECT_EQ(callsTo("v1/movie/detail").size(), before + 1);
    EXPECT_TRUE(failedState(*page));

    auto navigation = page->navigationController();
    ASSERT_TRUE(navigation);
    ASSERT_TRUE(TouchDriver().tapView(*page->zv_playerView()->zv_loadingView()->backBtn()));
    advance(1);
    drain();
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
    EXPECT_NE(navigation->topViewController(), page);
}
