#pragma once

#include "platform/foundation/InterfaceAddresses.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The download speed shown in the downloading list: the growth of the device's received-byte
// counter (every interface that is up or running, loopback left out) since the previous
// question, as a rate. It keeps no clock: the figure is what arrived between two questions. One
// instance per list, shared by its rows. Main thread only.
class ZV_NetworkSpeed {
public:
    using InterfaceSource = std::function<std::optional<std::vector<InterfaceAddress>>()>;

    // Reads the system's interfaces; tests hand in their own list.
    explicit ZV_NetworkSpeed(InterfaceSource source = getInterfaceAddresses);

    // The counter stored by the previous question; 0 before the first (or when nothing counted),
    // which makes the next question count as a first one.
    std::int64_t lastBytes = 0;

    // The received bytes of the counting interfaces, summed in 32 bits as the counters are kept;
    // 0 when the system gives no list.
    std::int64_t getInterfaceBytes() const;
    // The text of the growth since the previous question ("0B/秒" for a first one), and a fresh
    // reading stored for the next.
    std::string getInternetSpeed();
    // The growth between two 32-bit readings: a counter that wrapped in between still counts
    // forward.
    static std::int64_t difference(std::int64_t from, std::int64_t to);
    // "%lldB/秒" below 1024, "%.1fKB/秒" below 1024², "%.2fMB/秒" below 1024³, "%.2fGB/秒" above.
    static std::string formatNetWork(std::int64_t bytes);

private:
    InterfaceSource m_source;
};
