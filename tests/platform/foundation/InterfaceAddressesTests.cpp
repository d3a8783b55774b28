#include "platform/foundation/InterfaceAddresses.h"

#include <algorithm>
#include <arpa/inet.h>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// Received bytes per interface from the kernel's own table.
std::map<std::string, std::uint64_t> procReceivedBytes()
{
    std::map<std::string, std::uint64_t> bytes;
    std::ifstream file("/proc/net/dev");
    std::string line;
    while (std::getline(file, line)) {
        auto colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string name = line.substr(0, colon);
        name.erase(0, name.find_first_not_of(' '));
        std::istringstream fields(line.substr(colon + 1));
        std::uint64_t received = 0;
        if (fields >> received)
            bytes[name] = received;
    }
    return bytes;
}

std::map<std::string, std::uint32_t> linkCounters()
{
    std::map<std::string, std::uint32_t> counters;
    auto entries = getInterfaceAddresses();
    EXPECT_TRUE(entries);
    for (const auto& entry : entries.value_or(std::vector<InterfaceAddress> {})) {
        EXPECT_EQ(entry.receivedBytes.has_value(), entry.family == InterfaceAddressFamily::link)
            << entry.name;
        if (entry.receivedBytes)
            counters[entry.name] = *entry.receivedBytes;
    }
    return counters;
}

}

TEST(InterfaceAddresses, CountersAreTheKernelsReceivedBytesCutTo32Bits)
{
    auto kernelBefore = procReceivedBytes();
    auto counters = linkCounters();
    auto kernelAfter = procReceivedBytes();
    ASSERT_FALSE(counters.empty());
    for (const auto& [name, value] : counters) {
        if (!kernelBefore.count(name) || !kernelAfter.count(name))
            continue;
        // Read between the two readings of the kernel's table, in 32-bit arithmetic.
        auto low = static_cast<std::uint32_t>(kernelBefore[name]);
        auto high = static_cast<std::uint32_t>(kernelAfter[name]);
        EXPECT_LE(static_cast<std::uint32_t>(value - low), static_cast<std::uint32_t>(high - low)) << name;
    }
}
