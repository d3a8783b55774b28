#pragma once

#include "app/BaseController/BaseViewController.h"
#include "app/Core/Models/ZV_DownLoadModel.h"
#include "platform/ui/lists/UICollectionView.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class UIButton;
class ZV_AdvertView;

// The finished episodes of one title, in plain name order, the way into offline playback: a tap
// plays the episode offline; edit mode deletes episodes with their media. Read again each time
// the page shows (a return from the player included).
class ZV_DownloadDetailVC : public BaseViewController,
                            public UICollectionViewDataSource,
                            public UICollectionViewDelegateFlowLayout {
public:
    ZV_DownloadDetailVC();
    ~ZV_DownloadDetailVC() override;

    std::string className() const override { return "ZV_DownloadDetailVC"; }

    // The title, set by the opener.
    std::string vod_id;

    bool isEdit() const { return m_isEdit; }
    const std::vector<ZV_DownLoadModel>& zv_list() const { return m_list; }
    const std::vector<ZV_DownLoadModel>& selectList() const { return m_selectList; }

    const std::shared_ptr<ZV_AdvertView>& zv_advertView() const { return m_advertView; }
    const std::shared_ptr<UICollectionView>& zv_collectionView();
    const std::shared_ptr<UIButton>& editBtn();
    const std::shared_ptr<UIView>& zv_bottomView();
    const std::shared_ptr<UIButton>& zv_allBtn();
    const std::shared_ptr<UIButton>& zv_delBtn();

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // The title's finished episodes; the page's title becomes the title's name.
    virtual void loadList();
    // Deletes the selected episodes (of this title only) with their media.
    virtual void deleteSelected();

    void setEdit(bool edit);
    void selectAll();
    void confirmDelete();

    // UICollectionViewDataSource
    int numberOfItems(UICollectionView&, int) override { return static_cast<int>(m_list.size()); }
    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView&, const IndexPath& indexPath) override;
    // UICollectionViewDelegateFlowLayout
    void didSelectItem(UICollectionView&, const IndexPath& indexPath) override;
    std::optional<CGSize> sizeForItem(UICollectionView&, UICollectionViewLayout&, const IndexPath&) override;
    std::optional<UIEdgeInsets> insetForSection(UICollectionView&, UICollectionViewLayout&, int) override;
    std::optional<CGFloat> minimumLineSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int) override;
    std::optional<CGFloat> minimumInteritemSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int) override;

private:
    std::weak_ptr<ZV_DownloadDetailVC> weakSelf();
    void setList(std::vector<ZV_DownLoadModel> list);

    bool m_isEdit = false;
    std::vector<ZV_DownLoadModel> m_list;
    std::shared_ptr<ZV_AdvertView> m_advertView;
    std::shared_ptr<UICollectionView> m_collectionView;
    std::shared_ptr<UIButton> m_editBtn;
    std::shared_ptr<UIView> m_bottomView;
    std::shared_ptr<UIButton> m_allBtn;
    std::shared_ptr<UIButton> m_delBtn;
    std::vector<ZV_DownLoadModel> m_selectList;
};
