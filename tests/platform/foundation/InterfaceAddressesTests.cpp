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

TEST(InterfaceAddresses, ALoopbackTransferShowsInTheLoopbacksCounter)
{
    // A TCP connection to ourselves over 127.0.0.1 carrying a known number of bytes.
    int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 1), 0);
    socklen_t length = sizeof address;
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);

    auto loopback = [] {
        auto counters = linkCounters();
        return counters.count("lo") ? std::optional<std::uint32_t>(counters["lo"]) : std::nullopt;
    };
    auto before = loopback();
    ASSERT_TRUE(before) << "no counter for the loopback interface";

    constexpr std::size_t payload = 256 * 1024;
    std::size_t received = 0;
    std::thread reader([&] {
        int connection = ::accept(listener, nullptr, nullptr);
        if (connection < 0)
            return;
        char buffer[16384];
        for (ssize_t n; (n = ::read(connection, buffer, sizeof buffer)) > 0;)
            received += static_cast<std::size_t>(n);
        ::close(connection);
    });
    int sender = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(sender, 0);
    ASSERT_EQ(::connect(sender, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    std::string bytes(payload, 'z');
    for (std::size_t sent = 0; sent < payload;) {
        ssize_t n = ::write(sender, bytes.data() + sent, payload - sent);
        ASSERT_GT(n, 0);
        sent += static_cast<std::size_t>(n);
    }
    ::close(sender);
    reader.join();
    ::close(listener);
    ASSERT_EQ(received, payload);

    // At least the payload went through (other traffic on the machine only adds), counted in
    // 32 bits as the platform's counter is.
    auto after = loopback();
    ASSERT_TRUE(after);
    EXPECT_GE(static_cast<std::uint32_t>(*after - *before), payload);
}
