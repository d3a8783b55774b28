// The search page in both styles: the light style keeps the colours the design gives; in the dark
// style, where the page is black, every text reads on what lies behind it.

#include "app/Core/Helpers/ColorHex.h"
#include "app/MainController/Search/Controller/ZV_SearchVC.h"
#include "app/MainController/Search/View/ZV_SearchCell.h"
#include "app/MainController/Search/View/ZV_SearchCompleteCell.h"
#include "app/MainController/Search/View/ZV_SearchEmptyView.h"
#include "app/MainController/Search/View/ZV_SearchFeedbackAlertView.h"
#include "app/MainController/Search/View/ZV_SearchFeedbackExtraCell.h"
#include "app/MainController/Search/View/ZV_SearchHeaderReusableView.h"
#include "app/MainController/Search/View/ZV_SearchMovieCell.h"
#include "app/MainController/Search/View/ZV_SearchNavView.h"
#include "app/MainController/Search/View/ZV_SearchRankingSubCell.h"
#include "app/MainController/Search/View/ZV_SearchRankingTextCell.h"
#include "app/MainController/Search/View/ZV_SearchTagCell.h"
#include "platform/ui/segmented/JXSegmentedTitleDataSource.h"
#include "tests/app/support/StyleColors.h"

#include <gtest/gtest.h>

namespace {

UIColor page()
{
    return UIColor::systemBackground();
}

TEST(SearchDarkStyle, TheBarTheChipsAndTheSuggestions)
{
    auto search = std::make_shared<ZV_SearchVC>();
    auto bar = ZV_SearchNavView::create({ 0, 0, 296, 46 });
    UIColor field = *bar->backgroundColor();
    ZV_SearchCell::ChipColors history = ZV_SearchCell::historyColors();
    auto complete = std::make_shared<ZV_SearchCompleteCell>(CGRect { 0, 0, 342, 54 });
    auto header = ZV_SearchHeaderReusableView::create();
    auto empty = ZV_SearchEmptyView::create({ 0, 0, 390, 600 });
    std::vector<styletest::Text> texts {
        { "cancel", *search->zv_cancelBtn()->titleColor(UIControlStateNormal), page(),
            colorWithHex("1D1942") },
        { "typed text", bar->zv_searchField()->textColor(), field, colorWithHex("1D1942"),
            colorWithHex("7992C2", 0.08) },
        { "history word", history.text, history.background, colorWithHex("1D1942"), colorWithHex("F4F6FA") },
        { "suggestion", complete->zv_titleLb()->textColor(), page(), colorWithHex("1D1942") },
        { "section heading", header->zv_title()->textColor(), page(), colorWithHex("1D1942", 0.4) },
        { "no result", empty->titleLb()->textColor(), *empty->backgroundColor(), colorWithHex("1D1942", 0.4),
            UIColor::white() },
    };
    // The first three hot words are gold, the others grey.
    for (std::size_t row : { 0, 1, 2 })
        texts.push_back({ "hot word " + std::to_string(row), ZV_SearchCell::hotWordColors(row).text,
            ZV_SearchCell::hotWordColors(row).background, colorWithHex("#471E07"), colorWithHex("#FFEDAC") });
    texts.push_back({ "hot word 3", ZV_SearchCell::hotWordColors(3).text,
        ZV_SearchCell::hotWordColors(3).background, colorWithHex("#471E07"), colorWithHex("F4F6FA") });
    styletest::expectReadableInTheDarkAndAsDesignedInTheLight(texts);

    // The placeholder's colour is the page's own (the design gives none): it reads in both styles.
    for (UIUserInterfaceStyle style : { UIUserInterfaceStyle::light, UIUserInterfaceStyle::dark })
        EXPECT_GE(styletest::ratioIn(style, ZV_SearchNavView::placeholderColor(), field), 4.5);
}

TEST(SearchDarkStyle, ResultsRankingsAndTheResultCount)
{
    auto result = std::make_shared<ZV_SearchMovieCell>(CGRect { 0, 0, 358, 146 });
    auto tag = ZV_SearchTagCell::create();
    auto word = std::make_shared<ZV_SearchRankingTextCell>(CGRect { 0, 0, 198, 20 });
    std::vector<UIColor> card = ZV_SearchRankingSubCell::gradientColors();
    ASSERT_EQ(card.size(), 2u);
    auto title = ZV_SearchRankingSubCell::create()->zv_titleLb()->textColor();
    std::vector<styletest::Text> texts {
        { "result name", result->zv_titleLb()->textColor(), page(), colorWithHex("1D1942") },
        { "result tags", result->zv_desLb()->textColor(), page(), colorWithHex("1D1942", 0.5) },
        { "result cast", result->zv_memberLb()->textColor(), page(), colorWithHex("1D1942", 0.5) },
        { "result synopsis", result->zv_contentLb()->textColor(), page(), colorWithHex("1D1942", 0.5) },
        { "favourite", *result->zv_collectBtn()->titleColor(UIControlStateNormal), page(),
            colorWithHex("#222222") },
        { "play", *result->zv_playBtn()->titleColor(UIControlStateNormal),
            *result->zv_playBtn()->backgroundColor(), colorWithHex("#222222"), colorWithHex("#03FFE1") },
        { "result type", tag->dataSource()->titleNormalColor, page(), colorWithHex("1D1942") },
        { "result count", tag->titleLb()->textColor(), page(), colorWithHex("1D1942") },
        { "ranking name, top of the card", title, card[0], colorWithHex("FF3D00"), colorWithHex("FFECE3") },
        { "ranking name, bottom of the card", title, card[1], colorWithHex("FF3D00"),
            colorWithHex("FFFFFF") },
        { "ranked word", word->zv_titleLb()->textColor(), card[1], colorWithHex("1D1942") },
    };
    const char* numbers[] = { "#FF0F00", "#FF8E75", "#FF9900" };
    for (int row = 0; row < 4; ++row)
        texts.push_back({ "rank " + std::to_string(row + 1), ZV_SearchRankingTextCell::numberColor(row),
            card[1], row < 3 ? colorWithHex(numbers[row]) : colorWithHex("1D1942", 0.3) });
    styletest::expectReadableInTheDarkAndAsDesignedInTheLight(texts);
}

TEST(SearchDarkStyle, TheRequestForm)
{
    auto form = ZV_SearchFeedbackAlertView::create({ 0, 0, 390, 600 });
    UIColor sheet = *form->contentView()->backgroundColor();
    auto free = ZV_SearchFeedbackExtraCell::create();
    const auto& text = free->zv_contentView();
    styletest::expectReadableInTheDarkAndAsDesignedInTheLight({
        { "form title", form->titleLabel()->textColor(), sheet, UIColor::black(), UIColor::white() },
        { "typed request", text->textColor(), *text->backgroundColor(), colorWithHex("28272C"),
            colorWithHex("F3F5F9") },
        { "request placeholder", text->placeholderColor(), *text->backgroundColor(),
            colorWithHex("1D1942", 0.2), colorWithHex("F3F5F9") },
        { "send", *form->sendBtn()->titleColor(UIControlStateNormal), *form->sendBtn()->backgroundColor(),
            colorWithHex("1D1942"), colorWithHex("03FFE1") },
    });
}

}
