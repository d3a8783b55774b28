// Every JSON key that the models read, as the API names it: each table builds one reply in which
// every key holds a value of its own (a text is its own path, a number 1000 plus its row), so a
// misspelt or swapped key leaves a field at its default or with another row's value.

#include "app/Core/Models/ZV_AdvertConfigModel.h"
#include "app/Core/Models/ZV_ConfigData.h"
#include "app/Core/Models/ZV_DetailModel.h"
#include "app/Core/Models/ZV_HomeRecommendModelData.h"
#include "app/Core/Models/ZV_UserInfoModel.h"
#include "platform/json/JSON.h"

#include <cctype>
#include <functional>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

enum class Kind { Text, Int, Bool, Role };

template<class Model> struct Key {
    std::string path; // "list/0/name": key "list", element 0, key "name"
    Kind kind;
    std::function<std::string(const Model&)> read;
};

std::string show(const std::string& text)
{
    return text;
}
std::string show(std::int64_t number)
{
    return std::to_string(number);
}
std::string show(bool flag)
{
    return flag ? "true" : "false";
}
template<class T> std::string show(const std::optional<T>& value)
{
    return value ? show(*value) : "<absent>";
}

// A part the reading must have made; a missing one fails the row instead of crashing.
template<class T> const T& made(const std::optional<T>& value)
{
    if (!value)
        throw std::runtime_error("absent");
    return *value;
}
template<class T> const T& made(const std::shared_ptr<T>& value)
{
    if (!value)
        throw std::runtime_error("absent");
    return *value;
}

#define FIELD(expr) [](const auto& m) { return show(m.expr); }
#define OF(part, expr) [](const auto& m) { return show(part(m).expr); }

const ZV_DetailDataListTagsModel& tag(const ZV_DetailModel& m)
{
    return *made(m.tags).at(0);
}
const ZV_DetailDataListMembersModel& member(const ZV_DetailModel& m)
{
    return *made(m.members).at(0);
}
const ZV_DetailDataListPlayFromModel& source(const ZV_DetailModel& m)
{
    return *made(m.playFrom).at(0);
}
const ZV_DetailDataListPlayFromListModel& episode(const ZV_DetailModel& m)
{
    return *made(source(m).list).at(0);
}
const ZV_HomeRecommendModelDataList& related(const ZV_DetailModel& m)
{
    return *made(m.recommendList).at(0);
}
const ZV_DetailDataListLastPlaybackModel& last(const ZV_DetailModel& m)
{
    return made(m.lastPlayback);
}

nlohmann::json valueOf(const std::string& path, Kind kind, std::size_t row)
{
    switch (kind) {
    case Kind::Text:
        return path;
    case Kind::Int:
        return 1000 + row;
    case Kind::Bool:
        return true;
    case Kind::Role:
        return 3; // screenwriter: any value outside 1 to 3 would read as the default
    }
    return nullptr;
}

std::string expected(const std::string& path, Kind kind, std::size_t row)
{
    switch (kind) {
    case Kind::Text:
        return path;
    case Kind::Int:
        return std::to_string(1000 + row);
    case Kind::Bool:
        return "true";
    case Kind::Role:
        return "3";
    }
    return {};
}

