#pragma once

#include <sys/types.h>

namespace zvtest {

// A process started as the web engine starts its helpers: it inherits every descriptor of the
// program that is not close-on-exec, and keeps it until the object goes (it is killed then).
class HelperProcess {
public:
    HelperProcess();
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    bool running() const { return m_pid > 0; }

private:
    pid_t m_pid = -1;
};

}
