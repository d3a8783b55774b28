// The playback history against the sample API: progress texts, sections and their headers, edit
// mode under the banner, deletion (ids in list order, only a success removes anything), and the
// signed-out state.

#include "app/Core/Models/ZV_HomeRecommendModelDataList.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"
#include "app/MainController/Mine/Playback/ZV_PlaybackCell.h"
#include "app/MainController/Mine/Playback/ZV_PlaybackHeadReusableView.h"
#include "app/MainController/Mine/Playback/ZV_PlaybackVC.h"
#include "app/MainController/Other/View/ZV_AdvertView.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/UIAlertController.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "tests/app/MainController/Mine/MineTestSupport.h"

#include <gtest/gtest.h>

using namespace zvtest;
using testserver::ApiReply;

namespace {

class PlaybackTest : public MineScreenTest {
protected:
    std::shared_ptr<ZV_PlaybackVC> open()
    {
        auto page = std::make_shared<ZV_PlaybackVC>();
        push(page);
        EXPECT_TRUE(waitFor([&] { return !page->zv_list().empty() || page->isEmptyViewShowing(); }));
        settle();
        window->layoutIfNeeded();
        return page;
    }

    void tapEntry(ZV_PlaybackVC& page, int item, int section)
    {
        page.didSelectItem(*page.zv_collectionView(), IndexPath(item, section));
    }

    // Confirms the deletion alert and waits for the list to change or the edit mode to end.
    void confirmDelete(ZV_PlaybackVC& page)
    {
        page.zv_delBtn()->sendActions(UIControlEventTouchUpInside);
        settle();
        auto alert = std::dynamic_pointer_cast<UIAlertController>(navigation->presentedViewController());
        if (!alert)
            alert = std::dynamic_pointer_cast<UIAlertController>(page.presentedViewController());
        ASSERT_TRUE(alert);
        EXPECT_EQ(alert->title(), "确认要删除吗？");
        alert->actions().back()->handler()(*alert->actions().back());
        alert->dismiss(false);
        ASSERT_TRUE(waitFor([&] { return !page.isEdit(); }));
        settle();
    }

    static std::vector<std::string> ids(const ZV_PlaybackVC& page)
    {
        std::vector<std::string> result;
        for (const auto& entry : page.allEntries())
            result.push_back(entry->id);
        return result;
    }
};

}

TEST(PlaybackCell, ProgressTexts)
{
    struct Case {
        std::int64_t current;
        std::int64_t duration;
        const char* dynamic;
        const char* text;
    };
    for (const Case& c : {
             Case { 1200, 2400, "更新至3集", "更新至3集 已观看 50%" },
             Case { 0, 2400, "全4集", "全4集 观看不足 1%" },
             Case { 23, 2400, "全4集", "全4集 观看不足 1%" },
             Case { 24, 2400, "全4集", "全4集 已观看 1%" },
             Case { 999, 1000, "HD", "HD 已观看 99%" },
             Case { 1500, 1000, "HD", "HD 已观看 150%" },
             Case { 1200, 2400, "", " 已观看 50%" },
             Case { 500, 0, "HD", "HD" },
             Case { 500, -5, "HD", "HD" },
             Case { std::numeric_limits<std::int64_t>::max(), 1, "HD", "HD 已观看 922337203685477580800%" },
         }) {
        ZV_HomeRecommendModelDataList entry;
        entry.current_time = c.current;
        entry.duration = c.duration;
        entry.dynamic = c.dynamic;
        EXPECT_EQ(ZV_PlaybackCell::progressText(entry), c.text) << c.current << "/" << c.duration;
    }
}

TEST(PlaybackCell, FillsTheRowAndHidesAnEmptyTag)
{
    auto cell = std::make_shared<ZV_PlaybackCell>();
    auto entry = std::make_shared<ZV_HomeRecommendModelDataList>(JSON::parse(
        R"({"movie_name":"北方的灯塔","episode_name":"第2集","label":"","cover":"no url","dynamic":"全4集","isSel":true})"));
    entry->isSel = true;
    cell->setModel(entry);
    EXPECT_EQ(cell->zv_titleLb()->text(), "北方的灯塔");
    EXPECT_EQ(cell->zv_imageTitleLb()->text(), "第2集");
    EXPECT_EQ(cell->zv_desLb()->text(), "全4集");
    EXPECT_TRUE(cell->zv_tagLb()->isHidden());
    EXPECT_TRUE(cell->zv_selBtn()->isSelected());
    EXPECT_EQ(cell->zv_imageView()->image()->size(), UIImage::named("placeholder_nor")->size());
}

TEST_F(PlaybackTest, SectionsHeadersAndSizes)
{
    setToken(sampleToken);
    std::shared_ptr<ZV_PlaybackVC> page = open();
    ASSERT_EQ(page->zv_list().size(), 3u);
    EXPECT_EQ(page->zv_allBtn()->title(UIControlStateNormal), "全选 5");
    UICollectionView& list = *page->zv_collectionView();
    UICollectionViewLayout& layout = *list.collectionViewLayout();
    const CGFloat w = screenWidth();
    // "今天" 2 entries, "一周内" none, "更早" 3.
    for (int section : { 0, 1, 2 }) {
        CGSize expected = section == 1 ? CGSize { 0, 0 } : CGSize { w, 40 };
        EXPECT_EQ(page->referenceSizeForHeader(list, layout, section), expected) << section;
    }
    EXPECT_EQ(page->referenceSizeForHeader(list, layout, 3), (CGSize { 0, 0 }));
    EXPECT_EQ(page->sizeForItem(list, layout, IndexPath(0, 0)), (CGSize { w, 90 }));

    // The title keeps 24 points from both edges.
    auto header = std::dynamic_pointer_cast<ZV_PlaybackHeadReusableView>(
        list.supplementaryView(UICollectionElementKindSectionHeader, IndexPath(0, 0)));
    ASSERT_TRUE(header);
    header->layoutIfNeeded();
    EXPECT_EQ(header->zv_title()->text(), "今天");
    EXPECT_EQ(header->zv_title()->frame(), (CGRect { 24, 0, w - 48, 40 }));
}

