#pragma once

#include "platform/foundation/NSError.h"

#include <functional>
#include <optional>

// A prefetch of the start of a media address into the playback cache. Its callbacks run on the
// main queue; none runs after cancel().
class MCSPrefetchTask {
public:
    using Progress = std::function<void(float)>; // fraction 0 to 1 of the preload size
    using Completion = std::function<void(const std::optional<NSError>&)>; // no error: done

    virtual ~MCSPrefetchTask() = default;
    virtual void cancel() = 0;
    virtual bool isCancelled() const = 0;
};
