#include "app/Core/Storage/StoreData.h"

#include <array>

namespace {

constexpr std::array<std::string_view, StoreData::caseCount> kRawValues = {
    "isDarkColor",
    "access_token",
    "history",
    "pureMode",
    "pureAlert",
};

}

std::optional<StoreData> StoreData::fromRawValue(std::string_view rawValue)
{
    for (std::size_t i = 0; i < kRawValues.size(); ++i) {
        if (kRawValues[i] == rawValue)
            return StoreData(static_cast<Case>(i));
    }
    return std::nullopt;
}

std::string_view StoreData::rawValue() const
{
    return kRawValues[static_cast<std::size_t>(m_case)];
}
