#pragma once

#include "app/MainController/Mine/Download/Controller/DownloadListPage.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class ASDatabase;
class MCSAssetExporter;

// "已下载", the first page of the download centre: one row per title with a finished download
// (the cover with the number of finished episodes, the total size and the type). Before it shows
// it settles the records with the media cache: a finished export marks its record finished and
// gets its size from the largest of its folders, found in the cache's catalogue, which this page
// reads only. A tap opens the title's episodes; edit mode deletes whole titles, unfinished
// downloads and media included.
class ZV_DownloadedVC : public DownloadListPage {
public:
    // Where the media cache keeps its exports and its catalogue, under the Documents folder.
    static constexpr const char* cacheFolder = "com.SJMediaCacheServer.cache";
    static constexpr const char* catalogFile = "mcs.db";
    static constexpr const char* catalogTable = "MCSAssetExporter";
    // A measured size above this many kilobytes counts as final.
    static constexpr double measuredKilobytes = 1000;

    ZV_DownloadedVC();
    ~ZV_DownloadedVC() override;

    std::string className() const override { return "ZV_DownloadedVC"; }

    const std::vector<ZV_DownLoadModel>& zv_list() const { return m_list; }
    const std::shared_ptr<ASDatabase>& db() const { return m_db; }

    void viewDidLoad() override;
    // Settles the sizes, then loads the list.
    void viewWillAppear(bool animated) override;

    void refreshExportSizes();
    // For a finished export: every record of its address (of any title) that is not measured yet
    // (a size of 1000 kilobytes or less) becomes finished and takes the size of the export's
    // largest folder in the catalogue.
    void fillSize(const MCSAssetExporter& exporter);
    // The finished records, newest first, one per title; the centre's tabs, the empty state and
    // the edit button follow.
    void loadList() override;

    // The folders of an export as the catalogue names them, inside the cache folder; names that
    // would lead elsewhere are left out.
    static std::vector<std::filesystem::path> exportFolders(ASDatabase& catalog, const std::string& url);

    // UICollectionViewDataSource
    int numberOfItems(UICollectionView&, int) override { return static_cast<int>(m_list.size()); }
    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView&, const IndexPath& indexPath) override;
    // UICollectionViewDelegateFlowLayout
    void didSelectItem(UICollectionView&, const IndexPath& indexPath) override;

protected:
    std::vector<ZV_DownLoadModel> listedRecords() const override { return m_list; }
    // Every record of the selected title, whatever its state, with its media.
    std::vector<ZV_DownLoadModel> recordsToDelete(const ZV_DownLoadModel& selected) const override;

private:
    void setList(std::vector<ZV_DownLoadModel> list);
    // Opens the catalogue when it is not open yet (it appears with the first export).
    ASDatabase* catalog();

    std::vector<ZV_DownLoadModel> m_list;
    std::shared_ptr<ASDatabase> m_db;
};
