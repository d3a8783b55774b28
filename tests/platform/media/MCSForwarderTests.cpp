#include "platform/media/cache/MCSForwarder.h"
#include "platform/media/cache/MCSReadThrough.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace {

// A player's connection that takes bytes only while it is let, and fails from a set point on.
class Player : public MCSResourceOutput {
public:
    bool begin(const MCSResourceAnswer&) override { return true; }
    bool write(const std::uint8_t* bytes, std::size_t size) override
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return reading; });
        if (received.size() + size > failAfter)
            return false;
        received.append(reinterpret_cast<const char*>(bytes), size);
        return true;
    }
    void setReading(bool on)
    {
        std::lock_guard lock(mutex);
        reading = on;
        changed.notify_all();
    }

    std::mutex mutex;
    std::condition_variable changed;
    bool reading = true;
    std::size_t failAfter = SIZE_MAX;
    std::string received;
};

std::shared_ptr<Data> piece(std::size_t size, std::uint8_t seed)
{
    auto bytes = std::make_shared<Data>(size);
    for (std::size_t i = 0; i < size; ++i)
        (*bytes)[i] = static_cast<std::uint8_t>(seed + i * 7);
    return bytes;
}

}

// A player that stops reading holds the sender back (the origin is not read into memory without
// end); what it gets comes in order; once a send fails nothing more goes out.
TEST(MCSForwarder, APlayerThatStopsReadingHoldsTheSenderBackAndAFailureEndsTheAnswer)
{
    constexpr std::size_t size = 256 * 1024;
    constexpr int count = 16; // twice what may wait
    std::vector<std::shared_ptr<Data>> pieces;
    std::string expected;
    for (int i = 0; i < count; ++i) {
        pieces.push_back(piece(size, static_cast<std::uint8_t>(i)));
        expected.append(reinterpret_cast<const char*>(pieces.back()->data()), size);
    }

    Player player;
    std::atomic<int> handedOver { 0 };
    std::thread producer([&] {
        MCSForwarder& forwarder = MCSForwarder::forThisThread();
        forwarder.begin(player);
        forwarder.send(pieces[0], 0, size); // the first bytes go out at once
        player.setReading(false);
        for (int i = 1; i < count; ++i) {
            forwarder.send(pieces[i], 0, size);
            ++handedOver;
        }
        EXPECT_TRUE(forwarder.finish());
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_LE(static_cast<std::size_t>(handedOver.load()) * size, MCSForwarder::maxQueuedBytes + 2 * size)
        << "the sender ran ahead of a player that does not read";
    player.setReading(true);
    producer.join();
    EXPECT_EQ(handedOver.load(), count - 1);
    EXPECT_TRUE(player.received == expected);

    Player failing;
    failing.failAfter = 3 * size;
    MCSForwarder forwarder;
    forwarder.begin(failing);
    bool accepted = true;
    for (int i = 0; i < count && accepted; ++i)
        accepted = forwarder.send(pieces[i], 0, size);
    EXPECT_FALSE(forwarder.finish());
    EXPECT_FALSE(forwarder.send(pieces[0], 0, size));
    EXPECT_TRUE(failing.received == expected.substr(0, 3 * size));
}
