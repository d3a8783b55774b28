#include "app/MainController/Mine/Download/Controller/DownloadRecords.h"

#include "app/Extensions/ParsableURL.h"
#include "platform/foundation/Log.h"
#include "platform/media/SJMediaCacheServer.h"
#include "platform/text/CanonicalOrder.h"

#include <algorithm>

namespace downloads {

namespace {

std::vector<ZV_DownLoadModel> orNone(ASResult<std::vector<ZV_DownLoadModel>> found, const char* what)
{
    if (!found) {
        Log::write(std::string("downloads: ") + what + ": " + found.error());
        return {};
    }
    return std::move(*found);
}

// Whether a record outside the ones being deleted plays the same export: its files stay then.
bool keptElsewhere(const ZV_DownLoadModel& record, const std::vector<ZV_DownLoadModel>& deleting)
{
    auto sharing = ZV_DownLoadModel::findAll(ASQuery().equal("url", record.url));
    if (!sharing) {
        Log::write("downloads: the records of an export cannot be read: " + sharing.error());
        return true; // unsure: the files stay rather than go from under another download
    }
    return std::any_of(sharing->begin(), sharing->end(), [&](const ZV_DownLoadModel& other) {
        return std::none_of(deleting.begin(), deleting.end(),
            [&](const ZV_DownLoadModel& gone) { return gone.id() && gone.id() == other.id(); });
    });
}

}

bool sameEpisode(const ZV_DownLoadModel& a, const ZV_DownLoadModel& b)
{
    return a.vod_id == b.vod_id && a.episodeId == b.episodeId;
}

bool containsEpisode(const std::vector<ZV_DownLoadModel>& list, const ZV_DownLoadModel& record)
{
    return std::any_of(
        list.begin(), list.end(), [&](const ZV_DownLoadModel& each) { return sameEpisode(each, record); });
}

void removeEpisode(std::vector<ZV_DownLoadModel>& list, const ZV_DownLoadModel& record)
{
    // Copied first: `record` may be an element of `list` and move while erasing.
    const ZV_DownLoadModel key = record;
    std::erase_if(list, [&](const ZV_DownLoadModel& each) { return sameEpisode(each, key); });
}

std::size_t toggleEpisode(std::vector<ZV_DownLoadModel>& list, const ZV_DownLoadModel& record)
{
    if (containsEpisode(list, record))
        downloads::removeEpisode(list, record);
    else
        list.push_back(record);
    return list.size();
}

std::vector<ZV_DownLoadModel> uniqueByVodId(const std::vector<ZV_DownLoadModel>& list)
{
    std::vector<ZV_DownLoadModel> unique;
    for (const ZV_DownLoadModel& record : list) {
        bool seen = std::any_of(unique.begin(), unique.end(),
            [&](const ZV_DownLoadModel& kept) { return kept.vod_id == record.vod_id; });
        if (!seen)
            unique.push_back(record);
    }
    return unique;
}

std::vector<ZV_DownLoadModel> sortedByEpisodeName(std::vector<ZV_DownLoadModel> list)
{
    // Normalised once per record, not once per comparison.
    std::vector<std::pair<std::string, std::size_t>> keys;
    keys.reserve(list.size());
    for (std::size_t i = 0; i < list.size(); ++i)
        keys.emplace_back(CanonicalOrder::normalizedNFC(list[i].episodeName), i);
    std::stable_sort(
        keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<ZV_DownLoadModel> sorted;
    sorted.reserve(list.size());
    for (const auto& [name, index] : keys)
        sorted.push_back(std::move(list[index]));
    return sorted;
}

std::vector<ZV_DownLoadModel> recordsOfEpisode(const std::string& vod_id, const std::string& episodeId)
{
    return orNone(ZV_DownLoadModel::findAll(ASQuery().equal("vod_id", vod_id).equal("episodeId", episodeId)),
        "the records of an episode cannot be read");
}

std::vector<ZV_DownLoadModel> recordsOfTitle(const std::string& vod_id)
{
    return orNone(ZV_DownLoadModel::findByTitle(vod_id), "the records of a title cannot be read");
}

std::size_t unfinishedCount()
{
    return orNone(ZV_DownLoadModel::findUnfinished(), "the unfinished records cannot be read").size();
}

bool storeChange(ZV_DownLoadModel& record, const std::function<void(ZV_DownLoadModel&)>& change)
{
    change(record);
    if (!record.id())
        return false;
    auto stored = ZV_DownLoadModel::findFirst(ASQuery().equal("id", static_cast<long long>(*record.id())));
    if (!stored) {
        Log::write("downloads: a record cannot be read: " + stored.error());
        return false;
    }
    if (!*stored)
        return true; // deleted meanwhile
    ZV_DownLoadModel fresh = std::move(**stored);
    change(fresh);
    if (ASStatus written = fresh.update(); !written) {
        Log::write("downloads: a record was not written: " + written.error());
        return false;
    }
    return true;
}

std::vector<ZV_DownLoadModel> recordsOfAddress(const std::string& url)
{
    return orNone(
        ZV_DownLoadModel::findAll(ASQuery().equal("url", url)), "the records of an address cannot be read");
}

bool storeChangeOfAddress(const std::string& url, const std::function<void(ZV_DownLoadModel&)>& change)
{
    auto found = ZV_DownLoadModel::findAll(ASQuery().equal("url", url));
    if (!found) {
        Log::write("downloads: the records of an address cannot be read: " + found.error());
        return false;
    }
    bool stored = true;
    for (ZV_DownLoadModel& record : *found)
        stored = storeChange(record, change) && stored;
    return stored;
}

std::optional<std::string> startedState(MCSAssetExportStatus status)
{
    switch (status) {
    case MCSAssetExportStatus::exporting:
        return ZV_DownLoadModel::stateDowning;
    case MCSAssetExportStatus::finished:
        return ZV_DownLoadModel::stateFinish;
    case MCSAssetExportStatus::failed:
        return ZV_DownLoadModel::stateFail;
    default:
        return std::nullopt;
    }
}

void followExport(MCSAssetExporter& exporter)
{
    if (exporter.statusDidChangeExecuteBlock())
        return;
    exporter.setStatusDidChangeExecuteBlock([](MCSAssetExporter& changed) {
        if (std::optional<std::string> state = startedState(changed.status()))
            storeChangeOfAddress(changed.URL(), [&state](ZV_DownLoadModel& each) { each.state = *state; });
    });
}

std::size_t deleteDownloads(const std::vector<ZV_DownLoadModel>& records)
{
    std::size_t deleted = 0;
    for (ZV_DownLoadModel record : records) {
        if (parsesAsURL(record.url) && !keptElsewhere(record, records))
            SJMediaCacheServer::shared().removeExportAssetWithURL(record.url);
        if (ASStatus removed = record.deleteRecord(); !removed) {
            Log::write("downloads: a record was not deleted: " + removed.error());
            continue;
        }
        ++deleted;
    }
    return deleted;
}

std::string downloadingTitle(std::size_t unfinished)
{
    return unfinished == 0 ? std::string("下载中") : "下载中 " + std::to_string(unfinished);
}

std::string selectAllTitle(std::size_t count)
{
    return "全选 " + std::to_string(count);
}

std::string deleteTitle(std::size_t count)
{
    return "删除 " + std::to_string(count);
}

}
