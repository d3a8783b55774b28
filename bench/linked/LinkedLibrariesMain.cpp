// A program that links what the app links and does nothing: the resident memory of the shared
// libraries alone, the floor under the app's own. Says "ready" on its output, then waits to be
// ended.

#include <cstdio>
#include <unistd.h>

int main()
{
    std::fputs("r", stdout);
    std::fflush(stdout);
    while (true)
        ::pause();
}
