#include "app/Core/Models/ZV_DownLoadModel.h"

#include <algorithm>

const ASTable<ZV_DownLoadModel>& ZV_DownLoadModel::table()
{
    static const ASTable<ZV_DownLoadModel> table { "ZV_DownLoadModel",
        {
            { "url", &ZV_DownLoadModel::url },
            { "name", &ZV_DownLoadModel::name },
            { "cover", &ZV_DownLoadModel::cover },
            { "vod_id", &ZV_DownLoadModel::vod_id },
            { "source", &ZV_DownLoadModel::source },
            { "typeName", &ZV_DownLoadModel::typeName },
            { "episodeId", &ZV_DownLoadModel::episodeId },
            { "episodeName", &ZV_DownLoadModel::episodeName },
            { "size", &ZV_DownLoadModel::size },
            { "progress", &ZV_DownLoadModel::progress },
            { "state", &ZV_DownLoadModel::state },
            { "watching", &ZV_DownLoadModel::watching },
        } };
    return table;
}

ASResult<std::vector<ZV_DownLoadModel>> ZV_DownLoadModel::findUnfinished()
{
    return findAll(ASQuery().notEqual("state", stateFinish));
}

ASResult<std::vector<ZV_DownLoadModel>> ZV_DownLoadModel::findResumable()
{
    return findAll(ASQuery().notEqual("state", stateFinish).notEqual("state", statePause));
}

ASResult<std::vector<ZV_DownLoadModel>> ZV_DownLoadModel::findFinished()
{
    return findAll(ASQuery().equal("state", stateFinish));
}

ASResult<std::vector<ZV_DownLoadModel>> ZV_DownLoadModel::findFinished(const std::string& vod_id)
{
    return findAll(ASQuery().equal("vod_id", vod_id).equal("state", stateFinish));
}

ASResult<std::vector<ZV_DownLoadModel>> ZV_DownLoadModel::findByTitle(const std::string& vod_id)
{
    return findAll(ASQuery().equal("vod_id", vod_id));
}

ASResult<std::vector<ZV_DownLoadModel>> ZV_DownLoadModel::findByEpisode(const std::string& episodeId)
{
    return findAll(ASQuery().equal("episodeId", episodeId));
}

ASResult<std::optional<ZV_DownLoadModel>> ZV_DownLoadModel::findEpisode(
    const std::string& vod_id, const std::string& episodeId)
{
    return findFirst(ASQuery().equal("vod_id", vod_id).equal("episodeId", episodeId));
}

void removeEpisode(std::vector<ZV_DownLoadModel>& list, const ZV_DownLoadModel& record)
{
    // Copied first: `record` may be an element of `list` and move while erasing.
    const std::string episodeId = record.episodeId;
    std::erase_if(list, [&](const ZV_DownLoadModel& each) { return each.episodeId == episodeId; });
}
