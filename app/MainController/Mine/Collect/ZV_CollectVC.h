#pragma once

#include "app/BaseController/BaseViewController.h"
#include "app/Core/Models/ZV_HomeRecommendModelDataList.h"
#include "app/MainController/Mine/Collect/ZV_CollectRowType.h"
#include "platform/json/JSON.h"
#include "platform/ui/lists/UICollectionView.h"

#include <memory>
#include <optional>
#include <vector>

class UIButton;
class ZV_AdvertView;

// "收藏": the viewer's favourites in a paged grid of three columns (18 to a page) with
// pull-to-refresh and load-more, under the "collect_up" banner; a tap opens the title. Edit mode,
// select-all and deletion work as on the playback history; after a deletion the grid starts
// again from the first page.
//
// The page moves on only when a reply arrives: a load-more that fails asks for the same page
// next time, so no page is ever skipped.
class ZV_CollectVC : public BaseViewController,
                     public UICollectionViewDataSource,
                     public UICollectionViewDelegateFlowLayout {
public:
    static constexpr int pageSize = 18;
    static constexpr const char* deletePath = "v1/user/movie_collect/delete";

    ZV_CollectVC() = default;
    ~ZV_CollectVC() override;

    std::string className() const override { return "ZV_CollectVC"; }

    void viewDidLoad() override;

    // The last page whose reply came in (1 before any).
    int page() const { return m_page; }
    bool isEdit() const { return m_isEdit; }
    void setEdit(bool edit);
    const std::vector<ZV_CollectRowType>& sectionList() const { return m_sectionList; }
    const std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>>& zv_list() const { return m_list; }

    const std::shared_ptr<ZV_AdvertView>& zv_advertView() const { return m_advertView; }
    const std::shared_ptr<UICollectionView>& zv_collectionView();
    const std::shared_ptr<UIButton>& editBtn();
    const std::shared_ptr<UIView>& zv_bottomView();
    const std::shared_ptr<UIButton>& zv_allBtn();
    const std::shared_ptr<UIButton>& zv_delBtn();

    // Asks for the page last loaded again (a sign-in's refetch).
    void zv_movieCollectListRequest();
    // Asks for one page: 1 replaces the grid, any later one is appended.
    void requestPage(int page);
    void listReceived(int requestedPage, const std::optional<JSON>& json);

    // UICollectionViewDataSource
    int numberOfSections(UICollectionView&) override { return static_cast<int>(m_sectionList.size()); }
    int numberOfItems(UICollectionView&, int) override { return static_cast<int>(m_list.size()); }
    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView&, const IndexPath& indexPath) override;
    // UICollectionViewDelegateFlowLayout
    void didSelectItem(UICollectionView&, const IndexPath& indexPath) override;
    std::optional<CGSize> sizeForItem(UICollectionView&, UICollectionViewLayout&, const IndexPath&) override;
    std::optional<UIEdgeInsets> insetForSection(
        UICollectionView&, UICollectionViewLayout&, int section) override;
    std::optional<CGFloat> minimumLineSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int) override;
    std::optional<CGFloat> minimumInteritemSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int) override;

    // (W − 82) / 3 wide on a phone, 103 on a tablet; 184 high.
    static CGSize itemSize();

private:
    void refreshGrid();
    void selectAll();
    void confirmDelete();
    void deleteSelected();

    int m_page = 1;
    bool m_isEdit = false;
    std::vector<ZV_CollectRowType> m_sectionList;
    std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>> m_list;
    std::shared_ptr<ZV_AdvertView> m_advertView;
    std::shared_ptr<UICollectionView> m_collectionView;
    std::shared_ptr<UIButton> m_editBtn;
    std::shared_ptr<UIView> m_bottomView;
    std::shared_ptr<UIButton> m_allBtn;
    std::shared_ptr<UIButton> m_delBtn;
};
