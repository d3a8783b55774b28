#include "tests/support/FullDisk.h"

#include <csignal>

namespace zvtest {

FullDisk::FullDisk()
{
    if (::getrlimit(RLIMIT_FSIZE, &m_previous) != 0)
        return;
    m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit none = m_previous;
    none.rlim_cur = 0;
    m_active = ::setrlimit(RLIMIT_FSIZE, &none) == 0;
    if (!m_active)
        std::signal(SIGXFSZ, m_previousHandler);
}

FullDisk::~FullDisk()
{
    if (!m_active)
        return;
    ::setrlimit(RLIMIT_FSIZE, &m_previous);
    std::signal(SIGXFSZ, m_previousHandler);
}

}
