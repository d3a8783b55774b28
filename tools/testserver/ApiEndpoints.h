#pragma once

#include <optional>
#include <string_view>

namespace testserver {

// The request method of a path of the API (below "/api/"), as every client must send it: "GET" or
// "POST" (the two uploads are multipart POSTs). None for a path the API does not know.
std::optional<std::string_view> endpointMethod(std::string_view path);

}
