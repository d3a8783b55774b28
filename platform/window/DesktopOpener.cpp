#include "platform/window/DesktopOpener.h"

#include "platform/foundation/Log.h"
#include "platform/net/AbsoluteURL.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

void logLine(const std::string& text)
{
    Log::write("desktop: " + text);
}

// The spawn's settings, released whatever happens.
class SpawnSettings {
public:
    SpawnSettings()
    {
        m_ready = posix_spawn_file_actions_init(&m_actions) == 0;
        m_ready = posix_spawnattr_init(&m_attributes) == 0 && m_ready;
    }
    ~SpawnSettings()
    {
        posix_spawn_file_actions_destroy(&m_actions);
        posix_spawnattr_destroy(&m_attributes);
    }
    SpawnSettings(const SpawnSettings&) = delete;
    SpawnSettings& operator=(const SpawnSettings&) = delete;

    // Nothing to read, nothing written into the application's own output; default signals, none
    // blocked; a process group of its own.
    bool prepare()
    {
        if (!m_ready)
            return false;
        sigset_t none;
        sigset_t defaults;
        sigemptyset(&none);
        sigemptyset(&defaults);
        for (int signal : { SIGINT, SIGTERM, SIGPIPE, SIGCHLD, SIGHUP })
            sigaddset(&defaults, signal);
        return posix_spawn_file_actions_addopen(&m_actions, 0, "/dev/null", O_RDONLY, 0) == 0
            && posix_spawn_file_actions_addopen(&m_actions, 1, "/dev/null", O_WRONLY, 0) == 0
            && posix_spawn_file_actions_addopen(&m_actions, 2, "/dev/null", O_WRONLY, 0) == 0
            && posix_spawnattr_setsigmask(&m_attributes, &none) == 0
            && posix_spawnattr_setsigdefault(&m_attributes, &defaults) == 0
            && posix_spawnattr_setpgroup(&m_attributes, 0) == 0
            && posix_spawnattr_setflags(
                   &m_attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP)
            == 0;
    }

    const posix_spawn_file_actions_t* actions() const { return &m_actions; }
    const posix_spawnattr_t* attributes() const { return &m_attributes; }

private:
    posix_spawn_file_actions_t m_actions {};
    posix_spawnattr_t m_attributes {};
    bool m_ready = false;
};

}

DesktopOpener::DesktopOpener(std::string program)
    : m_program(std::move(program))
{ }

DesktopOpener::~DesktopOpener()
{
    // Those still running are left to the system once the application ends.
    collect();
}

bool DesktopOpener::open(const std::string& url)
{
    collect();
    if (url.size() > maximumURLLength || !isAbsoluteURL(url, { "http", "https" })) {
        logLine("not opened outside the app: only http and https addresses are handed to the desktop ("
            + std::to_string(url.size()) + " bytes refused)");
        return false;
    }
    SpawnSettings settings;
    if (!settings.prepare()) {
        logLine("cannot start " + m_program + " for " + url + ": " + std::strerror(errno));
        return false;
    }
    std::string program = m_program;
    std::string argument = url;
    char* argv[] = { program.data(), argument.data(), nullptr };
    pid_t pid = 0;
    if (int error
        = posix_spawnp(&pid, program.c_str(), settings.actions(), settings.attributes(), argv, environ);
        error != 0) {
        logLine("cannot start " + m_program + " for " + url + ": " + std::strerror(error));
        return false;
    }
    m_children.push_back({ pid, url });
    logLine("opened " + url + " with " + m_program);
    return true;
}

void DesktopOpener::collect()
{
    std::erase_if(m_children, [&](const Child& child) {
        int status = 0;
        pid_t done = waitpid(child.pid, &status, WNOHANG);
        if (done == 0)
            return false;
        if (done < 0)
            return true; // not ours to wait for any more
        if (WIFEXITED(status) && WEXITSTATUS(status) == 127)
            logLine(m_program + " is not installed: " + child.url + " was not opened");
        else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            logLine(m_program + " could not open " + child.url + " (status "
                + std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status)) + ")");
        return true;
    });
}
