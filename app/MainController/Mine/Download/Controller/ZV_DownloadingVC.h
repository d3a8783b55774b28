#pragma once

#include "app/BaseController/BaseViewController.h"
#include "app/Core/Models/ZV_DownLoadModel.h"
#include "app/MainController/Mine/Download/Controller/ZV_NetworkSpeed.h"
#include "platform/ui/lists/UICollectionView.h"

#include <memory>
#include <string>
#include <vector>

class MCSAssetExporter;
class QMUIButton;
class UIButton;
class UIStackView;
class ZV_AdvertView;

// "下载中", the second page of the download centre: every download not finished, with its state,
// percentage and the device's download speed. A tap pauses or resumes one export, the bar below
// pauses or starts them all, and edit mode deletes episodes with their media. This page is where
// the records follow their exports: each status change is written as the record's state and each
// progress change as its progress, also once the page is gone.
class ZV_DownloadingVC : public BaseViewController,
                         public UICollectionViewDataSource,
                         public UICollectionViewDelegateFlowLayout {
public:
    ZV_DownloadingVC();
    ~ZV_DownloadingVC() override;

    std::string className() const override { return "ZV_DownloadingVC"; }

    bool isEdit() const { return m_isEdit; }
    // The records listed, one row each; the export handlers hold these objects.
    const std::vector<std::shared_ptr<ZV_DownLoadModel>>& zv_list() const { return m_list; }
    const std::vector<ZV_DownLoadModel>& selectList() const { return m_selectList; }
    ZV_NetworkSpeed& speed() { return m_speed; }

    const std::shared_ptr<ZV_AdvertView>& zv_advertView() const { return m_advertView; }
    const std::shared_ptr<UICollectionView>& zv_collectionView();
    const std::shared_ptr<UIButton>& editBtn();
    const std::shared_ptr<UIView>& zv_bottomView();
    const std::shared_ptr<UIButton>& zv_allBtn();
    const std::shared_ptr<UIButton>& zv_delBtn();
    const std::shared_ptr<UIStackView>& allStackView();
    const std::shared_ptr<QMUIButton>& allPauseBtn();
    const std::shared_ptr<QMUIButton>& allStartBtn();

    void viewDidLoad() override;
    // Reloads the list each time the page shows.
    void viewWillAppear(bool animated) override;

    // Reads the unfinished records, retitles the centre's tabs, binds every listed export to its
    // record and resumes those not paused; the empty state, the bars and the edit button follow.
    virtual void loadList();
    // Deletes every selected episode (of its title) with its media.
    virtual void deleteSelected();
    // Binds the status and progress of the export of the address to the first listed record of
    // that address.
    virtual void observeExport(const std::string& url);

    // What the bound handlers do. The record is written also when the page is gone; the page,
    // held weakly, redraws when it is still there.
    static void applyExportStatus(
        const std::weak_ptr<ZV_DownloadingVC>& page, MCSAssetExporter& exporter, ZV_DownLoadModel& record);
    static void applyExportProgress(
        const std::weak_ptr<ZV_DownloadingVC>& page, MCSAssetExporter& exporter, ZV_DownLoadModel& record);
    // The record state an export status stands for; none for a status that changes nothing.
    static const char* stateForStatus(unsigned status);

    // Sends every listed export suspend (pause all) or resume (start all).
    void controlAllExports(bool resume);
    void setEdit(bool edit);
    void selectAll();
    // Asks before deleting; nothing happens with nothing selected.
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
    std::weak_ptr<ZV_DownloadingVC> weakSelf();
    void setList(std::vector<std::shared_ptr<ZV_DownLoadModel>> list);

    bool m_isEdit = false;
    std::vector<std::shared_ptr<ZV_DownLoadModel>> m_list;
    std::shared_ptr<ZV_AdvertView> m_advertView;
    std::shared_ptr<UICollectionView> m_collectionView;
    std::shared_ptr<UIButton> m_editBtn;
    std::shared_ptr<UIView> m_bottomView;
    std::shared_ptr<UIButton> m_allBtn;
    std::shared_ptr<UIButton> m_delBtn;
    std::shared_ptr<UIStackView> m_allStackView;
    std::shared_ptr<QMUIButton> m_allPauseBtn;
    std::shared_ptr<QMUIButton> m_allStartBtn;
    ZV_NetworkSpeed m_speed;
    std::vector<ZV_DownLoadModel> m_selectList;
};
