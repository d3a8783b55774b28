#pragma once

#include "app/Core/Models/ZV_DownLoadModel.h"
#include "platform/media/MCSAssetExporter.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What the download pages share about the download records: an episode is the pair of its title
// and its episode id (episode ids are the source's own and may repeat across titles), the order
// of episodes, and the removal of downloads with their exported media.
namespace downloads {

// Same title and same episode.
bool sameEpisode(const ZV_DownLoadModel& a, const ZV_DownLoadModel& b);
bool containsEpisode(const std::vector<ZV_DownLoadModel>& list, const ZV_DownLoadModel& record);
// Removes every record of the record's episode (of its title) from the list.
void removeEpisode(std::vector<ZV_DownLoadModel>& list, const ZV_DownLoadModel& record);
// Adds the record, or takes its episode out when the list already holds it; the new count.
std::size_t toggleEpisode(std::vector<ZV_DownLoadModel>& list, const ZV_DownLoadModel& record);

// The first record of each title, in the order of first appearance.
std::vector<ZV_DownLoadModel> uniqueByVodId(const std::vector<ZV_DownLoadModel>& list);
// By episode name in plain string order (normalised scalars, no numbers read); records with
// equal names keep their order.
std::vector<ZV_DownLoadModel> sortedByEpisodeName(std::vector<ZV_DownLoadModel> list);

// Every record of the episode of the given title / of the title, whatever its state; the store's
// error is logged and gives none.
std::vector<ZV_DownLoadModel> recordsOfEpisode(const std::string& vod_id, const std::string& episodeId);
std::vector<ZV_DownLoadModel> recordsOfTitle(const std::string& vod_id);
// How many records are not finished; 0 when the store cannot say.
std::size_t unfinishedCount();

// Applies the change to the record and to its row as stored now, and writes the row: what other
// pages wrote meanwhile (a measured size, the watched mark) is kept. A record whose row is gone
// changes in memory only. False when the store refused.
bool storeChange(ZV_DownLoadModel& record, const std::function<void(ZV_DownLoadModel&)>& change);

// Every record of the address, whatever its title and state: episodes of several titles may play
// one address, and the media cache keeps one export of it, which all of them follow.
std::vector<ZV_DownLoadModel> recordsOfAddress(const std::string& url);
// storeChange for every record of the address; false when any of them could not be read or written.
bool storeChangeOfAddress(const std::string& url, const std::function<void(ZV_DownLoadModel&)>& change);

// The state a started download takes from its export: "downing", "finish" and "fail" for the
// statuses 2, 3 and 4; none for the others.
std::optional<std::string> startedState(MCSAssetExportStatus status);
// Lets every record of the export's address follow its status (startedState), unless the export
// has a status handler already: the one in place (a start's, or the downloading list's, which
// redraws its page as well) keeps every record of the address up to date.
void followExport(MCSAssetExporter& exporter);

// Removes each record's export (when its address forms a URL and no record outside the given
// ones downloads the same address) and then the record. A record the store refuses to delete is
// logged and kept; the number deleted.
std::size_t deleteDownloads(const std::vector<ZV_DownLoadModel>& records);

// The titles of the centre's tabs: "已下载", and "下载中" with the number of unfinished
// downloads after a space when there is at least one.
inline constexpr const char* downloadedTitle = "已下载";
std::string downloadingTitle(std::size_t unfinished);
// "全选 " / "删除 " and the count.
std::string selectAllTitle(std::size_t count);
std::string deleteTitle(std::size_t count);

}
