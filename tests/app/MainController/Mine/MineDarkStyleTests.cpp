// The viewer's space in both styles (the personal centre's menu, the playback history, the
// favourites' edit bar, the notices): the light style keeps the colours the design gives; in the
// dark style every text reads on what lies behind it.

#include "app/Core/Helpers/ColorHex.h"
#include "app/MainController/Mine/Message/ZV_MessageCell.h"
#include "app/MainController/Mine/Message/ZV_MessageVC.h"
#include "app/MainController/Mine/PersonalCenter/ZV_PersonalCenterCollCell.h"
#include "app/MainController/Mine/Playback/EditModeParts.h"
#include "app/MainController/Mine/Playback/ZV_PlaybackCell.h"
#include "app/MainController/Mine/Playback/ZV_PlaybackHeadReusableView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/lists/UICollectionView.h"
#include "platform/ui/lists/UITableView.h"
#include "platform/ui/qmui/QMUILabel.h"
#include "tests/app/support/StyleColors.h"

#include <gtest/gtest.h>

namespace {

UIColor titleColor(const std::shared_ptr<UIButton>& button)
{
    return button->titleColor(UIControlStateNormal).value_or(UIColor());
}

TEST(MineDarkStyle, TheMenuRowsAndTheirBadge)
{
    auto row = std::make_shared<ZV_PersonalCenterCollCell>(CGRect { 0, 0, 342, 58 });
    styletest::expectReadableInTheDarkAndAsDesignedInTheLight({
        { "row title", row->titleLb()->textColor(), ZV_PersonalCenterCollCell::cardColor(),
            colorWithHex("1D1942"), colorWithHex("F5F5F5") },
        { "notice count", row->numLb()->textColor(), *row->numLb()->backgroundColor(), UIColor::white(),
            colorWithHex("EF5252") },
    });
}

TEST(MineDarkStyle, TheHistoryTheFavouritesAndTheirEditBar)
{
    auto list = editmode::makeList({}, {});
    UIColor page = *list->backgroundColor();
    auto cell = std::make_shared<ZV_PlaybackCell>(CGRect { 0, 0, 390, 90 });
    auto header = std::make_shared<ZV_PlaybackHeadReusableView>(CGRect { 0, 0, 390, 40 });
    auto remove = editmode::makeDeleteButton();
    styletest::expectReadableInTheDarkAndAsDesignedInTheLight({
        { "section title", header->zv_title()->textColor(), page, colorWithHex("1D1942"), UIColor::white() },
        { "title", cell->zv_titleLb()->textColor(), page, colorWithHex("1D1942") },
        { "progress", cell->zv_desLb()->textColor(), page, colorWithHex("1D1942", 0.4) },
        // The tag's orange runs from "FF6332" at the top to "FFA132" at the bottom.
        { "tag, top", cell->zv_tagLb()->textColor(), colorWithHex("FF6332"), UIColor::white() },
        { "tag, bottom", cell->zv_tagLb()->textColor(), colorWithHex("FFA132"), UIColor::white() },
        { "select all", titleColor(editmode::makeSelectAllButton()), page, colorWithHex("1D1942") },
        { "delete", titleColor(remove), *remove->backgroundColor(), UIColor::white(),
            colorWithHex("#EF5252") },
    });
    // The ring of an entry not chosen is the page's own (the design gives none): it reads on the
    // page of either style.
    for (UIUserInterfaceStyle style : { UIUserInterfaceStyle::light, UIUserInterfaceStyle::dark })
        EXPECT_GE(styletest::ratioIn(style, ZV_PlaybackCell::unselectedMarkColor(), page), 3);
}

TEST(MineDarkStyle, TheNotices)
{
    auto notices = std::make_shared<ZV_MessageVC>();
    UIColor page = notices->tableView()->backgroundColor().value_or(UIColor());
    auto cell = std::make_shared<ZV_MessageCell>(UITableViewCellStyle::defaultStyle, "notice");
    UIColor card = *cell->zv_cardView()->backgroundColor();
    styletest::expectReadableInTheDarkAndAsDesignedInTheLight({
        { "time", cell->zv_timeLabel()->textColor(), page, colorWithHex("1D1942", 0.3) },
        { "title", cell->titleLabel()->textColor(), card, colorWithHex("1D1942"), colorWithHex("#F8F8F8") },
        { "text", cell->zv_contentLabel()->textColor(), card, colorWithHex("1D1942"),
            colorWithHex("#F8F8F8") },
    });
}

}
