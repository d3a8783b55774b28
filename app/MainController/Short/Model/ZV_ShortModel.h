#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class JSON;

// One short video as the short-video list sends it. Every field stays absent when the item is
// an empty value (an object without members, an array, a scalar or null); otherwise every field
// is present, read leniently (a missing or unconvertible key gives "" or 0) and `mixItems` is a
// list, possibly empty. Only the address, cover, title and description are used; the rest is
// kept as sent.
class ZV_ShortModel {
public:
    explicit ZV_ShortModel(const JSON& json);

    std::optional<std::string> avatar;
    std::optional<std::string> cover;
    std::optional<std::string> cover1; // "cover_1"
    std::optional<std::int64_t> createTime; // "create_time"
    std::optional<std::string> desc;
    std::optional<std::string> douban;
    std::optional<std::int64_t> mixId; // "mix_id"
    // "mix_items": items of the same kind, nested as deep as the (depth-limited) JSON goes.
    std::optional<std::vector<ZV_ShortModel>> mixItems;
    std::optional<std::string> mixName; // "mix_name"
    std::optional<std::string> nickname;
    std::optional<std::int64_t> no;
    std::optional<std::string> playAddr; // "play_addr"
    std::optional<std::string> title;
    std::optional<std::int64_t> type;
    std::optional<double> updateTime; // "update_time"
    std::optional<std::string> vid;
};
