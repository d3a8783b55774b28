#pragma once

#include <cstdint>
#include <optional>
#include <string>

class JSON;

// One person of a title's cast and crew.
struct ZV_DetailDataListMembersModel {
    enum class membersType : std::uint8_t {
        actor = 1,
        director = 2,
        screenwriter = 3,
    };
    // Nothing for a number outside 1 to 3.
    static std::optional<membersType> membersTypeFromRawValue(std::int64_t rawValue);
    static std::int64_t rawValue(membersType type) { return static_cast<std::int64_t>(type); }

    ZV_DetailDataListMembersModel() = default;
    explicit ZV_DetailDataListMembersModel(const JSON& json);

    membersType type = membersType::actor; // any unknown role shows as starring
    std::int64_t member_id = 0;
    std::string name;
};
