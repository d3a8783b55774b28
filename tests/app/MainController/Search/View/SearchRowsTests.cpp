// The rows of the search page: the keyword highlight, the section layout table, the colours of
// chips and ranked words, the result row's joined names and the result-type strip.

#include "app/Core/Helpers/ColorHex.h"
#include "app/MainController/Search/Controller/ZV_SearchVC.h"
#include "app/MainController/Search/View/HighlightKeyword.h"
#include "app/MainController/Search/View/ZV_SearchCell.h"
#include "app/MainController/Search/View/ZV_SearchHeaderReusableView.h"
#include "app/MainController/Search/View/ZV_SearchMovieCell.h"
#include "app/MainController/Search/View/ZV_SearchRankingTextCell.h"
#include "app/MainController/Search/View/ZV_SearchTagCell.h"
#include "platform/text/UTF16.h"
#include "tests/support/MainLoopTest.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

// The parts of the text that got the highlight colour, in order.
std::vector<std::string> coloured(const std::string& text, const std::optional<std::string>& keyword)
{
    NSAttributes blue;
    blue.foregroundColor = colorWithHex("#0386FF");
    NSMutableAttributedString result = highlightKeyword(NSAttributedString(text), blue, keyword);
    EXPECT_EQ(result.string(), NSAttributedString(text).string());
    std::vector<std::string> parts;
    for (std::size_t at = 0; at < result.length();) {
        NSRange range;
        NSAttributes attributes = result.attributes(at, &range);
        if (attributes.foregroundColor)
            parts.push_back(utf16Substring(result.string(), range));
        at = NSMaxRange(range);
    }
    return parts;
}

using Parts = std::vector<std::string>;

}

