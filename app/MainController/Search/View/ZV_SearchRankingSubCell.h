#pragma once

#include "app/BaseController/BaseCollectionViewCell.h"
#include "app/MainController/Ranking/Model/ZV_RankingModel.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/lists/UICollectionView.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One card of the search page's rankings: the ranking's name over its numbered words, on a
// rounded card fading from peach to white. A tapped word goes to keywordBlock.
class ZV_SearchRankingSubCell : public BaseCollectionViewCell,
                                public UICollectionViewDataSource,
                                public UICollectionViewDelegateFlowLayout {
public:
    // A card whose word list reports to it (it must be owned to be the list's data source).
    static std::shared_ptr<ZV_SearchRankingSubCell> create();
    // The card's fill from its top to its bottom, in both styles.
    static std::vector<UIColor> gradientColors();
    ZV_SearchRankingSubCell();

    std::string className() const override { return "ZV_SearchRankingSubCell"; }

    std::function<void(const std::optional<std::string>&)> keywordBlock;

    const std::shared_ptr<ZV_RankingModel>& zv_rankingModel() const { return m_rankingModel; }
    // Shows the ranking's title and reloads its words; none shows neither.
    void setRankingModel(std::shared_ptr<ZV_RankingModel> model);

    const std::shared_ptr<UILabel>& zv_titleLb() const { return m_titleLb; }
    const std::shared_ptr<UICollectionView>& zv_collectionView() const { return m_collectionView; }

    // Refits the card's gradient to its size.
    void layoutSubviews() override;

    // The word list.
    int numberOfItems(UICollectionView&, int section) override;
    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView&, const IndexPath&) override;
    void didSelectItem(UICollectionView&, const IndexPath&) override;
    std::optional<UIEdgeInsets> insetForSection(UICollectionView&, UICollectionViewLayout&, int) override;
    std::optional<CGFloat> minimumLineSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int) override;
    std::optional<CGFloat> minimumInteritemSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int) override;

private:
    std::shared_ptr<ZV_RankingModel> m_rankingModel;
    std::shared_ptr<UILabel> m_titleLb;
    std::shared_ptr<UICollectionView> m_collectionView;
};
