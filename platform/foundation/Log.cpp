#include "platform/foundation/Log.h"

#include "platform/foundation/Date.h"
#include "platform/foundation/DateFormatter.h"

#include <memory>
#include <mutex>
#include <string>
#include <unistd.h>

namespace {

using Sink = std::function<void(std::string_view)>;

std::mutex& sinkMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<const Sink>& currentSink()
{
    static std::shared_ptr<const Sink> sink;
    return sink;
}

void writeToStderr(std::string_view line)
{
    static const DateFormatter stamp("yyyy-MM-dd HH:mm:ss.SSS");
    std::string text = stamp.stringFromDate(Date::now());
    text += ' ';
    text += line;
    text += '\n';
    // One write per line keeps lines from different threads whole.
    const char* cursor = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        ssize_t written = ::write(STDERR_FILENO, cursor, left);
        if (written <= 0)
            return;
        cursor += written;
        left -= static_cast<std::size_t>(written);
    }
}

}

void Log::write(std::string_view line)
{
    std::shared_ptr<const Sink> sink;
    {
        std::lock_guard lock(sinkMutex());
        sink = currentSink();
    }
    // The sink runs outside the lock so that it may log or swap sinks itself.
    if (sink)
        (*sink)(line);
    else
        writeToStderr(line);
}

void Log::setSink(std::function<void(std::string_view)> sink)
{
    std::lock_guard lock(sinkMutex());
    if (sink)
        currentSink() = std::make_shared<const Sink>(std::move(sink));
    else
        currentSink().reset();
}
