#pragma once

#include "platform/dispatch/RunLoop.h"
#include "platform/window/FramePacer.h"
#include "platform/window/WindowGeometry.h"
#include "platform/window/WindowInput.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

struct SDL_Window;
union SDL_Event;

struct DeviceWindowOptions {
    std::string title = "Zentavo";
    // Pixels per point; none: the largest that fits the display (WindowGeometry::fittingScale).
    std::optional<double> scale;
};

// The device's screen in a window of the desktop (SDL2), drawn by the same renderer as the
// headless screenshots, at one scale. It is the main run loop's waiter (RunLoop::setWaiter) while
// it is open: the main thread sleeps in the window's event queue, and work posted by any thread
// wakes it, so an idle app takes no processor time. Before each wait it draws a frame when
// something changed (DisplayUpdates) or a drawing asked for the next frame, at most at the
// display's rate. Events become touches, scrolling and typing through WindowInput:
//   left button           a finger; with Ctrl held, two fingers mirrored about the screen's centre
//   wheel                 scrolls the content under the pointer (a paging view turns a page)
//   typing, input methods text into the first responder (compositions shown as marked text)
//   Return, Backspace     the keyboard's return and delete keys
//   Escape                back          Ctrl+R  turn the phone     Ctrl+D  light / dark
// The window follows the screen's orientation, and presents each frame darkened by the screen's
// brightness (Backlight); screenshots stay as drawn. Closing it (or SIGINT/SIGTERM) calls the close
// handler once; the window hides at once. Real clock, main thread; one window at a time.
class DeviceWindow final : public RunLoopWaiter {
public:
    // Opens the window over the screen as it stands; nullptr with the reason when there is no
    // display or no window can be made.
    static std::unique_ptr<DeviceWindow> open(const DeviceWindowOptions& options, std::string* error);
    ~DeviceWindow() override;
    DeviceWindow(const DeviceWindow&) = delete;
    DeviceWindow& operator=(const DeviceWindow&) = delete;

    // RunLoopWaiter: draws when due, then sleeps in the event queue until an event, a wake or
    // the deadline, and handles what came.
    void wait(std::optional<double> realDeadline) override;
    void wake() override;

    // Told once when the person closes the window.
    void setCloseHandler(std::function<void()> handler) { m_closeHandler = std::move(handler); }
    // Closes the window as the person does: it hides and the close handler is told. Once.
    void close();
    bool isClosed() const { return m_closed; }

    double scale() const { return m_scale; }
    WindowGeometry::PixelSize pixelSize() const { return m_size; }
    WindowInput& input() { return m_input; }
    const FramePacer& pacer() const { return m_pacer; }
    // The X11 window (0 under another video driver), for tests that look at the screen.
    std::uint64_t nativeWindow() const;

    // Draws a frame now if anything is to be drawn, whatever the pace; true when one was drawn.
    bool drawIfNeeded();

private:
    DeviceWindow(SDL_Window* window, double scale, std::uint32_t wakeEvent, double frameInterval);
    void handle(const SDL_Event& event);
    void handleKey(const SDL_Event& event);
    void flushMotion();
    void drawFrame();
    void present();
    void followScreenSize();
    void placeInputMethod();
    CGPoint point(double x, double y) const;

    SDL_Window* m_window;
    double m_scale;
    WindowGeometry::PixelSize m_size;
    std::uint32_t m_wakeEvent;
    std::atomic<bool> m_wakePending { false };
    FramePacer m_pacer;
    WindowInput m_input;
    std::function<void()> m_closeHandler;
    bool m_closed = false;
    bool m_drawn = false;
    bool m_controlHeld = false;
    // Where the input method was last told the text is (x, y, width, height in pixels).
    std::optional<std::array<int, 4>> m_inputRect;
    // Motion of the pressed pointer not yet delivered: within one batch of events only the last
    // position counts, so a fast drag costs one move per batch.
    std::optional<CGPoint> m_pendingMotion;
};