TEST_F(PlaybackTest, DeletesTheSelectedIdsInListOrderAndReloads)
{
    setToken(sampleToken);
    std::shared_ptr<ZV_PlaybackVC> page = open();
    page->editBtn()->sendActions(UIControlEventTouchUpInside);
    ASSERT_TRUE(page->isEdit());
    // Picked out of order: the ids still go in list order.
    tapEntry(*page, 1, 2);
    tapEntry(*page, 0, 0);
    EXPECT_EQ(page->zv_delBtn()->title(UIControlStateNormal), "删除 2");
    EXPECT_EQ(top(), page); // no detail page in edit mode
    confirmDelete(*page);
    ASSERT_TRUE(waitFor([&] { return page->allEntries().size() == 3; }));
    EXPECT_EQ(api().recordsTo("v1/user/playback/delete").back().parameters->value("ids", ""), "9001,9004");
    EXPECT_EQ(ids(*page), (std::vector<std::string> { "9002", "9003", "9005" }));
    EXPECT_FALSE(page->isEdit());
    EXPECT_TRUE(page->zv_bottomView()->isHidden());

    // One entry alone goes without a comma.
    page->editBtn()->sendActions(UIControlEventTouchUpInside);
    tapEntry(*page, 0, 0);
    confirmDelete(*page);
    ASSERT_TRUE(waitFor([&] { return page->allEntries().size() == 2; }));
    EXPECT_EQ(api().recordsTo("v1/user/playback/delete").back().parameters->value("ids", ""), "9002");
}

TEST_F(PlaybackTest, ARefusedDeleteShowsTheMessageAndRemovesNothing)
{
    setToken(sampleToken);
    std::shared_ptr<ZV_PlaybackVC> page = open();
    api().script("v1/user/playback/delete", ApiReply::error(1102, "记录不存在"));
    page->editBtn()->sendActions(UIControlEventTouchUpInside);
    page->zv_allBtn()->sendActions(UIControlEventTouchUpInside);
    EXPECT_EQ(page->zv_delBtn()->title(UIControlStateNormal), "删除"); // select-all leaves it
    confirmDelete(*page);
    EXPECT_EQ(lastTip(), "记录不存在");
    EXPECT_EQ(requestsTo("v1/user/playback/list"), 1u);
    EXPECT_EQ(page->allEntries().size(), 5u);
    for (const auto& entry : page->allEntries())
        EXPECT_TRUE(entry->isSel);
}

TEST_F(PlaybackTest, NothingSelectedAsksNothing)
{
    setToken(sampleToken);
    std::shared_ptr<ZV_PlaybackVC> page = open();
    page->editBtn()->sendActions(UIControlEventTouchUpInside);
    page->zv_delBtn()->sendActions(UIControlEventTouchUpInside);
    settle();
    EXPECT_FALSE(navigation->presentedViewController() || page->presentedViewController());
}

TEST_F(PlaybackTest, EditModeKeepsTheListUnderTheBanner)
{
    setToken(sampleToken);
    loadAdverts(std::string("https://127.0.0.1:1/a.jpg"));
    std::shared_ptr<ZV_PlaybackVC> page = open();
    ASSERT_TRUE(page->zv_advertView());
    for (bool edit : { true, false, true }) {
        page->setEdit(edit);
        page->view()->layoutIfNeeded();
        CGRect list = page->zv_collectionView()->frame();
        EXPECT_EQ(list.minY(), page->zv_advertView()->frame().maxY() + 10) << edit;
        CGFloat bottom = edit ? page->zv_bottomView()->frame().minY() : page->view()->bounds().maxY();
        EXPECT_EQ(list.maxY(), bottom) << edit;
        EXPECT_EQ(page->zv_bottomView()->isHidden(), !edit);
    }
}

TEST_F(PlaybackTest, AnEntryOpensItsTitle)
{
    setToken(sampleToken);
    std::shared_ptr<ZV_PlaybackVC> page = open();
    tapEntry(*page, 0, 2);
    settle();
    auto detail = std::dynamic_pointer_cast<ZV_DetailVC>(top());
    ASSERT_TRUE(detail);
    EXPECT_EQ(detail->vod_id, "40522");
}

TEST_F(PlaybackTest, SignedOutShowsTheLoginStateAndASignInRefetches)
{
    std::shared_ptr<ZV_PlaybackVC> page = open();
    EXPECT_TRUE(page->zv_list().empty());
    EXPECT_TRUE(page->isEmptyViewShowing());
    EXPECT_EQ(page->emptyView()->textLabel()->text(), "登录后可查看播放记录");
    EXPECT_FALSE(navigation->presentedViewController()); // no login screen by itself

    setToken(sampleToken);
    NotificationCenter::defaultCenter().post("loginSuccess");
    ASSERT_TRUE(waitFor([&] { return page->allEntries().size() == 5; }));
    EXPECT_EQ(requestsTo("v1/user/playback/list"), 2u);
    EXPECT_FALSE(page->isEmptyViewShowing());
}
