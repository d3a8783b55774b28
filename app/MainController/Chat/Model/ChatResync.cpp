#include "app/MainController/Chat/Model/ChatResync.h"

#include <algorithm>

void ChatResync::connectionOpened(std::optional<std::int64_t> newestKnown)
{
    m_asking = false;
    if (!m_gapFrom)
        m_gapFrom = newestKnown;
}

void ChatResync::historyReceived(std::optional<std::int64_t> askedAfter, bool hasMore)
{
    // Without a seq the history is the newest page: what it leaves is older, not missing.
    if (!askedAfter || !hasMore)
        return;
    m_gapFrom = m_gapFrom ? std::min(*m_gapFrom, *askedAfter) : *askedAfter;
}

std::optional<std::int64_t> ChatResync::subscribed()
{
    // Not from what is listed now: a push may have come on this connection already.
    return ask(m_gapFrom);
}

std::optional<std::int64_t> ChatResync::pulled(std::optional<std::int64_t> newestListed)
{
    return ask(m_gapFrom ? m_gapFrom : newestListed);
}

std::optional<std::int64_t> ChatResync::pageReceived(
    std::optional<std::int64_t> lastInPage, bool hasMore, std::optional<std::int64_t> newestListed)
{
    m_asking = false;
    if (!m_gapFrom)
        return std::nullopt;
    if (!hasMore) {
        m_gapFrom.reset();
        return std::nullopt;
    }
    // A page that brings nothing newer would be asked for again and again.
    if (!lastInPage || *lastInPage <= *m_gapFrom)
        return std::nullopt;
    m_gapFrom = *lastInPage;
    if (newestListed && *newestListed > *m_gapFrom)
        return ask(m_gapFrom);
    return std::nullopt;
}

std::optional<std::int64_t> ChatResync::pushReceived(std::int64_t seq)
{
    if (!m_gapFrom || m_asking || seq <= *m_gapFrom)
        return std::nullopt;
    return ask(m_gapFrom);
}

std::optional<std::int64_t> ChatResync::ask(std::optional<std::int64_t> from)
{
    if (from)
        m_asking = true;
    return from;
}
