#pragma once

#include <functional>
#include <string_view>

// The console log. Lines go to stderr with a local time stamp, unless a sink captures them.
class Log {
public:
    // Thread-safe; the line is passed to the sink without time stamp.
    static void write(std::string_view line);

    // Routes every later line to the sink instead of stderr; an empty function restores stderr.
    static void setSink(std::function<void(std::string_view)> sink);
};
