#pragma once

#include "app/MainController/Mine/Download/Controller/DownloadListPage.h"
#include "app/MainController/Mine/Download/Controller/ZV_NetworkSpeed.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class MCSAssetExporter;
class QMUIButton;
class UIStackView;

// "下载中", the second page of the download centre: every download not finished, with its state,
// percentage and the device's download speed. A tap pauses or resumes one export, the bar below
// pauses or starts them all, and edit mode deletes episodes with their media. This page is where
// the records follow their exports: each status change is written as the record's state and each
// progress change as its progress, also once the page is gone.
class ZV_DownloadingVC : public DownloadListPage {
public:
    ZV_DownloadingVC();
    ~ZV_DownloadingVC() override;

    std::string className() const override { return "ZV_DownloadingVC"; }

    // The records listed, one row each; the export handlers hold these objects.
    const std::vector<std::shared_ptr<ZV_DownLoadModel>>& zv_list() const { return m_list; }
    ZV_NetworkSpeed& speed() { return m_speed; }

    const std::shared_ptr<UIStackView>& allStackView();
    const std::shared_ptr<QMUIButton>& allPauseBtn();
    const std::shared_ptr<QMUIButton>& allStartBtn();

    // Reloads the list each time the page shows.
    void viewWillAppear(bool animated) override;

    // Reads the unfinished records, retitles the centre's tabs, binds every listed export to its
    // record and resumes those not paused; the empty state, the bars and the edit button follow.
    void loadList() override;
    // Binds the status and progress of the export of a listed address to every record of that
    // address (the records of several titles may share one export).
    virtual void observeExport(const std::string& url);

    // What the bound handlers do. The records are written also when the page is gone; the page,
    // held weakly, updates its listed copies and redraws when it is still there.
    static void applyExportStatus(const std::weak_ptr<ZV_DownloadingVC>& page, MCSAssetExporter& exporter);
    static void applyExportProgress(const std::weak_ptr<ZV_DownloadingVC>& page, MCSAssetExporter& exporter);
    // The record state an export status stands for; none for a status that changes nothing.
    static const char* stateForStatus(unsigned status);

    // Sends every listed export suspend (pause all) or resume (start all).
    void controlAllExports(bool resume);

    // UICollectionViewDataSource
    int numberOfItems(UICollectionView&, int) override { return static_cast<int>(m_list.size()); }
    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView&, const IndexPath& indexPath) override;
    // UICollectionViewDelegateFlowLayout
    void didSelectItem(UICollectionView&, const IndexPath& indexPath) override;

protected:
    // The pause-all and start-all bar below the list, covered by the edit bar in edit mode.
    void addPageBars(UIView& root) override;
    std::vector<ZV_DownLoadModel> listedRecords() const override;
    // Every record of the selected episode (of its title), with its media.
    std::vector<ZV_DownLoadModel> recordsToDelete(const ZV_DownLoadModel& selected) const override;

private:
    std::weak_ptr<ZV_DownloadingVC> weakSelf();
    void setList(std::vector<std::shared_ptr<ZV_DownLoadModel>> list);
    // Applies the change to the listed records of the address.
    void changeListed(const std::string& url, const std::function<void(ZV_DownLoadModel&)>& change);

    std::vector<std::shared_ptr<ZV_DownLoadModel>> m_list;
    std::shared_ptr<UIStackView> m_allStackView;
    std::shared_ptr<QMUIButton> m_allPauseBtn;
    std::shared_ptr<QMUIButton> m_allStartBtn;
    ZV_NetworkSpeed m_speed;
};
