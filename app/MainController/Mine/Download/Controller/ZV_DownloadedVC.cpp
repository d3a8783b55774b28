#include "app/MainController/Mine/Download/Controller/ZV_DownloadedVC.h"

#include "app/MainController/Mine/Download/Controller/DownloadRecords.h"
#include "app/MainController/Mine/Download/Controller/ZV_DownloadDetailVC.h"
#include "app/MainController/Mine/Download/Controller/ZV_DownloadVC.h"
#include "app/MainController/Mine/Download/View/ZV_DownloadCell.h"
#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "platform/foundation/AppContainer.h"
#include "platform/foundation/Log.h"
#include "platform/media/SJMediaCacheServer.h"
#include "platform/storage/ASDatabase.h"

#include <algorithm>
#include <functional>

namespace {

std::filesystem::path cacheRoot()
{
    return AppContainer::documentsDirectory() / ZV_DownloadedVC::cacheFolder;
}

// A folder name of the catalogue that stays inside the cache folder: one plain path component.
bool isPlainName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos
        && name.find('\\') == std::string::npos && name.find('\0') == std::string::npos;
}

}

ZV_DownloadedVC::ZV_DownloadedVC()
    : DownloadListPage({ .listIdentifier = "downloaded.list" })
{ }

ZV_DownloadedVC::~ZV_DownloadedVC() = default;

void ZV_DownloadedVC::viewDidLoad()
{
    DownloadListPage::viewDidLoad();
    catalog();
}

ASDatabase* ZV_DownloadedVC::catalog()
{
    if (m_db)
        return m_db.get();
    std::filesystem::path file = cacheRoot() / catalogFile;
    std::error_code error;
    if (!std::filesystem::exists(file, error))
        return nullptr;
    auto opened = ASDatabase::open(file.string(), ASOpenMode::ReadOnly);
    if (!opened) {
        Log::write("ZV_DownloadedVC: the media catalogue cannot be opened: " + opened.error());
        return nullptr;
    }
    m_db = *opened;
    return m_db.get();
}

void ZV_DownloadedVC::viewWillAppear(bool animated)
{
    DownloadListPage::viewWillAppear(animated);
    refreshExportSizes();
}

void ZV_DownloadedVC::refreshExportSizes()
{
    for (const auto& exporter : SJMediaCacheServer::shared().allExporters()) {
        if (exporter)
            fillSize(*exporter);
    }
    loadList();
}

std::vector<std::filesystem::path> ZV_DownloadedVC::exportFolders(ASDatabase& catalog, const std::string& url)
{
    auto rows = catalog.select(catalogTable, { "name" }, ASQuery().equal("URLString", url));
    if (!rows) {
        Log::write("ZV_DownloadedVC: the media catalogue cannot be read: " + rows.error());
        return {};
    }
    std::vector<std::filesystem::path> folders;
    for (const auto& row : *rows) {
        if (row.empty() || row.front().kind() != ASValue::Kind::Text || !isPlainName(row.front().text())) {
            Log::write("ZV_DownloadedVC: a catalogue row names no folder of the cache");
            continue;
        }
        folders.push_back(cacheRoot() / row.front().text());
    }
    return folders;
}

void ZV_DownloadedVC::fillSize(const MCSAssetExporter& exporter)
{
    if (exporter.status() != MCSAssetExportStatus::finished)
        return;
    // Every record of the address, of whichever title: they all downloaded this one export.
    auto found = ZV_DownLoadModel::findAll(ASQuery().equal("url", exporter.URL()));
    if (!found) {
        Log::write("ZV_DownloadedVC: a download cannot be read: " + found.error());
        return;
    }
    std::optional<std::optional<double>> largest; // measured once, for the first record that needs it
    for (ZV_DownLoadModel& record : *found) {
        if (static_cast<long long>(record.size) > measuredKilobytes)
            continue;
        if (!largest) {
            std::vector<double> sizes;
            if (ASDatabase* db = catalog()) {
                for (const auto& folder : exportFolders(*db, record.url))
                    sizes.push_back(ZV_Tools::folderSize(folder));
            }
            largest
                = sizes.empty() ? std::nullopt : std::optional(*std::max_element(sizes.begin(), sizes.end()));
        }
        // Finished also when the catalogue names no folder: the size then stays as it was.
        downloads::storeChange(record, [size = *largest](ZV_DownLoadModel& each) {
            each.state = ZV_DownLoadModel::stateFinish;
            if (size)
                each.size = *size;
        });
    }
}

void ZV_DownloadedVC::setList(std::vector<ZV_DownLoadModel> list)
{
    m_list = std::move(list);
    listChanged(m_list.size());
}

void ZV_DownloadedVC::loadList()
{
    auto found = ZV_DownLoadModel::findFinished();
    if (!found)
        Log::write("ZV_DownloadedVC: the downloads cannot be read: " + found.error());
    std::vector<ZV_DownLoadModel> finished = found ? std::move(*found) : std::vector<ZV_DownLoadModel>();
    // Stored order reversed: the newest download first, and it stands for its title.
    std::reverse(finished.begin(), finished.end());
    setList(std::move(finished));
    setList(downloads::uniqueByVodId(m_list));

    std::shared_ptr<ZV_DownloadVC> centre = ZV_DownloadVC::holding(*this);
    if (centre)
        centre->setUnfinishedCount(downloads::unfinishedCount());

    if (m_list.empty()) {
        leaveEditQuietly();
        showEmptyView(true, emptyKindNothing);
        if (centre)
            centre->setEditButton(*this, nullptr);
    } else {
        showEmptyView(false, emptyKindNothing);
        if (centre)
            centre->setEditButton(*this, editBtn());
    }
    zv_collectionView()->reloadData();
}

std::shared_ptr<UICollectionViewCell> ZV_DownloadedVC::cellForItem(
    UICollectionView& view, const IndexPath& indexPath)
{
    return recordCell(view, indexPath, recordAt(m_list, indexPath), &ZV_DownloadCell::setDownloadModel);
}

void ZV_DownloadedVC::didSelectItem(UICollectionView&, const IndexPath& indexPath)
{
    const ZV_DownLoadModel* record = recordAt(m_list, indexPath);
    if (!record)
        return;
    if (m_isEdit) {
        toggleSelected(*record);
        return;
    }
    auto detail = std::make_shared<ZV_DownloadDetailVC>();
    detail->vod_id = record->vod_id;
    show(detail);
}

std::vector<ZV_DownLoadModel> ZV_DownloadedVC::recordsToDelete(const ZV_DownLoadModel& selected) const
{
    return downloads::recordsOfTitle(selected.vod_id);
}
