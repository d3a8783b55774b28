#include "tests/support/HelperProcess.h"

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace zvtest {

HelperProcess::HelperProcess()
{
    // No file actions: the descriptors go over as they are.
    char program[] = "sleep";
    char duration[] = "600";
    char* argv[] = { program, duration, nullptr };
    pid_t pid = -1;
    if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) == 0)
        m_pid = pid;
}

HelperProcess::~HelperProcess()
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGKILL);
    int status = 0;
    ::waitpid(m_pid, &status, 0);
}

}
