#include "bench/support/BenchProcesses.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <iostream>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace zvbench {

namespace {

[[noreturn]] void fail(const std::string& why)
{
    std::cerr << "bench display: " << why << "\n";
    std::exit(2);
}

}

pid_t spawn(std::vector<std::string> arguments, const std::vector<std::string>& environment)
{
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<std::string> entries = environment;
    std::vector<char*> envp;
    for (auto& entry : entries)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    // The pipe of Xvfb's -displayfd stays open in the child: pipes are inherited.
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : -1;
}

std::vector<std::string> currentEnvironment()
{
    std::vector<std::string> entries;
    for (char** entry = environ; *entry; ++entry)
        entries.emplace_back(*entry);
    return entries;
}

void endProcess(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
}

VirtualDisplay::VirtualDisplay(const std::string& screen)
{
    int ends[2];
    if (pipe(ends) != 0)
        fail("no pipe");
    std::vector<std::string> arguments
        = { "Xvfb", "-displayfd", std::to_string(ends[1]), "-screen", "0", screen, "-nolisten", "tcp" };
    m_pid = spawn(arguments, currentEnvironment());
    close(ends[1]);
    if (m_pid <= 0)
        fail("Xvfb does not start (Debian's xvfb)");
    std::string number;
    pollfd ready { ends[0], POLLIN, 0 };
    while (number.find('\n') == std::string::npos && poll(&ready, 1, 10000) > 0) {
        char buffer[32];
        ssize_t got = read(ends[0], buffer, sizeof buffer);
        if (got <= 0)
            break;
        number.append(buffer, static_cast<std::size_t>(got));
    }
    close(ends[0]);
    while (!number.empty() && (number.back() == '\n' || number.back() == '\r'))
        number.pop_back();
    if (number.empty())
        fail("Xvfb reported no display");
    ::setenv("DISPLAY", (":" + number).c_str(), 1);
}

VirtualDisplay::~VirtualDisplay()
{
    endProcess(m_pid);
}

VirtualDisplay& VirtualDisplay::shared(const std::string& screen)
{
    static VirtualDisplay display(screen);
    return display;
}

}
