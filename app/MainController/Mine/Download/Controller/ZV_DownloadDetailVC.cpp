#include "app/MainController/Mine/Download/Controller/ZV_DownloadDetailVC.h"

#include "app/MainController/Mine/Download/Controller/DownloadRecords.h"
#include "app/MainController/Mine/Download/Controller/ZV_OfflinePlayerVC.h"
#include "app/MainController/Mine/Download/View/ZV_DownloadCell.h"
#include "platform/foundation/Log.h"
#include "platform/ui/UIBarButtonItem.h"
#include "platform/ui/UINavigationItem.h"

ZV_DownloadDetailVC::ZV_DownloadDetailVC()
    : DownloadListPage({ .listIdentifier = "downloadDetail.list" })
{ }

ZV_DownloadDetailVC::~ZV_DownloadDetailVC() = default;

void ZV_DownloadDetailVC::viewWillAppear(bool animated)
{
    DownloadListPage::viewWillAppear(animated);
    navigationItem().setRightBarButtonItem(UIBarButtonItem::withCustomView(editBtn()));
    loadList();
}

void ZV_DownloadDetailVC::setList(std::vector<ZV_DownLoadModel> list)
{
    m_list = std::move(list);
    listChanged(m_list.size());
}

void ZV_DownloadDetailVC::loadList()
{
    auto found = ZV_DownLoadModel::findFinished(vod_id);
    if (!found)
        Log::write("ZV_DownloadDetailVC: the episodes cannot be read: " + found.error());
    setList(found ? std::move(*found) : std::vector<ZV_DownLoadModel>());
    setList(downloads::sortedByEpisodeName(m_list));
    if (!m_list.empty())
        setTitle(m_list.front().name);
}

std::vector<ZV_DownLoadModel> ZV_DownloadDetailVC::recordsToDelete(const ZV_DownLoadModel& selected) const
{
    return downloads::recordsOfEpisode(selected.vod_id, selected.episodeId);
}

std::shared_ptr<UICollectionViewCell> ZV_DownloadDetailVC::cellForItem(
    UICollectionView& view, const IndexPath& indexPath)
{
    return recordCell(view, indexPath, recordAt(m_list, indexPath), &ZV_DownloadCell::setDownloadListModel);
}

void ZV_DownloadDetailVC::didSelectItem(UICollectionView&, const IndexPath& indexPath)
{
    const ZV_DownLoadModel* record = recordAt(m_list, indexPath);
    if (!record)
        return;
    if (m_isEdit) {
        toggleSelected(*record);
        return;
    }
    auto player = std::make_shared<ZV_OfflinePlayerVC>();
    player->episode_id = record->episodeId;
    player->vod_id = record->vod_id;
    player->name = record->name;
    show(player);
}
