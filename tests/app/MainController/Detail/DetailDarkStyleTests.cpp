// The title page and its sheets in the dark style: every text keeps the colour its design gives
// the light style and, dark, stands out from what is really drawn behind it; the icons drawn for
// a light page turn light.

#include "app/MainController/Detail/Cell/ZV_EpisodeViewCell.h"
#include "app/MainController/Detail/Cell/ZV_PlayerFeaturesCell.h"
#include "app/MainController/Detail/Cell/ZV_PlayerInfoCell.h"
#include "app/MainController/Detail/Cell/ZV_PlayerRelevantCell.h"
#include "app/MainController/Detail/Cell/ZV_PlayerSelectCell.h"
#include "app/MainController/Detail/View/ZV_DetailsContentView.h"
#include "app/MainController/Detail/View/ZV_EpisodeListCell.h"
#include "app/MainController/Detail/View/ZV_SelectEpisodeContentListView.h"
#include "app/MainController/Detail/View/ZV_SelectEpisodeContentView.h"
#include "app/MainController/Detail/View/ZV_SourceContentListView.h"
#include "app/MainController/Detail/View/ZV_SourceContentView.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUILabel.h"
#include "platform/ui/qmui/QMUITableView.h"
#include "tests/app/MainController/Detail/DetailTestSupport.h"
#include "tests/app/support/DarkContrastSupport.h"

#include <gtest/gtest.h>

namespace {

using darkcheck::Ink;

class DetailDarkStyleTest : public zvtest::DetailTest {
protected:
    void SetUp() override
    {
        DetailTest::SetUp();
        if (window)
            window->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::dark);
    }

    template<typename Cell> std::shared_ptr<Cell> row(ZV_DetailVC& page, int index)
    {
        return std::dynamic_pointer_cast<Cell>(page.zv_tableView()->cellForRow(IndexPath(index, 0)));
    }

    // The sheet on top, once it has slid in.
    template<typename Sheet> std::shared_ptr<Sheet> shownSheet()
    {
        advance(1);
        auto shown = QMUIModalPresentationViewController::visibleModalPresentationViewControllers();
        if (shown.empty())
            return nullptr;
        auto sheet = std::dynamic_pointer_cast<Sheet>(shown.back()->contentView());
        if (sheet)
            sheet->layoutIfNeeded();
        return sheet;
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
    static Ink icon(std::string name, const std::shared_ptr<UIView>& view)
    {
        return { std::move(name), view, std::nullopt, std::nullopt, darkcheck::icon };
    }
};

}

