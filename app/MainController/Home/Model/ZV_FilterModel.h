#pragma once

#include <optional>
#include <string>

// What the viewer chose on one filter page: the shown titles of the chosen options, not the
// values the server takes. Absent or empty means nothing chosen in that row. One per page,
// shared by reference with every option row, which writes into it.
struct ZV_FilterModel {
    std::optional<std::string> sort {};
    std::optional<std::string> type {};
    std::optional<std::string> area {};
    std::optional<std::string> year {};
};
