#pragma once

#include "platform/ui/lists/UICollectionView.h"
#include "platform/ui/lists/UITableViewCell.h"

#include <memory>
#include <string>
#include <vector>

class QMUILabel;
struct ZV_HomeRecommendModelDataList;

// Row 5 of the title page: "相关推荐" over a grid of posters (three to a row, five on a large
// screen). A poster opens its title on a page of its own.
class ZV_PlayerRelevantCell : public UITableViewCell,
                              public UICollectionViewDataSource,
                              public UICollectionViewDelegateFlowLayout {
public:
    using Titles = std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>>;

    explicit ZV_PlayerRelevantCell(
        UITableViewCellStyle style = UITableViewCellStyle::defaultStyle, std::string reuseIdentifier = {});

    std::string className() const override { return "ZV_PlayerRelevantCell"; }

    const std::shared_ptr<QMUILabel>& zv_title() const { return m_title; }
    const std::shared_ptr<UICollectionView>& zv_collectionView() const { return m_collectionView; }
    const Titles& modelList() const { return m_modelList; }
    // Sets the titles and reloads the grid.
    void setModelList(Titles titles);

    // The grid's item size on a screen of that width.
    static CGSize itemSize(CGFloat screenWidth, bool isPad);

    // UICollectionViewDataSource, UICollectionViewDelegateFlowLayout
    int numberOfItems(UICollectionView&, int) override { return static_cast<int>(m_modelList.size()); }
    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView&, const IndexPath&) override;
    void didSelectItem(UICollectionView&, const IndexPath&) override;

private:
    std::shared_ptr<QMUILabel> m_title;
    std::shared_ptr<UICollectionView> m_collectionView;
    Titles m_modelList;
};