TEST_F(DetailDarkStyleTest, TheRowsOfThePageStandOutFromTheDarkPage)
{
    auto page = open(longTitle);
    auto info = row<ZV_PlayerInfoCell>(*page, 0);
    auto features = row<ZV_PlayerFeaturesCell>(*page, 1);
    auto select = row<ZV_PlayerSelectCell>(*page, 3);
    ASSERT_TRUE(info && features && select);
    drain();
    select->zv_collectionView()->layoutIfNeeded();
    std::shared_ptr<ZV_EpisodeViewCell> current, other;
    for (const auto& chip : select->zv_collectionView()->visibleCells()) {
        auto episode = std::dynamic_pointer_cast<ZV_EpisodeViewCell>(chip);
        bool accent = episode->contentView()->backgroundColor()->resolved(UIUserInterfaceStyle::dark)
            == colorWithHex("03FFE1");
        (accent ? current : other) = episode;
    }
    ASSERT_TRUE(current && other);

    darkcheck::expectReadable({
        text("name", info->zv_title(), colorWithHex("1D1942")),
        text("heat", info->zv_fire(), colorWithHex("#FF7F48")),
        text("info line", info->zv_info(), colorWithHex("1D1942", 0.3)),
        title("简介", info->zv_descBtn(), colorWithHex("1D1942", 0.4)),
        icon("简介 arrow", info->zv_descBtn()->imageView()),
        title("下载本地", features->zv_downloadBtn(), colorWithHex("1D1942", 0.5)),
        title("收藏影片", features->zv_collectBtn(), colorWithHex("1D1942", 0.5)),
        title("反馈/求片", features->zv_feedbackBtn(), colorWithHex("1D1942", 0.5)),
        title("分享", features->zv_shareBtn(), colorWithHex("1D1942", 0.5)),
        icon("download icon", features->zv_downloadBtn()->imageView()),
        icon("favourite icon", features->zv_collectBtn()->imageView()),
        icon("feedback icon", features->zv_feedbackBtn()->imageView()),
        icon("share icon", features->zv_shareBtn()->imageView()),
        text("选集", select->zv_title(), colorWithHex("1D1942")),
        title("展开全部", select->zv_moreBtn(), colorWithHex("1D1942")),
        icon("展开全部 arrow", select->zv_moreBtn()->imageView()),
        text("source name", select->zv_sourceName(), colorWithHex("#744105")),
        text("source count", select->zv_sourceCount(), colorWithHex("#FF4D00")),
        title("切换资源", select->zv_sourceChangeBtn(), colorWithHex("#744105")),
        icon("切换资源 icon", select->zv_sourceChangeBtn()->imageView()),
        text("current episode", current->zv_name(), colorWithHex("1D1942")),
        text("other episode", other->zv_name(), colorWithHex("1D1942")),
    });
    // The strip is no white band on the dark page.
    EXPECT_EQ(select->zv_collectionView()->backgroundColor()->resolved(UIUserInterfaceStyle::dark),
        UIColor::black());
    EXPECT_EQ(select->zv_collectionView()->backgroundColor()->resolved(UIUserInterfaceStyle::light),
        UIColor::white());

    page->zv_tableView()->setContentOffset(
        { 0, page->zv_tableView()->contentSize().height - page->zv_tableView()->bounds().height() });
    window->layoutIfNeeded();
    auto related = row<ZV_PlayerRelevantCell>(*page, 5);
    ASSERT_TRUE(related);
    darkcheck::expectReadable({ text("相关推荐", related->zv_title(), colorWithHex("1D1942")) });
}

TEST_F(DetailDarkStyleTest, TheIntroAndTheSourceSheetStandOutFromTheirDarkSheets)
{
    auto page = open(longTitle);
    page->showIntroSheet();
    auto intro = shownSheet<ZV_DetailsContentView>();
    ASSERT_TRUE(intro);
    EXPECT_EQ(intro->traitCollection().userInterfaceStyle, UIUserInterfaceStyle::dark);
    NSAttributedString credits = ZV_DetailsContentView::creditsText(*page->model);
    darkcheck::expectReadable({
        text("简介 header", intro->title(), colorWithHex("1D1942")),
        icon("close", intro->closeBtn()->imageView()),
        text("name", intro->zv_title(), colorWithHex("1D1942")),
        text("heat", intro->zv_fire(), colorWithHex("#FF7F48")),
        text("info line", intro->zv_info(), colorWithHex("1D1942", 0.3)),
        text("演职人员", intro->zv_actorTitle(), colorWithHex("1D1942")),
        { "credit label", intro->zv_actorInfo(), credits.attributes(0).foregroundColor,
            colorWithHex("1D1942", 0.5), darkcheck::bodyText },
        { "credit name", intro->zv_actorInfo(), credits.attributes(3).foregroundColor, colorWithHex("1D1942"),
            darkcheck::bodyText },
        text("简介 title", intro->zv_descTitle(), colorWithHex("1D1942")),
        text("synopsis", intro->zv_descInfo(), colorWithHex("1D1942")),
    });
    settlePresentations();

    page->showSourcePicker();
    auto sources = shownSheet<ZV_SourceContentView>();
    ASSERT_TRUE(sources);
    ASSERT_EQ(sources->rows().size(), 3u);
    // The first two sources came with episodes (the accent rows), the third without.
    auto inUse = sources->rows()[0], idle = sources->rows()[2];
    darkcheck::expectReadable({
        text("切换资源", sources->title(), colorWithHex("1D1942")),
        icon("close", sources->closeBtn()->imageView()),
        text("source in use", inUse->name(), colorWithHex("1D1942")),
        text("its note", inUse->tips(), colorWithHex("1D1942")),
        text("its count", inUse->count(), colorWithHex("1D1942")),
        text("other source", idle->name(), colorWithHex("1D1942")),
        text("its note", idle->tips(), colorWithHex("1D1942")),
        text("its count", idle->count(), colorWithHex("1D1942")),
    });
    // The sheet is no white card in the dark.
    EXPECT_LT(zvadaptive::contrastRatio(
                  sources->backgroundColor()->resolved(UIUserInterfaceStyle::dark), UIColor::black()),
        1.5);
    EXPECT_EQ(sources->backgroundColor()->resolved(UIUserInterfaceStyle::light), UIColor::white());
}

