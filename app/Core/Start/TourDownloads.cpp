#include "app/Core/Start/TourDownloads.h"

#include "app/Core/Models/ZV_DetailModel.h"
#include "app/Core/Models/ZV_DownLoadModel.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Extensions/ParsableURL.h"
#include "platform/foundation/Log.h"
#include "platform/media/SJMediaCacheServer.h"

#include <memory>

namespace {

// What is left of one batch; `done` runs when the last episode is through.
struct Batch {
    int pending = 0;
    int written = 0;
    std::function<void(int)> done;

    void finishOne()
    {
        if (--pending == 0 && done)
            done(written);
    }
};

void exportEpisode(const std::string& url, const ZV_DetailModel& title, const std::string& source,
    const ZV_DetailDataListPlayFromListModel& episode, Batch& batch)
{
    auto record = std::make_shared<ZV_DownLoadModel>();
    record->url = url;
    record->name = title.name.value_or("");
    record->cover = title.cover.value_or("");
    record->vod_id = title.id.value_or("");
    record->source = source;
    record->typeName = title.typeName.value_or("");
    record->episodeId = episode.episodeId.value_or("");
    record->episodeName = episode.episodeName.value_or("");
    if (ASStatus saved = record->save(); !saved) {
        Log::write("startTitleDownloads: a record was not saved: " + saved.error());
        return;
    }
    ++batch.written;
    if (!parsesAsURL(url))
        return;
    std::shared_ptr<MCSAssetExporter> exporter = SJMediaCacheServer::shared().exportAssetWithURL(url);
    if (!exporter)
        return;
    exporter->resume();
    exporter->setStatusDidChangeExecuteBlock([record](MCSAssetExporter& changed) {
        const char* state = nullptr;
        switch (changed.status()) {
        case MCSAssetExportStatus::exporting:
            state = ZV_DownLoadModel::stateDowning;
            break;
        case MCSAssetExportStatus::finished:
            state = ZV_DownLoadModel::stateFinish;
            break;
        case MCSAssetExportStatus::failed:
            state = ZV_DownLoadModel::stateFail;
            break;
        default:
            return;
        }
        record->state = state;
        if (ASStatus written = record->update(); !written)
            Log::write("startTitleDownloads: a record's state was not written: " + written.error());
    });
}

void startEpisodes(const std::shared_ptr<ZV_DetailModel>& title, std::function<void(int)> done)
{
    std::shared_ptr<ZV_DetailDataListPlayFromModel> source;
    for (const auto& each : title->playFrom ? *title->playFrom : decltype(title->playFrom)::value_type {}) {
        if (each && each->list && !each->list->empty()) {
            source = each;
            break;
        }
    }
    if (!source) {
        if (done)
            done(0);
        return;
    }
    auto batch = std::make_shared<Batch>();
    batch->done = std::move(done);
    batch->pending = static_cast<int>(source->list->size()) + 1; // held open until all are sent
    std::string sourceName = source->name.value_or("");
    for (const auto& episode : *source->list) {
        if (!episode) {
            batch->finishOne();
            continue;
        }
        if (episode->readyToPlay.value_or(false)) {
            exportEpisode(episode->playUrl.value_or(""), *title, sourceName, *episode, *batch);
            batch->finishOne();
            continue;
        }
        JSON parameters = JSON::object();
        parameters.set("play_url", episode->playUrl.value_or(""));
        parameters.set("from_code", episode->fromCode.value_or(""));
        ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), ZV_API::movieAddressParse,
            parameters, false,
            [title, sourceName, episode, batch](std::optional<JSON> json, std::optional<NSError>) {
                // An episode whose address did not resolve gets no record.
                if (json)
                    exportEpisode((*json)["url"].stringValue(), *title, sourceName, *episode, *batch);
                batch->finishOne();
            });
    }
    batch->finishOne();
}

}

void startTitleDownloads(const std::string& vod_id, std::function<void(int)> done)
{
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), "v1/movie/detail",
        JSON::object({ { "id", JSON(vod_id) } }),
        [done = std::move(done)](std::optional<JSON> json, std::optional<NSError> error) mutable {
            if (!json || !json->dictionary()) {
                Log::write("startTitleDownloads: the title cannot be read: "
                    + (error ? error->domain : std::string()));
                if (done)
                    done(-1);
                return;
            }
            startEpisodes(std::make_shared<ZV_DetailModel>(*json), std::move(done));
        });
}
