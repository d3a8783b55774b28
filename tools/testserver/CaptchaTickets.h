#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <string>

namespace testserver {

// The one-time tickets of the captcha page: the page asks for one once its challenge is passed,
// and the account endpoints that the captcha guards take it. A ticket counts once, within its
// lifetime, and only together with the random string issued beside it. Only the newest maxKept
// issued are kept, so that a page asking in a loop cannot grow the server. Thread-safe.
class CaptchaTickets {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    static constexpr std::size_t maxKept = 256;
    static constexpr std::chrono::seconds lifetime { 300 };
    // Longer texts are no ticket of ours and are not looked up.
    static constexpr std::size_t maxTextBytes = 128;

    struct Ticket {
        std::string ticket;
        std::string randstr;
    };

    explicit CaptchaTickets(Clock clock = [] { return std::chrono::steady_clock::now(); });

    Ticket issue();
    // True once for a ticket issued here, with its random string, before it expired or was
    // pushed out by newer ones; a ticket shown with the wrong random string is used up too.
    bool take(const std::string& ticket, const std::string& randstr);
    // Tickets that could still be taken.
    std::size_t kept() const;

private:
    struct Issued {
        std::string randstr;
        std::chrono::steady_clock::time_point expires;
    };

public:
    // The tickets as they are, to be put back when what took one of them is undone (a change
    // the server could not keep gives back the ticket it used).
    struct Saved {
        std::map<std::string, Issued> issued;
        std::deque<std::string> order;
    };
    Saved save() const;
    void restore(Saved saved);

private:

    std::string randomText(std::size_t length); // with the lock held
    void dropStale(std::chrono::steady_clock::time_point now); // with the lock held

    Clock m_clock;
    mutable std::mutex m_mutex;
    std::map<std::string, Issued> m_issued;
    std::deque<std::string> m_order; // the newest issued, oldest first, taken ones too
    std::mt19937_64 m_random { std::random_device {}() };
};

}
