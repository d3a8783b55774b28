#include "app/MainController/Other/Tool/GCDTimer.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/DispatchSource.h"

GCDTimer& GCDTimer::shared()
{
    // Lives until the process ends, like the timers it holds.
    static const std::shared_ptr<GCDTimer> instance = create();
    return *instance;
}

std::shared_ptr<GCDTimer> GCDTimer::create()
{
    return std::make_shared<GCDTimer>(Passkey {});
}

GCDTimer::~GCDTimer()
{
    for (auto& [name, timer] : timerContainer)
        timer->cancel();
}

void GCDTimer::scheduledDispatchTimer(std::optional<std::string> name, double timeInterval, int milliseconds,
    DispatchQueue* queue, bool repeats, bool ignoreFirst, std::function<void()> action)
{
    if (!name)
        return;

    // The first fire comes at once; a one-shot timer skips it so that its action comes one
    // interval later. Only the main queue reads and writes the flag.
    auto skipNext = std::make_shared<bool>(ignoreFirst || !repeats);

    std::shared_ptr<DispatchSourceTimer>& timer = timerContainer[*name];
    if (!timer) {
        timer = DispatchSource::makeTimerSource(queue);
        timer->resume();
    }
    timer->schedule(DispatchTime::now(), timeInterval, milliseconds / 1000.0);

    auto shared = std::make_shared<const std::function<void()>>(std::move(action));
    std::weak_ptr<GCDTimer> registry = weak_from_this();
    timer->setEventHandler([skipNext, shared, repeats, registry, name = *name] {
        DispatchQueue::main().async([skipNext, shared, repeats, registry, name] {
            if (*skipNext) {
                *skipNext = false;
                return;
            }
            if (*shared)
                (*shared)();
            if (!repeats) {
                if (auto timers = registry.lock())
                    timers->cancelTimer(name);
            }
        });
    });
}

void GCDTimer::cancelTimer(std::optional<std::string_view> name)
{
    if (!name)
        return;
    auto found = timerContainer.find(*name);
    if (found == timerContainer.end())
        return;
    found->second->cancel();
    timerContainer.erase(found);
}

bool GCDTimer::isExistTimer(std::optional<std::string_view> name) const
{
    return name && timerContainer.contains(*name);
}
