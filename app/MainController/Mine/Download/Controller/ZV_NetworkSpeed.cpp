#include "app/MainController/Mine/Download/Controller/ZV_NetworkSpeed.h"

#include <cstdio>
#include <utility>

ZV_NetworkSpeed::ZV_NetworkSpeed(InterfaceSource source)
    : m_source(std::move(source))
{ }

std::int64_t ZV_NetworkSpeed::getInterfaceBytes() const
{
    std::optional<std::vector<InterfaceAddress>> entries = m_source ? m_source() : std::nullopt;
    if (!entries)
        return 0;
    std::uint32_t sum = 0;
    for (const InterfaceAddress& entry : *entries) {
        if (entry.family != InterfaceAddressFamily::link)
            continue;
        if (!(entry.flags & (InterfaceAddress::flagUp | InterfaceAddress::flagRunning)))
            continue;
        if (!entry.receivedBytes)
            continue;
        if (entry.name.compare(0, 2, "lo") == 0)
            continue;
        sum += *entry.receivedBytes; // wraps, as the counters themselves do
    }
    return static_cast<std::int64_t>(sum);
}

std::int64_t ZV_NetworkSpeed::difference(std::int64_t from, std::int64_t to)
{
    return static_cast<std::int64_t>(static_cast<std::uint32_t>(to) - static_cast<std::uint32_t>(from));
}

std::string ZV_NetworkSpeed::getInternetSpeed()
{
    std::int64_t current = getInterfaceBytes();
    std::int64_t grown = lastBytes == 0 ? 0 : difference(lastBytes, current);
    lastBytes = getInterfaceBytes();
    return formatNetWork(grown);
}

std::string ZV_NetworkSpeed::formatNetWork(std::int64_t bytes)
{
    constexpr std::int64_t kilo = 1024;
    constexpr std::int64_t mega = kilo * 1024;
    constexpr std::int64_t giga = mega * 1024;
    char text[64];
    if (bytes < kilo)
        std::snprintf(text, sizeof text, "%lldB/秒", static_cast<long long>(bytes));
    else if (bytes < mega)
        std::snprintf(text, sizeof text, "%.1fKB/秒", static_cast<double>(bytes) / kilo);
    else if (bytes < giga)
        std::snprintf(text, sizeof text, "%.2fMB/秒", static_cast<double>(bytes) / mega);
    else
        std::snprintf(text, sizeof text, "%.2fGB/秒", static_cast<double>(bytes) / giga);
    return text;
}
