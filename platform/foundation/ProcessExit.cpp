#include "platform/foundation/ProcessExit.h"

#include <cstdlib>
#include <utility>

namespace {

std::function<void(int)>& handler()
{
    static std::function<void(int)> current;
    return current;
}

}

void ProcessExit::exit(int status)
{
    // A copy: the handler may replace itself.
    if (auto current = handler()) {
        current(status);
        return;
    }
    std::exit(status);
}

void ProcessExit::setHandler(std::function<void(int status)> handler)
{
    ::handler() = std::move(handler);
}
