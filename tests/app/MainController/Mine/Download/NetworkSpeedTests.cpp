// The download speed: which interfaces count, the growth between two questions (also across the
// 32-bit counter's wrap) and the bands of its text.

#include "app/MainController/Mine/Download/Controller/ZV_NetworkSpeed.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace {

InterfaceAddress link(std::string name, unsigned flags, std::optional<std::uint32_t> received)
{
    InterfaceAddress entry;
    entry.name = std::move(name);
    entry.family = InterfaceAddressFamily::link;
    entry.flags = flags;
    entry.receivedBytes = received;
    return entry;
}

constexpr unsigned up = InterfaceAddress::flagUp;
constexpr unsigned running = InterfaceAddress::flagRunning;

}

TEST(NetworkSpeed, TextsFallInTheBandOfTheirSize)
{
    struct Case {
        std::int64_t bytes;
        const char* text;
    };
    const Case cases[] = {
        { 0, "0B/秒" },
        { 1023, "1023B/秒" },
        { 1024, "1.0KB/秒" },
        { 1536, "1.5KB/秒" },
        { 1048575, "1024.0KB/秒" },
        { 1048576, "1.00MB/秒" },
        { 1073741823, "1024.00MB/秒" },
        // Beyond a gibibyte the rate is told as it is, not as a fixed text.
        { 1073741824, "1.00GB/秒" },
        { 3221225472, "3.00GB/秒" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ZV_NetworkSpeed::formatNetWork(c.bytes), c.text) << c.bytes;
}

TEST(NetworkSpeed, CountsReceivedBytesOfLiveNonLoopbackLinksIn32Bits)
{
    std::vector<InterfaceAddress> entries {
        link("eth0", up | running, 1000),
        link("wlan0", running, 200), // running alone counts
        link("ppp0", up, 30), // up alone counts
        link("eth1", 0, 4000), // neither
        link("lo", up | running, 50000),
        link("lo0", up | running, 60000),
        link("lonely", up | running, 70000), // every name starting with "lo" is left out
        link("eth2", up | running, std::nullopt),
    };
    InterfaceAddress inet = link("eth0", up | running, 5);
    inet.family = InterfaceAddressFamily::inet;
    entries.push_back(inet);
    ZV_NetworkSpeed speed([&] { return std::optional(entries); });
    EXPECT_EQ(speed.getInterfaceBytes(), 1230);

    // The sum wraps as the counters do.
    entries = { link("eth0", up, 0xFFFFFFF0u), link("eth1", up, 0x20) };
    EXPECT_EQ(speed.getInterfaceBytes(), 0x10);

    ZV_NetworkSpeed none([] { return std::optional<std::vector<InterfaceAddress>>(); });
    EXPECT_EQ(none.getInterfaceBytes(), 0);
}

TEST(NetworkSpeed, GrowthSinceThePreviousQuestionAlsoAcrossTheWrap)
{
    std::uint32_t counter = 4000;
    ZV_NetworkSpeed speed([&] { return std::optional(std::vector { link("eth0", up, counter) }); });

    // A first question has nothing to compare with.
    EXPECT_EQ(speed.getInternetSpeed(), "0B/秒");
    EXPECT_EQ(speed.lastBytes, 4000);
    counter += 2048;
    EXPECT_EQ(speed.getInternetSpeed(), "2.0KB/秒");
    EXPECT_EQ(speed.getInternetSpeed(), "0B/秒");

    // The counter passes 2^32 between two questions: still the bytes that came.
    counter = 0xFFFFFF00u;
    speed.lastBytes = 0xFFFFFF00u;
    counter += 0x300; // wraps to 0x200
    EXPECT_EQ(speed.getInternetSpeed(), "768B/秒");
    EXPECT_EQ(ZV_NetworkSpeed::difference(0xFFFFFFFF, 0), 1);
    EXPECT_EQ(ZV_NetworkSpeed::difference(10, 10), 0);
}