// The keyword is plain text, never a pattern; several words colour the phrase and each word.
TEST(SearchHighlight, KeywordsAndTheirWordsMatchLiterally)
{
    struct Case {
        std::string text;
        std::optional<std::string> keyword;
        Parts expected;
    };
    const std::vector<Case> cases {
        { "青石巷的雨季", "雨季", { "雨季" } },
        { "雨季不再来的雨季", "雨季", { "雨季", "雨季" } },
        { "The Rain King", "Rain", { "Rain" } },
        { "Rainy Season", "rain", {} },
        { "Rain (Director's Cut)", "(", { "(" } },
        { "Rain (Director's Cut)", "Rain (Director's", { "Rain (Director's" } },
        // Its one word "a" is coloured wherever it stands, besides the whole keyword.
        { "a**b and a**", "a**", { "a**", "a", "a**" } },
        { "abc a.c", "a.c", { "a.c" } },
        { "C++ 程序员的一天", "C++", { "C++" } },
        { "[x] .* $1", ".* $1", { ".* $1" } },
        { "The Rain King", "Rain King", { "Rain King" } },
        { "King of the Rain", "Rain King", { "King", "Rain" } },
        { "青石巷的雨季", std::nullopt, {} },
        { "青石巷的雨季", "", {} },
        { "雨季", std::string(5000, '('), {} },
        { "x\xff"
          "y",
            "\xfe", { "\xEF\xBF\xBD" } },
        { "\xe6\x9d"
          "b\xe6\x9d",
            "\xe6\x9d"
            "b",
            { "\xEF\xBF\xBD\xEF\xBF\xBD"
              "b" } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(coloured(c.text, c.keyword), c.expected) << c.text << " / " << c.keyword.value_or("<none>");
}

TEST(SearchLayout, EverySectionHasItsSizesInsetsSpacingsAndHeader)
{
    using Section = ZV_SearchSectionType;
    struct Row {
        Section type;
        CGSize item;
        UIEdgeInsets insets;
        CGFloat line, spacing;
        CGSize header;
    };
    const CGFloat w = 390;
    const std::vector<Row> rows {
        { Section::advert, { 342, 122 }, { 0, 24, 12, 24 }, 12, 8, {} },
        { Section::history, { 100, 36 }, { 0, 24, 12, 24 }, 12, 8, { w, 44 } },
        { Section::screenList, { 100, 36 }, { 0, 24, 12, 24 }, 12, 8, { w, 44 } },
        { Section::ranking, { w - 24, 525 }, { 20, 24, 12, 0 }, 12, 8, {} },
        { Section::complete, { w - 48, 54 }, { 0, 24, 12, 24 }, 0, 0, {} },
        { Section::movie, { w - 32, 146 }, { 0, 16, 12, 16 }, 0, 0, {} },
        { Section::tag, { w - 32, 64 }, { 0, 16, 4, 16 }, 12, 8, {} },
    };
    for (const Row& row : rows) {
        auto layout = ZV_SearchVC::sectionLayout(row.type, w);
        int type = static_cast<int>(row.type);
        EXPECT_EQ(layout.itemSize, row.item) << type;
        EXPECT_EQ(layout.insets, row.insets) << type;
        EXPECT_EQ(layout.lineSpacing, row.line) << type;
        EXPECT_EQ(layout.itemSpacing, row.spacing) << type;
        EXPECT_EQ(layout.headerSize, row.header) << type;
    }
}

TEST(SearchRows, RankedWordsAndHotWordChipsAreColouredByPlace)
{
    const std::vector<std::pair<int, UIColor>> places {
        { 0, colorWithHex("FF0F00") },
        { 1, colorWithHex("FF8E75") },
        { 2, colorWithHex("FF9900") },
        { 3, colorWithHex("1D1942", 0.3) },
        { 11, colorWithHex("1D1942", 0.3) },
    };
    ZV_SearchRankingTextCell cell;
    for (const auto& [row, colour] : places) {
        cell.setRow(row);
        EXPECT_EQ(cell.zv_numLb()->text(), std::to_string(row + 1));
        EXPECT_EQ(cell.zv_numLb()->textColor().resolved(UIUserInterfaceStyle::light), colour) << row;
    }

    // Hot words: the first three on yellow.
    auto page = std::make_shared<ZV_SearchVC>();
    for (const char* word : { "a", "b", "c", "d" }) {
        ZV_WordsModel model;
        model.word = word;
        page->zv_wordsList.push_back(model);
    }
    page->reloadSections();
    // The hot words' section comes after an advert or a stored history, when there are any.
    auto at
        = std::find(page->sectionTypes.begin(), page->sectionTypes.end(), ZV_SearchSectionType::screenList);
    ASSERT_NE(at, page->sectionTypes.end());
    int section = static_cast<int>(at - page->sectionTypes.begin());
    auto& list = *page->zv_collectionView();
    for (int item = 0; item < 4; ++item) {
        auto chip = std::dynamic_pointer_cast<ZV_SearchCell>(page->cellForItem(list, { item, section }));
        ASSERT_TRUE(chip);
        EXPECT_EQ(chip->contentView()->backgroundColor()->resolved(UIUserInterfaceStyle::light),
            colorWithHex(item < 3 ? "FFEDAC" : "F4F6FA"))
            << item;
        EXPECT_EQ(chip->titleLb()->textColor().resolved(UIUserInterfaceStyle::light), colorWithHex("471E07"));
    }
}

TEST(SearchRows, NamesAreJoinedWithoutALeadingSeparator)
{
    auto names = [](std::vector<std::string> texts) {
        std::vector<ZV_SearchMovieTagsModel> list;
        for (auto& text : texts) {
            ZV_SearchMovieTagsModel tag;
            tag.name = std::move(text);
            list.push_back(tag);
        }
        return ZV_SearchMovieCell::joinNames(list);
    };
    EXPECT_EQ(names({}), "");
    EXPECT_EQ(names({ "爱情" }), "爱情");
    EXPECT_EQ(names({ "爱情", "年代", "悬疑" }), "爱情 / 年代 / 悬疑");
    EXPECT_EQ(names({ "", "年代" }), "年代");
    EXPECT_EQ(names({ "", "", "悬疑", "" }), "悬疑 / ");
}

TEST(SearchRows, ResultRowShowsTheFavouriteState)
{
    auto cell = std::make_shared<ZV_SearchMovieCell>();
    auto movie = std::make_shared<ZV_SearchMovieModel>(JSON::parse(
        R"({"id": "1", "name": "Rain", "blurb": "b", "tags": [{"name": "A"}], "members": [{"name": "M"}]})"));
    cell->setModel(movie);
    EXPECT_FALSE(cell->zv_collectBtn()->isSelected());
    EXPECT_EQ(cell->zv_collectBtn()->currentTitle(), "收藏");
    EXPECT_EQ(cell->zv_desLb()->text(), "A");
    EXPECT_EQ(cell->zv_memberLb()->text(), "M");
    movie->is_collect = true;
    cell->setModel(movie);
    EXPECT_EQ(cell->zv_collectBtn()->currentTitle(), "已收藏");
    cell->setModel(nullptr);
    EXPECT_FALSE(cell->zv_collectBtn()->isSelected());
    EXPECT_EQ(cell->zv_contentLb()->text(), "");
}

class SearchStrip : public zvtest::MainLoopTest { };

// The strip's tabs map to the two result types, each time one is chosen.
TEST_F(SearchStrip, TabsReportTheirResultTypes)
{
    auto strip = ZV_SearchTagCell::create();
    strip->setFrame({ 0, 0, 358, 64 });
    strip->layoutIfNeeded();
    std::vector<std::string> types;
    strip->resTypeBlock = [&](const std::string& type) { types.push_back(type); };
    for (int index : { 1, 0, 1, 1 })
        strip->segmentedView()->selectItemAt(index);
    EXPECT_EQ(types,
        (std::vector<std::string> { "by_member_name", "by_movie_name", "by_member_name", "by_member_name" }));

    auto header = ZV_SearchHeaderReusableView::create();
    header->setSectionType(ZV_SearchSectionType::screenList);
    header->setSectionType(ZV_SearchSectionType::ranking);
    EXPECT_EQ(header->zv_title()->text(), "大家都在搜");
    header->setSectionType(ZV_SearchSectionType::history);
    EXPECT_EQ(header->zv_title()->text(), "搜索历史");
}
