#include "platform/foundation/InterfaceAddresses.h"

#include <ifaddrs.h>
#include <linux/if_link.h>
#include <memory>
#include <netinet/in.h>
#include <netpacket/packet.h>
#include <sys/socket.h>

namespace {

struct ListDeleter {
    void operator()(ifaddrs* list) const { freeifaddrs(list); }
};

InterfaceAddressFamily familyOf(const sockaddr* address)
{
    if (!address)
        return InterfaceAddressFamily::none;
    switch (address->sa_family) {
    case AF_PACKET:
        return InterfaceAddressFamily::link;
    case AF_INET:
        return InterfaceAddressFamily::inet;
    case AF_INET6:
        return InterfaceAddressFamily::inet6;
    default:
        return InterfaceAddressFamily::other;
    }
}

}

std::optional<std::vector<InterfaceAddress>> getInterfaceAddresses()
{
    ifaddrs* raw = nullptr;
    if (getifaddrs(&raw) != 0)
        return std::nullopt;
    std::unique_ptr<ifaddrs, ListDeleter> list(raw);
    std::vector<InterfaceAddress> entries;
    for (const ifaddrs* entry = list.get(); entry; entry = entry->ifa_next) {
        InterfaceAddress address;
        address.name = entry->ifa_name ? entry->ifa_name : "";
        address.family = familyOf(entry->ifa_addr);
        address.flags = entry->ifa_flags;
        // Linux hangs the interface's statistics, with 32-bit counters, on its link entry.
        if (address.family == InterfaceAddressFamily::link && entry->ifa_data)
            address.receivedBytes = static_cast<const rtnl_link_stats*>(entry->ifa_data)->rx_bytes;
        entries.push_back(std::move(address));
    }
    return entries;
}
