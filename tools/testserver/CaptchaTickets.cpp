#include "tools/testserver/CaptchaTickets.h"

namespace testserver {

CaptchaTickets::CaptchaTickets(Clock clock)
    : m_clock(std::move(clock))
{ }

CaptchaTickets::Ticket CaptchaTickets::issue()
{
    std::lock_guard lock(m_mutex);
    auto now = m_clock();
    dropStale(now);
    Ticket issued;
    // 32 random letters and digits: a ticket cannot be guessed. Each is appended to its mark: GCC 12
    // at -O3 takes a literal put before a temporary string for an overlapping copy.
    do
        issued.ticket = std::string("t").append(randomText(32));
    while (m_issued.contains(issued.ticket));
    issued.randstr = std::string("@").append(randomText(6));
    m_issued[issued.ticket] = { issued.randstr, now + lifetime };
    m_order.push_back(issued.ticket);
    while (m_order.size() > maxKept) {
        m_issued.erase(m_order.front());
        m_order.pop_front();
    }
    return issued;
}

bool CaptchaTickets::take(const std::string& ticket, const std::string& randstr)
{
    if (ticket.empty() || ticket.size() > maxTextBytes || randstr.size() > maxTextBytes)
        return false;
    std::lock_guard lock(m_mutex);
    dropStale(m_clock());
    auto it = m_issued.find(ticket);
    if (it == m_issued.end())
        return false;
    // Shown once, right or wrong: a second guess at the random string gets nothing.
    bool matches = it->second.randstr == randstr;
    m_issued.erase(it);
    return matches;
}

std::size_t CaptchaTickets::kept() const
{
    std::lock_guard lock(m_mutex);
    auto now = m_clock();
    std::size_t count = 0;
    for (const auto& [ticket, issued] : m_issued)
        count += now < issued.expires ? 1 : 0;
    return count;
}

CaptchaTickets::Saved CaptchaTickets::save() const
{
    std::lock_guard lock(m_mutex);
    return { m_issued, m_order };
}

void CaptchaTickets::restore(Saved saved)
{
    std::lock_guard lock(m_mutex);
    m_issued = std::move(saved.issued);
    m_order = std::move(saved.order);
}

std::string CaptchaTickets::randomText(std::size_t length)
{
    static constexpr char alphabet[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::uniform_int_distribution<std::size_t> pick(0, sizeof(alphabet) - 2);
    std::string text;
    for (std::size_t i = 0; i < length; ++i)
        text += alphabet[pick(m_random)];
    return text;
}

void CaptchaTickets::dropStale(std::chrono::steady_clock::time_point now)
{
    // Every ticket lives as long, so the expired ones are the oldest.
    while (!m_order.empty()) {
        auto it = m_issued.find(m_order.front());
        if (it != m_issued.end() && now < it->second.expires)
            break;
        if (it != m_issued.end())
            m_issued.erase(it);
        m_order.pop_front();
    }
}

}
