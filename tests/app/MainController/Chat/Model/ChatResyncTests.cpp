// Where the chat page asks for newer messages around a new connection: each case is a run of
// events with the sync that each one asks for (or none), and the gap left open at the end.

#include "app/MainController/Chat/Model/ChatResync.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Seq = std::optional<std::int64_t>;

struct Event {
    enum Kind { open, history, subscribed, pulled, page, push } kind;
    // open: the newest known; history: asked after; pulled, page: the newest listed; push: its seq.
    Seq seq;
    // page: its last seq; history, page: whether more is left.
    Seq last = std::nullopt;
    bool more = false;
    // What the event asks for at once.
    Seq asks = std::nullopt;
};

Event opened(Seq newestKnown)
{
    return { Event::open, newestKnown };
}
Event history(Seq askedAfter, bool more)
{
    return { Event::history, askedAfter, std::nullopt, more };
}
Event subscribedAsking(Seq asks)
{
    return { Event::subscribed, std::nullopt, std::nullopt, false, asks };
}
Event pulledAsking(Seq listed, Seq asks)
{
    return { Event::pulled, listed, std::nullopt, false, asks };
}
Event page(Seq last, bool more, Seq listed, Seq asks = std::nullopt)
{
    return { Event::page, listed, last, more, asks };
}
Event push(std::int64_t seq, Seq asks = std::nullopt)
{
    return { Event::push, seq, std::nullopt, false, asks };
}

struct Case {
    std::string name;
    std::vector<Event> events;
    Seq gapAtEnd;
};

std::string text(Seq seq)
{
    return seq ? std::to_string(*seq) : "none";
}

}

TEST(ChatResync, AsksFromTheNewestKnownBeforeTheConnectionWhateverItPushes)
{
    const std::vector<Case> cases {
        { "two missed during the outage, 4391 pushed before the subscription reply",
            { opened(4388), subscribedAsking(4388), page(4391, false, 4391) }, std::nullopt },
        { "a push ahead of a sync of several pages: the gap before it is asked for at once",
            { opened(4388), subscribedAsking(4388), page(4408, true, 4414, 4408), page(4414, false, 4414) },
            std::nullopt },
        { "a long outage and no push: the rest waits for a pull, from where the pages ended",
            { opened(4388), subscribedAsking(4388), page(4408, true, 4408), pulledAsking(4408, 4408),
                page(4428, false, 4428) },
            std::nullopt },
        { "a live push beyond an open gap asks for it once, then page after page",
            { opened(4388), subscribedAsking(4388), page(4408, true, 4408), push(4500, 4408), push(4501),
                page(4428, true, 4501, 4428), page(4448, false, 4501) },
            std::nullopt },
        { "a pull while the gap is open starts at the gap, not at the push listed last",
            { opened(4388), subscribedAsking(4388), page(4408, true, 4408), push(4500, 4408),
                page(4428, true, 4500, 4428), pulledAsking(4500, 4428) },
            4428 },
        { "nothing known before the connection: no resync; a pull starts at the list's end",
            { opened(std::nullopt), subscribedAsking(std::nullopt), push(4391), pulledAsking(4391, 4391) },
            std::nullopt },
        { "a connection lost in the middle of a gap: the next one starts where the gap began",
            { opened(4388), subscribedAsking(4388), opened(4391), subscribedAsking(4388),
                page(4391, false, 4391) },
            std::nullopt },
        { "a page that brings nothing newer is not asked for again",
            { opened(4388), subscribedAsking(4388), page(std::nullopt, true, 4400), page(4388, true, 4400),
                push(4401, 4388) },
            4388 },
        { "a closed gap: pulls start at the list's end again",
            { opened(4388), subscribedAsking(4388), page(4391, false, 4391), pulledAsking(4391, 4391),
                push(4392) },
            std::nullopt },
        { "the history holding more than one reply leaves a gap from the stored newest",
            { history(4387, true), opened(4430), subscribedAsking(4387), page(4407, true, 4430, 4407),
                page(4427, true, 4430, 4427), page(4430, false, 4430) },
            std::nullopt },
        { "the first history, with nothing stored, leaves older messages, not a gap",
            { history(std::nullopt, true), opened(4387), subscribedAsking(4387) }, 4387 },
    };
    for (const Case& c : cases) {
        ChatResync resync;
        for (std::size_t i = 0; i < c.events.size(); ++i) {
            const Event& event = c.events[i];
            Seq asked;
            switch (event.kind) {
            case Event::open:
                resync.connectionOpened(event.seq);
                break;
            case Event::history:
                resync.historyReceived(event.seq, event.more);
                break;
            case Event::subscribed:
                asked = resync.subscribed();
                break;
            case Event::pulled:
                asked = resync.pulled(event.seq);
                break;
            case Event::page:
                asked = resync.pageReceived(event.last, event.more, event.seq);
                break;
            case Event::push:
                asked = resync.pushReceived(*event.seq);
                break;
            }
            EXPECT_EQ(asked, event.asks) << c.name << ", event " << i << ": asks " << text(asked);
        }
        EXPECT_EQ(resync.gapFrom(), c.gapAtEnd) << c.name << ": gap from " << text(resync.gapFrom());
    }
}
