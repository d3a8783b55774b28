#pragma once

#include <sys/resource.h>

namespace zvtest {

// While it lives, every write that would grow a regular file fails as a full disk's would (the
// process's file size limit is 0: write() answers EFBIG instead of raising SIGXFSZ), for every
// thread of the process. Pipes and terminals are not files, so the test's own output still goes
// out. The limit and the signal's handling are put back as they were at its end.
class FullDisk {
public:
    FullDisk();
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    // False when the limit could not be set (the test cannot make a write fail).
    bool active() const { return m_active; }

private:
    struct rlimit m_previous { };
    void (*m_previousHandler)(int) = nullptr;
    bool m_active = false;
};

}
