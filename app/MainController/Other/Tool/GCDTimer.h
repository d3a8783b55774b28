#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class DispatchQueue;
class DispatchSourceTimer;

// Timers known by name: scheduling again under a name re-arms that timer (with the new action)
// instead of starting a second one, and the name cancels it. Timers are dispatch timer sources;
// their actions always run on the main queue. The registry itself is main-thread only.
class GCDTimer : public std::enable_shared_from_this<GCDTimer> {
    struct Passkey {
        explicit Passkey() = default;
    };

public:
    // The process-wide registry, created on first use and kept for the whole run.
    static GCDTimer& shared();

    // A registry of its own (tests); its timers stop when it goes.
    static std::shared_ptr<GCDTimer> create();
    ~GCDTimer();
    GCDTimer(const GCDTimer&) = delete;
    GCDTimer& operator=(const GCDTimer&) = delete;

    // Arms the timer `name` to fire now and then every `timeInterval` seconds, with a leeway of
    // `milliseconds`. A new timer's source runs on `queue` (none: the global queue); a timer
    // already registered keeps its queue. Each fire runs `action` on the main queue, except that
    // the first fire is skipped when `ignoreFirst` is set or the timer does not repeat; a timer
    // that does not repeat cancels itself after its action, so it runs once, one interval after
    // scheduling. No name: nothing happens.
    void scheduledDispatchTimer(std::optional<std::string> name, double timeInterval, int milliseconds,
        DispatchQueue* queue, bool repeats, bool ignoreFirst, std::function<void()> action);

    // Stops and forgets the timer; unknown or missing names are ignored.
    void cancelTimer(std::optional<std::string_view> name);

    bool isExistTimer(std::optional<std::string_view> name) const;

    explicit GCDTimer(Passkey) { }

private:
    std::map<std::string, std::shared_ptr<DispatchSourceTimer>, std::less<>> timerContainer;
};
