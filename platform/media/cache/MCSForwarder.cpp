#include "platform/media/cache/MCSForwarder.h"

#include "platform/media/cache/MCSReadThrough.h"

MCSForwarder& MCSForwarder::forThisThread()
{
    static thread_local MCSForwarder forwarder;
    return forwarder;
}

MCSForwarder::~MCSForwarder()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void MCSForwarder::begin(MCSResourceOutput& output)
{
    finish();
    std::lock_guard lock(m_mutex);
    m_output = &output;
    m_failed = false;
    m_started = false;
}

bool MCSForwarder::send(std::shared_ptr<const Data> buffer, std::size_t offset, std::size_t size)
{
    // Taken here: the buffer's own fields may change while its first bytes go out.
    const std::uint8_t* bytes = buffer->data() + offset;
    std::unique_lock lock(m_mutex);
    if (m_failed || !m_output)
        return false;
    if (size == 0)
        return true;
    if (!m_started) {
        // Nothing is queued before an answer's first bytes: they go out in order.
        m_started = true;
        MCSResourceOutput* output = m_output;
        lock.unlock();
        bool sent = output->write(bytes, size);
        lock.lock();
        m_failed = m_failed || !sent;
        return sent;
    }
    // A piece that continues the last one of the same buffer goes out with it.
    if (!m_queue.empty() && m_queue.back().owner == buffer
        && m_queue.back().bytes + m_queue.back().size == bytes)
        m_queue.back().size += size;
    else
        m_queue.push_back({ std::move(buffer), bytes, size });
    m_queuedBytes += size;
    if (!m_thread.joinable())
        m_thread = std::thread([this] { run(); });
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return m_queuedBytes <= maxQueuedBytes || m_failed; });
    return !m_failed;
}

bool MCSForwarder::finish()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queue.empty() && !m_sending; });
    return !m_failed;
}

void MCSForwarder::run()
{
    std::unique_lock lock(m_mutex);
    while (true) {
        m_changed.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_queue.empty())
            return;
        Piece piece = std::move(m_queue.front());
        m_queue.pop_front();
        MCSResourceOutput* output = m_output;
        bool skip = m_failed;
        m_sending = true;
        lock.unlock();
        bool sent = skip || output->write(piece.bytes, piece.size);
        piece.owner.reset();
        lock.lock();
        m_sending = false;
        m_queuedBytes -= piece.size;
        if (!sent)
            m_failed = true;
        m_changed.notify_all();
    }
}
