#include "tools/testserver/JsonText.h"

namespace testserver {

std::string textOf(const nlohmann::json& value)
{
    if (value.is_string())
        return value.get<std::string>();
    if (value.is_number_integer())
        return std::to_string(value.get<long long>());
    return {};
}

}
