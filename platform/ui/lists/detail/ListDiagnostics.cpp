#include "platform/ui/lists/detail/ListDiagnostics.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>

namespace detail {

void listFatalError(const std::string& message)
{
    std::fprintf(stderr, "Fatal error: %s\n", message.c_str());
    std::fflush(stderr);
    std::abort();
}

void listWarning(const std::string& message)
{
    static std::mutex mutex;
    static std::set<std::string> reported;
    std::lock_guard lock(mutex);
    if (!reported.insert(message).second)
        return;
    std::fprintf(stderr, "%s\n", message.c_str());
}

}
