#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace testserver {

// An id or a field that the sample files and the app write now as text, now as an integer, as
// text; anything else (absent, a fraction, an object) is empty, which matches no id.
std::string textOf(const nlohmann::json& value);

}
