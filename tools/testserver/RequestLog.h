#pragma once

#include <cstddef>
#include <deque>
#include <vector>

namespace testserver {

// How much of what arrived the server keeps: a run that goes on for days, or a client that sends
// large bodies, must not grow it without end. The oldest entries go first.
struct RecordLimits {
    std::size_t entries = 1000;
    std::size_t bytes = 64 * 1024 * 1024; // of bodies and targets
};

// The newest entries within the limits. Not thread-safe: its owner locks.
template<class Entry> class RequestLog {
public:
    void setLimits(RecordLimits limits)
    {
        m_limits = limits;
        trim();
    }

    void add(Entry entry, std::size_t bytes)
    {
        m_entries.push_back({ std::move(entry), bytes });
        m_bytes += bytes;
        trim();
    }

    std::vector<Entry> entries() const
    {
        std::vector<Entry> copy;
        copy.reserve(m_entries.size());
        for (const Item& item : m_entries)
            copy.push_back(item.entry);
        return copy;
    }

    void clear()
    {
        m_entries.clear();
        m_bytes = 0;
    }

private:
    struct Item {
        Entry entry;
        std::size_t bytes;
    };

    void trim()
    {
        // The newest entry stays even when it alone is over the byte limit.
        while (m_entries.size() > 1 && (m_entries.size() > m_limits.entries || m_bytes > m_limits.bytes)) {
            m_bytes -= m_entries.front().bytes;
            m_entries.pop_front();
        }
        if (m_limits.entries == 0)
            clear();
    }

    RecordLimits m_limits;
    std::deque<Item> m_entries;
    std::size_t m_bytes = 0;
};

}