TEST_F(DetailDarkStyleTest, TheEpisodeSheetStandsOutInBothModesAndItsArrowShowsInBothStyles)
{
    auto page = open(longTitle);
    page->showEpisodePicker();
    auto sheet = shownSheet<ZV_SelectEpisodeContentView>();
    ASSERT_TRUE(sheet);
    darkcheck::expectReadable({
        title("source name", sheet->sourceName(), colorWithHex("1D1942")),
        icon("source arrow", sheet->sourceName()->imageView()),
        icon("close", sheet->closeBtn()->imageView()),
    });
    // The arrow is drawn white: on the white sheet of the light style it takes the name's colour.
    window->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::light);
    sheet->window()->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::light);
    darkcheck::expectReadable({ icon("source arrow (light)", sheet->sourceName()->imageView()) });
    UIColor::RGBA arrow = darkcheck::inkOf(*sheet->sourceName()->image(UIControlStateNormal)).rgba();
    UIColor::RGBA name = colorWithHex("1D1942").rgba();
    EXPECT_NEAR(arrow.red, name.red, 0.02);
    EXPECT_NEAR(arrow.green, name.green, 0.02);
    EXPECT_NEAR(arrow.blue, name.blue, 0.02);
    settlePresentations();

    window->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::dark);
    page->showDownloadSheet();
    auto download = shownSheet<ZV_SelectEpisodeContentView>();
    ASSERT_TRUE(download);
    auto found = download->zv_listContainerView()->validListDict().find(0);
    ASSERT_NE(found, download->zv_listContainerView()->validListDict().end());
    auto list = std::dynamic_pointer_cast<ZV_SelectEpisodeContentListView>(found->second);
    ASSERT_TRUE(list);
    list->layoutIfNeeded();
    auto chip = std::dynamic_pointer_cast<ZV_EpisodeListCell>(
        list->collectionView()->cellForItem(IndexPath::forItem(0, 0)));
    ASSERT_TRUE(chip);
    darkcheck::expectReadable({
        text("episode", chip->name(), colorWithHex("1D1942")),
        icon("check box", chip->checkView()),
        title("全选", list->downloadAllBtn(), colorWithHex("1D1942")),
        icon("全选 box", list->downloadAllBtn()->imageView()),
        title("立即下载 (nothing chosen)", list->downloadBtn(), colorWithHex("1D1942", 0.5)),
        title("查看全部下载", list->lookBtn(), colorWithHex("1D1942")),
        icon("查看全部下载 arrow", list->lookBtn()->imageView()),
    });
    // Chosen, the button turns to the accent and keeps a dark title there.
    list->didSelectItem(*list->collectionView(), IndexPath::forItem(0, 0));
    list->layoutIfNeeded();
    chip = std::dynamic_pointer_cast<ZV_EpisodeListCell>(
        list->collectionView()->cellForItem(IndexPath::forItem(0, 0)));
    ASSERT_TRUE(chip);
    darkcheck::expectReadable({
        title("立即下载 1", list->downloadBtn(), colorWithHex("1D1942")),
        icon("chosen box", chip->checkView()),
        icon("全选 box", list->downloadAllBtn()->imageView()),
    });
}
