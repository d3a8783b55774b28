#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The system's list of network interface addresses (getifaddrs), as the platform gives it.
enum class InterfaceAddressFamily {
    none, // the entry carries no address
    link, // the interface itself; only these entries carry its statistics
    inet,
    inet6,
    other,
};

struct InterfaceAddress {
    // Interface flags as the system numbers them: up 0x1, running 0x40.
    static constexpr unsigned flagUp = 0x1;
    static constexpr unsigned flagRunning = 0x40;

    std::string name;
    InterfaceAddressFamily family = InterfaceAddressFamily::none;
    unsigned flags = 0;
    // Bytes received by the interface since it came up: the platform's 32-bit counter, which
    // wraps. Present on link entries only.
    std::optional<std::uint32_t> receivedBytes;
};

// Every entry of the list, in the system's order; nothing when the system cannot give it.
std::optional<std::vector<InterfaceAddress>> getInterfaceAddresses();
