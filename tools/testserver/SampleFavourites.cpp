#include "tools/testserver/SampleFavourites.h"

#include "tools/testserver/StaticFiles.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <vector>

namespace testserver {

namespace {

std::string textOf(const nlohmann::json& value)
{
    if (value.is_string())
        return value.get<std::string>();
    if (value.is_number_integer())
        return std::to_string(value.get<long long>());
    return {};
}

long long numberOf(const nlohmann::json& value, long long fallback)
{
    if (value.is_number_integer())
        return value.get<long long>();
    if (value.is_string() && !value.get<std::string>().empty())
        return std::atoll(value.get<std::string>().c_str());
    return fallback;
}

// A data file holding an array "titles", or none with a message.
std::optional<nlohmann::json> readTitles(const std::filesystem::path& file, std::string* error)
{
    std::ifstream stream(file, std::ios::binary);
    std::stringstream text;
    text << stream.rdbuf();
    nlohmann::json json = nlohmann::json::parse(text.str(), nullptr, false);
    if (!stream || !json.is_object() || !json.value("titles", nlohmann::json()).is_array()) {
        if (error)
            *error = "needs an array \"titles\": " + file.string();
        return std::nullopt;
    }
    return json;
}

struct Favourites {
    std::map<std::string, nlohmann::json> titles; // by id
    std::mutex mutex;
    std::vector<std::string> ids; // newest first

    // One entry of the favourites list, as the favourites page reads it; a title this sample does
    // not know gives its id alone.
    nlohmann::json entry(const std::string& id) const
    {
        auto known = titles.find(id);
        if (known == titles.end())
            return { { "movie_id", id } };
        const nlohmann::json& title = known->second;
        return { { "movie_id", id }, { "movie_name", title.value("name", "") },
            { "cover", title.value("cover", "") }, { "movie_dynamic", title.value("year", "") },
            { "type_name", title.value("type_name", "") } };
    }
};

}

bool SampleFavourites::install(ApiServer& api, const std::filesystem::path& dataDir, std::uint16_t httpPort,
    std::uint16_t httpsPort, SignedIn signedIn, std::string* error)
{
    auto favourites = std::make_shared<Favourites>();
    nlohmann::json explore;
    for (const char* name : { "catalogue", "explore" }) {
        std::optional<nlohmann::json> json
            = readTitles(dataDir / "api" / (std::string(name) + ".json"), error);
        if (!json)
            return false;
        for (const nlohmann::json& title : (*json)["titles"]) {
            std::string id = textOf(title.value("id", nlohmann::json()));
            if (id.empty())
                continue;
            nlohmann::json kept = title;
            if (kept.contains("cover") && kept["cover"].is_string())
                kept["cover"] = pointAtLoopback(kept["cover"].get<std::string>(), httpPort, httpsPort);
            favourites->titles[id] = std::move(kept);
        }
        explore = std::move(*json);
    }
    for (const nlohmann::json& id : explore.value("favourites", nlohmann::json::array())) {
        if (favourites->titles.contains(textOf(id)))
            favourites->ids.push_back(textOf(id));
    }

    api.handle("v1/user/movie_collect/list", [favourites, signedIn](const ApiCall& call) {
        if (!signedIn(call))
            return ApiReply::error(2000, "请先登录");
        long long page = std::max(1LL, numberOf(call.parameters.value("page", nlohmann::json()), 1));
        long long size
            = std::clamp(numberOf(call.parameters.value("pageSize", nlohmann::json()), 20), 1LL, 50LL);
        std::lock_guard lock(favourites->mutex);
        nlohmann::json list = nlohmann::json::array();
        long long total = static_cast<long long>(favourites->ids.size());
        for (long long i = (page - 1) * size; i < total && i < page * size; ++i)
            list.push_back(favourites->entry(favourites->ids[i]));
        return ApiReply::success({ { "list", list }, { "total", total } });
    });
    // As lenient as other samples' handler of the same path, so that either may stay: any title
    // id, and `state` as 1/0 or true/false.
    api.handle("v1/movie/collect/action", [favourites](const ApiCall& call) {
        std::string id = textOf(call.parameters.value("movie_id", nlohmann::json()));
        const nlohmann::json& stateValue = call.parameters.value("state", nlohmann::json());
        bool add = stateValue.is_boolean() ? stateValue.get<bool>() : numberOf(stateValue, 0) == 1;
        if (id.empty())
            return ApiReply::error(1001, "影片不存在");
        std::lock_guard lock(favourites->mutex);
        std::erase(favourites->ids, id);
        if (add)
            favourites->ids.insert(favourites->ids.begin(), id);
        // No `data`: the client hands the caller the message.
        ApiReply reply;
        reply.msg = add ? "收藏成功" : "已取消收藏";
        return reply;
    });
    return true;
}

}
