#pragma once

#include "platform/storage/ASModel.h"

#include <optional>
#include <string>
#include <vector>

// The local record of one downloaded or downloading episode, a row of the
// default database. The media itself is kept by the media cache under `url`;
// the record holds what the download pages and the players list and resume.
struct ZV_DownLoadModel : ASModel<ZV_DownLoadModel> {
    // Values of `state`, following the exporter. Any other text counts as
    // unfinished and not paused, so it is resumed at start.
    static constexpr const char* stateWaiting = "waiting";
    static constexpr const char* stateDowning = "downing";
    static constexpr const char* statePause = "pause";
    static constexpr const char* stateFinish = "finish";
    static constexpr const char* stateFail = "fail";
    // Values of `watching`.
    static constexpr const char* watchingNo = "no";
    static constexpr const char* watchingYes = "yes";

    std::string url; // the media address handed to the exporter; its key for this download
    std::string name;
    std::string cover;
    std::string vod_id; // the title id
    std::string source; // the play source's name
    std::string typeName;
    std::string episodeId;
    std::string episodeName;
    double size = 0.0; // kilobytes of 1000 bytes, once measured
    double progress = 0.0; // 0 to 1, as the exporter reports it
    std::string state = stateWaiting;
    std::string watching = watchingNo;

    static const ASTable<ZV_DownLoadModel>& table();

    // Records not finished yet (every state but "finish"), in the order stored.
    static ASResult<std::vector<ZV_DownLoadModel>> findUnfinished();
    // Unfinished records whose export runs again at start: all but the paused ones.
    static ASResult<std::vector<ZV_DownLoadModel>> findResumable();
    static ASResult<std::vector<ZV_DownLoadModel>> findFinished();
    static ASResult<std::vector<ZV_DownLoadModel>> findFinished(const std::string& vod_id);
    // Every record of a title or of an episode, whatever its state.
    static ASResult<std::vector<ZV_DownLoadModel>> findByTitle(const std::string& vod_id);
    static ASResult<std::vector<ZV_DownLoadModel>> findByEpisode(const std::string& episodeId);
    // The first record of an episode of a title, if any.
    static ASResult<std::optional<ZV_DownLoadModel>> findEpisode(
        const std::string& vod_id, const std::string& episodeId);
};

// Removes from the list every record of the given record's episode (not only
// the first, and whether or not the given record itself is in the list).
void removeEpisode(std::vector<ZV_DownLoadModel>& list, const ZV_DownLoadModel& record);
