#pragma once

#include "app/BaseController/BaseViewController.h"
#include "app/MainController/Ranking/Model/ZV_RankingModel.h"
#include "platform/ui/lists/UICollectionView.h"

#include <memory>

// One ranking's page under the ranking tab: its titles in rank order. The page shares its model
// with the tab page; titles it loads stay on the model.
class ZV_RankingChildrenVC : public BaseViewController,
                             public UICollectionViewDataSource,
                             public UICollectionViewDelegateFlowLayout {
public:
    ZV_RankingChildrenVC() = default;

    std::string className() const override { return "ZV_RankingChildrenVC"; }

    std::shared_ptr<ZV_RankingModel> model;

    // Made on first use.
    const std::shared_ptr<UICollectionView>& zv_collectionView();

    void viewDidLoad() override;
    // 0.2 s later the root's background goes, unless the ranking tab is still on screen (the
    // viewer only moved to another ranking).
    void viewDidDisappear(bool animated) override;
    // Asks for the ranking's titles ("v1/movie/ranking/data"), which replace the model's.
    void loadData();

    int numberOfItems(UICollectionView&, int section) override;
    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView&, const IndexPath&) override;
    void didSelectItem(UICollectionView&, const IndexPath&) override;
    std::optional<CGSize> sizeForItem(UICollectionView&, UICollectionViewLayout&, const IndexPath&) override;
    std::optional<CGFloat> minimumLineSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int) override;

private:
    bool isRankingTabOnScreen() const;

    std::shared_ptr<UICollectionView> m_collectionView;
};
