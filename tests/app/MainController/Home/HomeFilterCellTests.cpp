// A filter row's chips: which one shows as chosen for the page's choice, which one hides, and what
// a tap writes into the choice.

#include "app/Core/Helpers/ColorHex.h"
#include "app/MainController/Home/View/ZV_HomeFilterCell.h"
#include "app/MainController/Home/View/ZV_HomeFilterSubCell.h"

#include <gtest/gtest.h>

namespace {

using Section = ZV_HomeScreemSectionType;

std::shared_ptr<ZV_HomeFilterCell> row(Section section, std::vector<std::string> options)
{
    auto cell = std::make_shared<ZV_HomeFilterCell>(CGRect { 0, 0, 390, 72 });
    cell->sectionType = section;
    cell->setList(std::move(options));
    return cell;
}

// Chosen (c), shown but not chosen (.), hidden (-), chip by chip.
std::string chips(ZV_HomeFilterCell& cell)
{
    std::string marks;
    for (int i = 0; i < cell.collectionView()->numberOfItems(0); ++i) {
        auto chip = std::dynamic_pointer_cast<ZV_HomeFilterSubCell>(
            cell.cellForItem(*cell.collectionView(), IndexPath(i, 0)));
        if (!chip)
            return "no chip";
        marks += chip->isHidden() ? '-' : chip->isSel() ? 'c' : '.';
        bool accent = chip->contentView()->backgroundColor() == colorWithHex("03FFE1", 0.4);
        EXPECT_EQ(accent, chip->isSel()) << "chip " << i;
    }
    return marks;
}

TEST(HomeFilterRow, ShowsTheChoiceByTitleAndTheFirstChipWhileNothingIsChosen)
{
    struct Case {
        const char* what;
        Section section;
        std::vector<std::string> options;
        std::optional<std::string> choice;
        const char* marks;
    };
    for (const Case& c : std::vector<Case> {
             { "nothing chosen", Section::area, { "全部", "大陆", "香港" }, std::nullopt, "c.." },
             { "an empty choice", Section::year, { "全部", "2024" }, "", "c." },
             { "a chosen title", Section::area, { "全部", "大陆", "香港" }, "香港", "..c" },
             { "the first title chosen", Section::sort, { "最新", "最热" }, "最新", "c." },
             { "a title no chip has", Section::area, { "全部", "大陆" }, "火星", ".." },
             { "two chips of the title", Section::year, { "2024", "全部", "2024" }, "2024", "c.c" },
             // The class row carries its first option twice and never shows the second.
             { "class row, nothing chosen", Section::type, { "全部", "全部", "剧情" }, std::nullopt, "c-." },
             { "class row, a class chosen", Section::type, { "全部", "全部", "剧情" }, "剧情", ".-c" },
             { "no chips", Section::area, {}, std::nullopt, "" },
         }) {
        auto cell = row(c.section, c.options);
        *ZV_HomeFilterCell::field(*cell->zv_filterModel, c.section) = c.choice;
        cell->collectionView()->reloadData();
        EXPECT_EQ(chips(*cell), c.marks) << c.what;
    }
}

TEST(HomeFilterRow, ATapWritesTheTitleIntoTheRowsFieldAndAsksForALoadEachTime)
{
    auto shared = std::make_shared<ZV_FilterModel>();
    int loads = 0;
    for (Section section : { Section::sort, Section::type, Section::area, Section::year }) {
        auto cell = row(section, { "全部", "甲", "乙" });
        cell->zv_filterModel = shared;
        cell->selectBlock = [&] { ++loads; };
        cell->didSelectItem(*cell->collectionView(), IndexPath(2, 0));
        EXPECT_EQ(*ZV_HomeFilterCell::field(*shared, section), "乙");
        // Again on the same chip: the same title, and the page still loads.
        cell->didSelectItem(*cell->collectionView(), IndexPath(2, 0));
        EXPECT_EQ(*ZV_HomeFilterCell::field(*shared, section), "乙");
    }
    EXPECT_EQ(loads, 8);
    EXPECT_EQ(shared->sort, "乙");

    // Rows that are not option rows write nothing.
    auto other = row(Section::line, { "甲" });
    other->zv_filterModel = std::make_shared<ZV_FilterModel>();
    other->didSelectItem(*other->collectionView(), IndexPath(0, 0));
    EXPECT_FALSE(other->zv_filterModel->sort || other->zv_filterModel->type || other->zv_filterModel->area
        || other->zv_filterModel->year);
}

}
