#pragma once

#include "app/BaseController/BaseCollectionViewCell.h"
#include "app/MainController/Ranking/Model/ZV_RankingModel.h"
#include "platform/ui/lists/UICollectionView.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The search page's rankings: one card per ranking in a row that scrolls sideways. Words chosen
// in any card go to keywordBlock.
class ZV_SearchRankingCell : public BaseCollectionViewCell,
                             public UICollectionViewDataSource,
                             public UICollectionViewDelegateFlowLayout {
public:
    // A cell whose row of cards reports to it (it must be owned to be the row's data source).
    static std::shared_ptr<ZV_SearchRankingCell> create();
    ZV_SearchRankingCell();

    std::string className() const override { return "ZV_SearchRankingCell"; }

    std::function<void(const std::optional<std::string>&)> keywordBlock;
    // One card each; the owner reloads zv_collectionView after setting it.
    std::vector<std::shared_ptr<ZV_RankingModel>> zv_rankingList;

    const std::shared_ptr<UICollectionView>& zv_collectionView() const { return m_collectionView; }

    int numberOfItems(UICollectionView&, int section) override;
    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView&, const IndexPath&) override;

private:
    std::shared_ptr<UICollectionView> m_collectionView;
};
