#pragma once

#include "platform/ui/UIImage.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace zvtest {

// An X server of the test program's own (Debian's xvfb, 1280x1024, 24 bits) for tests that open
// windows, with xdotool acting on it as a person would. Started on first use and stopped when the
// program ends; DISPLAY points at it from then on, so that windows opened later appear there.
class XvfbDisplay {
public:
    // The display, or nullptr with the reason (for GTEST_SKIP) when xvfb or xdotool is missing
    // or the server does not start.
    static XvfbDisplay* shared(std::string* whyNot);

    const std::string& name() const { return m_name; }

    // Runs xdotool with the arguments and waits for it (it only sends events, so the window's
    // loop takes them afterwards); true when it succeeded.
    bool xdotool(const std::vector<std::string>& arguments) const;
    // A press and release of the left button at a pixel of the window.
    bool click(std::uint64_t window, int x, int y) const;
    // Types the text into the window under the pointer (moved into the window first).
    bool type(std::uint64_t window, const std::string& text) const;
    bool key(std::uint64_t window, const std::string& keyName) const;

    // The window's pixels as the X server shows them; none when they cannot be read.
    std::optional<UIImage> capture(std::uint64_t window) const;
    // What a desktop's close button does: WM_DELETE_WINDOW to the window.
    bool requestClose(std::uint64_t window) const;

    ~XvfbDisplay();

private:
    XvfbDisplay() = default;
    bool start(std::string* whyNot);

    int m_pid = -1;
    std::string m_name;
};

// Compares two pictures of the same screen at different pixel densities: `image` is scaled to the
// size of `reference`; they match when the mean difference per channel stays below
// `meanTolerance` (0...255) and at most `outlierShare` of the pixels differ by more than 64 in a
// channel (text and edges land on other pixels at another scale).
::testing::AssertionResult picturesMatch(
    const UIImage& reference, const UIImage& image, double meanTolerance = 6, double outlierShare = 0.03);

}