void place(nlohmann::json& target, const std::string& path, nlohmann::json value)
{
    nlohmann::json* at = &target;
    std::size_t start = 0;
    while (true) {
        std::size_t slash = path.find('/', start);
        std::string part = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (!part.empty() && std::isdigit(static_cast<unsigned char>(part[0])))
            at = &(*at)[std::stoul(part)];
        else
            at = &(*at)[part];
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    *at = std::move(value);
}

template<class Model> void expectEveryKeyRead(const std::vector<Key<Model>>& keys)
{
    nlohmann::json reply = nlohmann::json::object();
    for (std::size_t row = 0; row < keys.size(); ++row)
        place(reply, keys[row].path, valueOf(keys[row].path, keys[row].kind, row));
    Model model(JSON::parse(reply.dump()));
    for (std::size_t row = 0; row < keys.size(); ++row) {
        std::string got;
        try {
            got = keys[row].read(model);
        } catch (const std::exception& missing) {
            got = std::string("<") + missing.what() + ">";
        }
        EXPECT_EQ(got, expected(keys[row].path, keys[row].kind, row)) << keys[row].path;
    }
}

using enum Kind;

TEST(ModelKeys, Configuration)
{
    expectEveryKeyRead<ZV_ConfigData>({
        { "about/button", Text, FIELD(about.button) },
        { "about/link", Text, FIELD(about.link) },
        { "feedback/0/name", Text, FIELD(feedback.at(0).name) },
        { "feedback/0/value", Int, FIELD(feedback.at(0).value) },
        { "index_top_nav/0/id", Int, FIELD(index_top_nav.at(0).id) },
        { "index_top_nav/0/name", Text, FIELD(index_top_nav.at(0).name) },
        { "movie_screen/filter/0/area/0", Text, FIELD(movie_screen.filter.at(0).area.at(0)) },
        { "movie_screen/filter/0/class/0", Text, FIELD(movie_screen.filter.at(0).type.at(0)) },
        { "movie_screen/filter/0/id", Int, FIELD(movie_screen.filter.at(0).id) },
        { "movie_screen/filter/0/name", Text, FIELD(movie_screen.filter.at(0).name) },
        { "movie_screen/filter/0/year/0", Text, FIELD(movie_screen.filter.at(0).year.at(0)) },
        { "movie_screen/sort/0/name", Text, FIELD(movie_screen.sort.at(0).name) },
        { "movie_screen/sort/0/value", Text, FIELD(movie_screen.sort.at(0).value) },
        { "share_qrcode", Text, FIELD(share_qrcode) },
        { "new_notice", Text, FIELD(new_notice) },
        { "share_link", Text, FIELD(share_link) },
    });
}

TEST(ModelKeys, Profile)
{
    expectEveryKeyRead<ZV_UserInfoModel>({
        { "avatar", Text, FIELD(avatar) },
        { "create_time", Int, FIELD(create_time) },
        { "email", Text, FIELD(email) },
        { "id", Text, FIELD(id) },
        { "login_addr", Text, FIELD(login_addr) },
        { "login_ip", Text, FIELD(login_ip) },
        { "nickname", Text, FIELD(nickname) },
        { "phone", Text, FIELD(phone) },
        { "status", Int, FIELD(status) },
        { "username", Text, FIELD(username) },
    });
}

TEST(ModelKeys, TitleDetail)
{
    expectEveryKeyRead<ZV_DetailModel>({
        { "id", Text, FIELD(id) },
        { "hot", Text, FIELD(hot) },
        { "name", Text, FIELD(name) },
        { "year", Text, FIELD(year) },
        { "cover", Text, FIELD(cover) },
        { "is_collect", Bool, FIELD(isCollect) },
        { "dynamic", Text, FIELD(dynamic) },
        { "content", Text, FIELD(content) },
        { "type_name", Text, FIELD(typeName) },
        { "blurb", Text, FIELD(blurb) },
        { "tags/0/name", Text, OF(tag, name) },
        { "tags/0/tag_id", Int, OF(tag, tag_id) },
        { "members/0/type", Role,
            [](const ZV_DetailModel& m) {
                return show(ZV_DetailDataListMembersModel::rawValue(member(m).type));
            } },
        { "members/0/member_id", Int, OF(member, member_id) },
        { "members/0/name", Text, OF(member, name) },
        { "play_from/0/total", Text, OF(source, total) },
        { "play_from/0/code", Text, OF(source, code) },
        { "play_from/0/name", Text, OF(source, name) },
        { "play_from/0/tips", Text, OF(source, tips) },
        { "play_from/0/list/0/episode_id", Text, OF(episode, episodeId) },
        { "play_from/0/list/0/episode_name", Text, OF(episode, episodeName) },
        { "play_from/0/list/0/from_code", Text, OF(episode, fromCode) },
        { "play_from/0/list/0/headers/0/Referer", Text,
            [](const ZV_DetailModel& m) {
                return made(episode(m).headers).at(0).at("Referer").stringValue();
            } },
        { "play_from/0/list/0/play_url", Text, OF(episode, playUrl) },
        { "play_from/0/list/0/ready_to_play", Bool, OF(episode, readyToPlay) },
        { "play_from/0/list/0/user_agent", Text, OF(episode, userAgent) },
        { "recommendList/0/name", Text, OF(related, name) },
        { "last_playback/movie_from", Text, OF(last, movie_from) },
        { "last_playback/episode_id", Text, OF(last, episode_id) },
        { "last_playback/duration", Int, OF(last, duration) },
        { "last_playback/current_time", Int, OF(last, current_time) },
    });
}

TEST(ModelKeys, FeedSection)
{
    expectEveryKeyRead<ZV_HomeRecommendModelData>({
        { "layout", Text, FIELD(layout) },
        { "list/0/id", Text, FIELD(list.at(0)->id) },
        { "list/0/click", Text, FIELD(list.at(0)->click) },
        { "list/0/image", Text, FIELD(list.at(0)->image) },
        { "list/0/label", Text, FIELD(list.at(0)->label) },
        { "list/0/sub_title", Text, FIELD(list.at(0)->sub_title) },
        { "list/0/title", Text, FIELD(list.at(0)->title) },
        { "list/0/type", Int, FIELD(list.at(0)->type) },
        { "list/0/dynamic", Text, FIELD(list.at(0)->dynamic) },
        { "list/0/name", Text, FIELD(list.at(0)->name) },
        { "list/0/movie_name", Text, FIELD(list.at(0)->movie_name) },
        { "list/0/cover", Text, FIELD(list.at(0)->cover) },
        { "list/0/movie_dynamic", Text, FIELD(list.at(0)->movie_dynamic) },
        { "list/0/type_name", Text, FIELD(list.at(0)->type_name) },
        { "list/0/current_time", Int, FIELD(list.at(0)->current_time) },
        { "list/0/duration", Int, FIELD(list.at(0)->duration) },
        { "list/0/episode_id", Int, FIELD(list.at(0)->episode_id) },
        { "list/0/episode_name", Text, FIELD(list.at(0)->episode_name) },
        { "list/0/from_name", Text, FIELD(list.at(0)->from_name) },
        { "list/0/movie_from", Text, FIELD(list.at(0)->movie_from) },
        { "list/0/movie_id", Text, FIELD(list.at(0)->movie_id) },
        // Never read from a reply, whatever it holds.
        { "list/0/isSel", Bool, [](const auto& m) { return show(!m.list.at(0)->isSel); } },
        { "right/data/page", Text, FIELD(right.data.page) },
        { "right/data/index", Int, FIELD(right.data.index) },
        { "right/data/param/class", Text, FIELD(right.data.param.classes) },
        { "right/text", Text, FIELD(right.text) },
        { "right/type", Text, FIELD(right.type) },
        { "title", Text, FIELD(title) },
        { "data/channel", Text, FIELD(data.channel) },
        { "data/data/image", Text, FIELD(data.data.image) },
        { "data/data/url", Text, FIELD(data.data.url) },
        { "data/location_id", Int, FIELD(data.location_id) },
        { "data/remarks", Text, FIELD(data.remarks) },
        { "data/type", Int, FIELD(data.type) },
    });
}

TEST(ModelKeys, AdvertPlacements)
{
    struct Placement {
        const char* key;
        ZV_AdvertModel ZV_AdvertConfigModel::*field;
    };
    const Placement placements[] = {
        { "collect_up", &ZV_AdvertConfigModel::collect_up },
        { "downloaded_up", &ZV_AdvertConfigModel::downloaded_up },
        { "index_popup", &ZV_AdvertConfigModel::index_popup },
        { "notice_up", &ZV_AdvertConfigModel::notice_up },
        { "play_record_up", &ZV_AdvertConfigModel::play_record_up },
        { "player_episode_up", &ZV_AdvertConfigModel::player_episode_up },
        { "player_pause", &ZV_AdvertConfigModel::player_pause },
        { "player_recommend_up", &ZV_AdvertConfigModel::player_recommend_up },
        { "projection_up", &ZV_AdvertConfigModel::projection_up },
        { "screen_index", &ZV_AdvertConfigModel::screen_index },
        { "search_input_under", &ZV_AdvertConfigModel::search_input_under },
        { "search_result_up", &ZV_AdvertConfigModel::search_result_up },
        { "user_index", &ZV_AdvertConfigModel::user_index },
        { "start", &ZV_AdvertConfigModel::start },
    };
    using Read = std::function<std::string(const ZV_AdvertModel&)>;
    const std::pair<const char*, std::pair<Kind, Read>> parts[] = {
        { "channel", { Text, FIELD(channel) } },
        { "data/image", { Text, FIELD(data.image) } },
        { "data/url", { Text, FIELD(data.url) } },
        { "location_id", { Int, FIELD(location_id) } },
        { "remarks", { Text, FIELD(remarks) } },
        { "type", { Int, FIELD(type) } },
    };
    std::vector<Key<ZV_AdvertConfigModel>> keys;
    for (const Placement& placement : placements) {
        for (const auto& [part, how] : parts) {
            keys.push_back({ std::string(placement.key) + "/" + part, how.first,
                [field = placement.field, read = how.second](
                    const ZV_AdvertConfigModel& m) { return read(m.*field); } });
        }
    }
    expectEveryKeyRead(keys);
}

// Values of another kind than the key's are read leniently, and nothing makes a model fail.
TEST(ModelKeys, LenientReadings)
{
    struct Case {
        const char* json;
        std::function<std::string(const JSON&)> read;
        const char* expected;
    };
    for (const Case& c :
        std::vector<Case> {
            { R"({"id": 301877})", [](const JSON& j) { return ZV_UserInfoModel(j).id; }, "301877" },
            { R"({"id": null, "status": "禁用"})",
                [](const JSON& j) { return ZV_UserInfoModel(j).id + show(ZV_UserInfoModel(j).status); },
                "0" },
            { R"({"id": 123})", [](const JSON& j) { return show(ZV_DetailModel(j).id); }, "123" },
            { R"({"value": "7"})", [](const JSON& j) { return show(ZV_ConfigDataFeedback(j).value); }, "7" },
            { R"({"value": "七"})", [](const JSON& j) { return show(ZV_ConfigDataFeedback(j).value); }, "0" },
            { R"({"type": ["剧情"], "year": [2021, null, true]})",
                [](const JSON& j) {
                    ZV_ConfigDataMovie_screenFilter filter(j);
                    return show(std::int64_t(filter.type.size())) + filter.year.at(0) + "|"
                        + filter.year.at(1) + "|" + filter.year.at(2);
                },
                "02021||true" },
            { R"({"channel": 2024, "location_id": "11"})",
                [](const JSON& j) { return ZV_AdvertModel(j).channel + show(ZV_AdvertModel(j).location_id); },
                "202411" },
            { R"({"data": "x", "type": "横幅", "location_id": [3]})",
                [](const JSON& j) {
                    ZV_AdvertModel advert(j);
                    return advert.data.image + show(advert.type) + show(advert.location_id);
                },
                "00" },
            { R"({"episode_id": "12"})",
                [](const JSON& j) { return show(ZV_HomeRecommendModelDataList(j).episode_id); }, "12" },
            { R"({"episode_id": "十二", "type": true})",
                [](const JSON& j) {
                    ZV_HomeRecommendModelDataList item(j);
                    return show(item.episode_id) + show(item.type);
                },
                "01" },
            { R"({"list": {"id": 1}, "right": 5})",
                [](const JSON& j) {
                    ZV_HomeRecommendModelData section(j);
                    return show(std::int64_t(section.list.size())) + section.right.text;
                },
                "0" },
            { R"({"param": {"classes": "电影"}})",
                [](const JSON& j) { return ZV_HomeRightModelData(j).param.classes; }, "" },
        }) {
        EXPECT_EQ(c.read(JSON::parse(c.json)), c.expected) << c.json;
    }
    // Replies that are no object at all give every default.
    for (const char* text : { "null", "[]", "[1,2]", "12", "\"config\"", "<html>502</html>" }) {
        JSON json = JSON::parse(text);
        EXPECT_EQ(ZV_ConfigData(json).movie_screen.filter.size() + ZV_ConfigData(json).feedback.size(), 0u)
            << text;
        EXPECT_EQ(ZV_UserInfoModel(json).nickname + ZV_AdvertConfigModel(json).start.data.image, "") << text;
        EXPECT_TRUE(ZV_HomeRecommendModelData(json).list.empty()) << text;
    }
}

}
