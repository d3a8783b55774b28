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

// Sends `count` bytes to ourselves over a loopback TCP connection.
bool sendOverLoopback(std::size_t count)
{
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener < 0 || bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || listen(listener, 1) != 0
        || getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(listener);
        return false;
    }
    std::size_t received = 0;
    std::thread reader([&] {
        int connection = accept(listener, nullptr, nullptr);
        char buffer[65536];
        for (ssize_t n; connection >= 0 && (n = read(connection, buffer, sizeof buffer)) > 0;)
            received += static_cast<std::size_t>(n);
        close(connection);
    });
    int sender = socket(AF_INET, SOCK_STREAM, 0);
    bool connected = connect(sender, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    std::string chunk(65536, 'z');
    for (std::size_t sent = 0; connected && sent < count;) {
        ssize_t n = write(sender, chunk.data(), std::min(chunk.size(), count - sent));
        if (n <= 0)
            break;
        sent += static_cast<std::size_t>(n);
    }
    close(sender);
    reader.join();
    close(listener);
    return received == count;
}

}

TEST(InterfaceAddresses, ReceivedBytesFollowALoopbackTransfer)
{
    auto before = linkCounters();
    ASSERT_TRUE(before.count("lo"));
    const std::size_t count = 8 * 1024 * 1024;
    ASSERT_TRUE(sendOverLoopback(count));
    auto after = linkCounters();
    // The counters are 32 bits wide and wrap; other programs may use loopback too.
    std::uint32_t grown = after.at("lo") - before.at("lo");
    EXPECT_GE(grown, count);

    auto entries = *getInterfaceAddresses();
    auto lo = std::find_if(entries.begin(), entries.end(),
        [](const auto& e) { return e.name == "lo" && e.family == InterfaceAddressFamily::link; });
    ASSERT_NE(lo, entries.end());
    EXPECT_TRUE(lo->flags & InterfaceAddress::flagUp);
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
