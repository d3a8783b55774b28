// The download centre and the offline player in the dark style: tabs, rows, "全部暂停"/"全部开始",
// the edit bar and the title above the episodes keep
// the colours their design gives the light style and, dark, stand out from what is really
// drawn behind them.

#include "app/Core/Helpers/ColorHex.h"
#include "app/MainController/Detail/Cell/ZV_OfflineInfoCell.h"
#include "app/MainController/Mine/Download/Controller/ZV_OfflinePlayerVC.h"
#include "app/MainController/Mine/Download/View/ZV_DownloadCell.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/qmui/QMUILabel.h"
#include "platform/ui/qmui/QMUITableView.h"
#include "tests/app/MainController/Mine/Download/DownloadTestSupport.h"
#include "tests/app/support/DarkContrastSupport.h"

#include <gtest/gtest.h>

namespace {

using darkcheck::Ink;
using zvtest::DownloadTest;

class DownloadDarkStyleTest : public DownloadTest {
protected:
    void SetUp() override
    {
        DownloadTest::SetUp();
        if (window)
            window->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::dark);
    }

    // The label showing the text somewhere under the view.
    static std::shared_ptr<UILabel> labelShowing(const std::shared_ptr<UIView>& view, const std::string& text)
    {
        if (auto label = std::dynamic_pointer_cast<UILabel>(view); label && label->text() == text)
            return label;
        for (const auto& sub : view->subviews()) {
            if (auto found = labelShowing(sub, text))
                return found;
        }
        return nullptr;
    }

    std::shared_ptr<ZV_DownloadCell> shownRow(int index)
    {
        window->layoutIfNeeded();
        return std::dynamic_pointer_cast<ZV_DownloadCell>(
            centre->downloadingVC()->zv_collectionView()->cellForItem(IndexPath::forItem(index, 0)));
    }

    static Ink text(std::string name, const std::shared_ptr<UILabel>& label, UIColor light)
    {
        return { std::move(name), label, label->textColor(), light, darkcheck::bodyText };
    }
    static Ink title(std::string name, const std::shared_ptr<UIButton>& button, UIColor light)
    {
        return { std::move(name), button->titleLabel(), button->titleColor(button->state()), light,
            darkcheck::bodyText };
    }

    std::shared_ptr<ZV_DownloadVC> centre;
};

}

TEST_F(DownloadDarkStyleTest, TheDownloadingPageStandsOutFromTheDarkPage)
{
    stored("t1", "01", "waiting");
    stored("t2", "02", "fail");
    centre = openCentre(1);
    auto page = centre->downloadingVC();
    ASSERT_EQ(page->zv_list().size(), 2u);
    auto waiting = shownRow(0), failed = shownRow(1);
    ASSERT_TRUE(waiting && failed);
    ASSERT_EQ(waiting->zv_desLb()->text(), "等待下载");
    ASSERT_EQ(failed->zv_desLb()->text(), "下载失败，点击重试");
    auto downloaded = labelShowing(centre->zv_segmentedView(), "已下载");
    ASSERT_TRUE(downloaded);
    auto edit = std::dynamic_pointer_cast<UIButton>(rightBarView(*centre));
    ASSERT_TRUE(edit);

    darkcheck::expectReadable({
        { "tab", downloaded, centre->zv_dataSource()->titleNormalColor, colorWithHex("222222"),
            darkcheck::bodyText },
        title("编辑", edit, colorWithHex("1D1942")),
        text("title", waiting->zv_titleLb(), colorWithHex("1D1942")),
        text("source", waiting->zv_tagLb(), colorWithHex("1D1942", 0.5)),
        text("等待下载", waiting->zv_desLb(), colorWithHex("1D1942", 0.4)),
        text("下载失败，点击重试", failed->zv_desLb(), colorWithHex("#EF5252")),
        title("全部暂停", page->allPauseBtn(), colorWithHex("1D1942")),
        title("全部开始", page->allStartBtn(), colorWithHex("1D1942")),
    });

    // The edit bar covers the bulk buttons.
    edit->sendActions(UIControlEventTouchUpInside);
    ASSERT_FALSE(page->zv_bottomView()->isHidden());
    darkcheck::expectReadable({ title("全选 2", page->zv_allBtn(), colorWithHex("1D1942")) });
}

TEST_F(DownloadDarkStyleTest, TheOfflinePlayersTitleAndNoteStandOutFromTheDarkPage)
{
    ZV_DownLoadModel record = stored("t1", "e1", "finish");
    auto page = std::make_shared<ZV_OfflinePlayerVC>();
    page->vod_id = "t1";
    page->episode_id = "e1";
    page->name = "片t1";
    show(page);
    advance(ZV_OfflinePlayerVC::loadDelay);
    drain();
    window->layoutIfNeeded();
    auto info = std::dynamic_pointer_cast<ZV_OfflineInfoCell>(
        page->zv_tableView()->cellForRow(IndexPath::forRow(ZV_OfflinePlayerVC::infoRow, 0)));
    ASSERT_TRUE(info);
    darkcheck::expectReadable({
        text("title", info->zv_title(), colorWithHex("1D1942")),
        text("正在播放本地缓存视频", info->zv_info(), colorWithHex("1D1942", 0.7)),
    });
}
