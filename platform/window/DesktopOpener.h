#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// Hands the addresses that the application opens outside itself to the desktop's opener
// (`xdg-open`, which starts the person's browser). Only absolute http and https addresses go:
// anything else could make the desktop start a program. The opener is spawned without a shell,
// the address as its one argument, in a process group of its own (stopping the application does
// not stop the browser), and not waited for: openers that have ended are collected at the next
// open and when this object goes, and one that failed is logged then. Main thread.
class DesktopOpener {
public:
    static constexpr std::size_t maximumURLLength = 8192;

    // `program`: the opener's name (found on the PATH) or path.
    explicit DesktopOpener(std::string program = "xdg-open");
    ~DesktopOpener();
    DesktopOpener(const DesktopOpener&) = delete;
    DesktopOpener& operator=(const DesktopOpener&) = delete;

    // Starts the opener with the address; false, with a line on the log, when the address is
    // refused or the opener cannot start.
    bool open(const std::string& url);
    // Openers started and not yet collected.
    std::size_t pendingCount() const { return m_children.size(); }
    // Collects the openers that have ended, without waiting.
    void collect();

private:
    struct Child {
        pid_t pid;
        std::string url;
    };

    std::string m_program;
    std::vector<Child> m_children;
};
