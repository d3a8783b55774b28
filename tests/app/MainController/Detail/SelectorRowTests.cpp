// The episode row under the player as the offline player uses it: without its source box, and
// safe with no episodes at all.

#include "app/MainController/Detail/Cell/ZV_PlayerSelectCell.h"
#include "platform/ui/qmui/QMUILabel.h"
#include "tests/app/MainController/Detail/DetailTestSupport.h"

#include <gtest/gtest.h>

namespace {

using zvtest::DetailTest;

std::shared_ptr<ZV_PlayerSelectCell> row(UIWindow& window)
{
    auto cell = std::make_shared<ZV_PlayerSelectCell>();
    cell->setFrame({ 0, 100, 390, 183 });
    window.addSubview(cell);
    window.layoutIfNeeded();
    return cell;
}

}

TEST_F(DetailTest, OfflineTheRowLosesItsSourceBoxAndAnEmptyStripScrollsNowhere)
{
    auto cell = row(*window);
    CGFloat withBox = cell->zv_collectionView()->frame().minY() - cell->zv_title()->frame().maxY();
    EXPECT_EQ(withBox, 17 + 39 + 12);

    cell->setOffline(true);
    EXPECT_TRUE(cell->isOffline());
    EXPECT_TRUE(cell->zv_selectSourceView()->isHidden());
    cell->reloadEpisodes();
    drain();
    cell->layoutIfNeeded();
    EXPECT_EQ(cell->zv_collectionView()->frame().minY() - cell->zv_title()->frame().maxY(), 17 + 0 + 12);
    EXPECT_EQ(cell->zv_collectionView()->numberOfItems(0), 0);
    EXPECT_EQ(cell->zv_collectionView()->contentOffset(), (CGPoint { 0, 0 }));

    // Downloaded episodes, the current one unknown: the first chip stands at the start.
    for (int i = 1; i <= 3; ++i) {
        auto episode = std::make_shared<ZV_DetailDataListPlayFromListModel>();
        episode->episodeId = "d" + std::to_string(i);
        episode->episodeName = "第" + std::to_string(i) + "集";
        cell->modelList.push_back(episode);
    }
    std::vector<std::string> tapped;
    cell->clickIndexWithEpisodeId = [&](const std::string& id) { tapped.push_back(id); };
    cell->episodeId = "elsewhere";
    cell->reloadEpisodes();
    drain();
    ASSERT_EQ(cell->zv_collectionView()->visibleCells().size(), 3u);
    for (const auto& chip : cell->zv_collectionView()->visibleCells())
        EXPECT_EQ(chip->contentView()->backgroundColor()->resolved(UIUserInterfaceStyle::light),
            colorWithHex("F3F5F9"));
    // A tap on the chip already current reports it again.
    cell->didSelectItem(*cell->zv_collectionView(), IndexPath::forItem(1, 0));
    cell->didSelectItem(*cell->zv_collectionView(), IndexPath::forItem(1, 0));
    EXPECT_EQ(tapped, (std::vector<std::string> { "d2", "d2" }));
    EXPECT_EQ(
        cell->zv_collectionView()->cellForItem(IndexPath::forItem(1, 0))->contentView()->backgroundColor(),
        colorWithHex("03FFE1"));
    cell->removeFromSuperview();
}
