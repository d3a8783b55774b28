#pragma once

#include <functional>

// Ending the process from the application (the ad-free restart, say). By default the process
// exits with the status. A host that runs the application inside itself (the headless device)
// takes the ending over, so that it can still tell how its run went; the call then returns, and
// the caller returns right after it as if the process had gone.
class ProcessExit {
public:
    // Main thread.
    static void exit(int status);

    // Routes later endings to the handler instead of exiting; an empty function restores exiting.
    static void setHandler(std::function<void(int status)> handler);
};
