#pragma once

#include "platform/foundation/Data.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

class MCSResourceOutput;

// Sends bytes of filled buffers to a resource output on a thread of its own, in the order they
// are given, so that one thread takes bytes from the origin while another passes them on: on
// loopback, sending costs as much as receiving. Each thread that reads through has one
// (forThisThread()); an answer's sending ends with finish(), after which the output is the
// caller's again.
class MCSForwarder {
public:
    // Bytes on their way at most: a player that reads slowly (or has paused) holds back the
    // origin, as it would without the forwarder, instead of the memory filling up.
    static constexpr std::size_t maxQueuedBytes = 2 * 1024 * 1024;

    static MCSForwarder& forThisThread();

    MCSForwarder() = default;
    ~MCSForwarder();
    MCSForwarder(const MCSForwarder&) = delete;
    MCSForwarder& operator=(const MCSForwarder&) = delete;

    // The output of the sends that follow.
    void begin(MCSResourceOutput& output);
    // Queues `size` bytes of `buffer` from `offset`; false once a send has failed. Bytes past
    // those may still be added to the buffer meanwhile, as long as it keeps its memory. The first
    // bytes of an answer go out at once, from the caller's thread: the player waits for them.
    // Waits while more than maxQueuedBytes are on their way.
    bool send(std::shared_ptr<const Data> buffer, std::size_t offset, std::size_t size);
    // Waits until everything queued went out; false when a send failed.
    bool finish();

private:
    struct Piece {
        std::shared_ptr<const Data> owner;
        const std::uint8_t* bytes;
        std::size_t size;
    };
    void run();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Piece> m_queue;
    std::size_t m_queuedBytes = 0; // in the queue and being sent
    MCSResourceOutput* m_output = nullptr;
    bool m_sending = false;
    bool m_started = false; // the answer's first bytes went out
    bool m_failed = false;
    bool m_stopping = false;
    std::thread m_thread;
};
