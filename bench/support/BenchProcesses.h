#pragma once

// Other processes that benchmarks start: programs with their output dropped, and an X server of
// the program's own for goals that draw in windows or web pages.

#include <string>
#include <sys/types.h>
#include <vector>

namespace zvbench {

// Starts the program (looked up on PATH) with the environment; its output goes to /dev/null and
// pipes stay inherited. The process id, or -1 when it does not start.
pid_t spawn(std::vector<std::string> arguments, const std::vector<std::string>& environment);
// The program's own environment, as "NAME=value" entries.
std::vector<std::string> currentEnvironment();
// SIGTERM, five seconds' grace, then SIGKILL; reaps the process.
void endProcess(pid_t pid);

// Xvfb on a display number it picks; DISPLAY points at it from then on. The first call decides
// the screen ("3840x2160x24"); the program ends with a message when Xvfb does not start.
class VirtualDisplay {
public:
    static VirtualDisplay& shared(const std::string& screen);
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

private:
    explicit VirtualDisplay(const std::string& screen);
    pid_t m_pid = -1;
};

}
