#include "platform/window/DeviceWindow.h"

#include "platform/dispatch/Clock.h"
#include "platform/ui/DisplayUpdates.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIView.h"
#include "platform/ui/controls/UIKeyInput.h"
#include "platform/window/Backlight.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <algorithm>
#include <cairo.h>
#include <climits>
#include <cmath>
#include <utility>

namespace {

// Points the content moves per notch of the wheel, about three rows of a list.
constexpr double wheelPoints = 48;
// Events handled per wait at most, so that a flood of them does not starve the run loop.
constexpr int eventsPerWait = 512;

std::string sdlError(const char* what)
{
    return std::string(what) + ": " + SDL_GetError();
}

CGSize screenPoints()
{
    return UIScreen::main().bounds().size;
}

}

std::unique_ptr<DeviceWindow> DeviceWindow::open(const DeviceWindowOptions& options, std::string* error)
{
    auto fail = [&](std::string reason) -> std::unique_ptr<DeviceWindow> {
        if (error)
            *error = std::move(reason);
        return nullptr;
    };
    // A click that focuses the window is a touch as well, and long compositions come whole.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_IME_SUPPORT_EXTENDED_TEXT, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // Frames are finished pictures: the window system's own framebuffer takes them, no GL.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return fail(sdlError("no display"));
    std::uint32_t wakeEvent = SDL_RegisterEvents(1);
    if (wakeEvent == static_cast<std::uint32_t>(-1)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return fail(sdlError("no event type for waking"));
    }

    double scale = options.scale.value_or(0);
    if (!options.scale) {
        SDL_Rect usable {};
        if (SDL_GetDisplayUsableBounds(0, &usable) != 0)
            usable = { 0, 0, 1280, 1024 };
        scale = WindowGeometry::fittingScale(screenPoints(), { double(usable.w), double(usable.h) });
    }
    if (!WindowGeometry::isUsableScale(scale)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return fail("the scale must lie within 0.25 and 3");
    }
    auto size = WindowGeometry::pixelSize(screenPoints(), scale);
    SDL_Window* window = SDL_CreateWindow(options.title.c_str(), SDL_WINDOWPOS_CENTERED,
        SDL_WINDOWPOS_CENTERED, size.width, size.height, SDL_WINDOW_SHOWN);
    if (!window) {
        std::string reason = sdlError("no window");
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return fail(reason);
    }
    SDL_DisplayMode mode {};
    int hertz = SDL_GetWindowDisplayMode(window, &mode) == 0 ? mode.refresh_rate : 0;
    SDL_StartTextInput();
    std::unique_ptr<DeviceWindow> shown(
        new DeviceWindow(window, scale, wakeEvent, FramePacer::frameIntervalForRate(hertz)));
    RunLoop::main().setWaiter(shown.get());
    return shown;
}

DeviceWindow::DeviceWindow(SDL_Window* window, double scale, std::uint32_t wakeEvent, double frameInterval)
    : m_window(window)
    , m_scale(scale)
    , m_size(WindowGeometry::pixelSize(screenPoints(), scale))
    , m_wakeEvent(wakeEvent)
    , m_pacer(frameInterval)
{ }

DeviceWindow::~DeviceWindow()
{
    // No thread may wake a window that is gone: the waker goes first, under the run loop's lock.
    if (RunLoop::main().waiter() == this)
        RunLoop::main().setWaiter(nullptr);
    m_input.pointerCancel();
    SDL_StopTextInput();
    SDL_DestroyWindow(m_window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

std::uint64_t DeviceWindow::nativeWindow() const
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(m_window, &info) || info.subsystem != SDL_SYSWM_X11)
        return 0;
    return static_cast<std::uint64_t>(info.info.x11.window);
}

CGPoint DeviceWindow::point(double x, double y) const
{
    return WindowGeometry::pointAt(x, y, m_scale);
}

// ---- Waiting ----

void DeviceWindow::wake()
{
    if (m_wakePending.exchange(true))
        return;
    SDL_Event event {};
    event.type = m_wakeEvent;
    SDL_PushEvent(&event);
}

void DeviceWindow::wait(std::optional<double> realDeadline)
{
    if (!m_closed) {
        m_pacer.update(DisplayUpdates::generation(), DisplayUpdates::takeAnimationFrameRequest());
        if (m_pacer.shouldDraw(Clock::realNow()))
            drawFrame();
    }
    double until = realDeadline.value_or(INFINITY);
    if (auto frame = m_pacer.nextFrameTime(); frame && !m_closed)
        until = std::min(until, *frame);
    int timeout = -1;
    if (std::isfinite(until)) {
        double milliseconds = std::ceil((until - Clock::realNow()) * 1000);
        timeout = static_cast<int>(std::clamp(milliseconds, 0.0, double(INT_MAX / 2)));
    }
    SDL_Event event;
    if (!SDL_WaitEventTimeout(&event, timeout))
        return;
    handle(event);
    for (int count = 1; count < eventsPerWait && SDL_PollEvent(&event); ++count)
        handle(event);
    flushMotion();
}

// ---- Events ----

void DeviceWindow::flushMotion()
{
    if (auto motion = std::exchange(m_pendingMotion, std::nullopt))
        m_input.pointerMove(*motion);
}

void DeviceWindow::handle(const SDL_Event& event)
{
    if (event.type == m_wakeEvent) {
        m_wakePending = false;
        return;
    }
    if (event.type != SDL_MOUSEMOTION)
        flushMotion();
    if (m_closed)
        return;
    switch (event.type) {
    case SDL_QUIT:
        close();
        break;
    case SDL_WINDOWEVENT:
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            close();
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            present();
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            m_pacer.invalidate();
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            m_input.pointerCancel();
            m_controlHeld = false;
            break;
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT && event.button.which != SDL_TOUCH_MOUSEID)
            m_input.pointerDown(point(event.button.x, event.button.y), m_controlHeld);
        break;
    case SDL_MOUSEMOTION:
        if (m_input.isPressed())
            m_pendingMotion = point(event.motion.x, event.motion.y);
        break;
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT && event.button.which != SDL_TOUCH_MOUSEID)
            m_input.pointerUp(point(event.button.x, event.button.y));
        break;
    case SDL_MOUSEWHEEL: {
        int x = 0;
        int y = 0;
        SDL_GetMouseState(&x, &y);
        double sign = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1;
        // Up the wheel is back towards the start of the content.
        m_input.wheel(point(x, y),
            { sign * event.wheel.preciseX * wheelPoints, -sign * event.wheel.preciseY * wheelPoints });
        break;
    }
    case SDL_TEXTINPUT:
        m_input.text(event.text.text);
        break;
    case SDL_TEXTEDITING:
        m_input.composition(event.edit.text);
        break;
    case SDL_TEXTEDITING_EXT:
        m_input.composition(event.editExt.text ? event.editExt.text : "");
        SDL_free(event.editExt.text);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        // Followed event by event: the keyboard's state now may be ahead of the queue.
        m_controlHeld = (event.key.keysym.mod & KMOD_CTRL) != 0;
        if (event.key.keysym.sym == SDLK_LCTRL || event.key.keysym.sym == SDLK_RCTRL)
            m_controlHeld = event.type == SDL_KEYDOWN;
        if (event.type == SDL_KEYDOWN)
            handleKey(event);
        break;
    }
}

void DeviceWindow::handleKey(const SDL_Event& event)
{
    SDL_Keycode key = event.key.keysym.sym;
    bool control = (event.key.keysym.mod & KMOD_CTRL) != 0;
    if (control && key == SDLK_r && !event.key.repeat)
        m_input.key(WindowKey::rotate);
    else if (control && key == SDLK_d && !event.key.repeat)
        m_input.key(WindowKey::toggleStyle);
    else if ((key == SDLK_ESCAPE || key == SDLK_AC_BACK) && !event.key.repeat)
        m_input.key(WindowKey::back);
    else if (key == SDLK_RETURN || key == SDLK_KP_ENTER)
        m_input.key(WindowKey::returnKey);
    else if (key == SDLK_BACKSPACE)
        m_input.key(WindowKey::deleteBackward);
}

void DeviceWindow::close()
{
    if (m_closed)
        return;
    m_closed = true;
    m_input.pointerCancel();
    SDL_HideWindow(m_window);
    if (auto handler = m_closeHandler)
        handler();
}

// ---- Drawing ----

bool DeviceWindow::drawIfNeeded()
{
    if (m_closed)
        return false;
    m_pacer.update(DisplayUpdates::generation(), DisplayUpdates::takeAnimationFrameRequest());
    if (!m_pacer.wantsFrame())
        return false;
    drawFrame();
    return true;
}

void DeviceWindow::followScreenSize()
{
    auto size = WindowGeometry::pixelSize(screenPoints(), m_scale);
    if (size == m_size)
        return;
    m_size = size;
    SDL_SetWindowSize(m_window, size.width, size.height);
    // Turned, the window stays on the display.
    SDL_SetWindowPosition(m_window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

void DeviceWindow::drawFrame()
{
    m_input.applyStyle();
    followScreenSize();
    UIImage frame = Renderer::renderScreen(m_scale);
    // Changes made while drawing (layout) are in this frame.
    m_pacer.didDraw(Clock::realNow(), DisplayUpdates::generation());
    m_pacer.update(DisplayUpdates::generation(), DisplayUpdates::takeAnimationFrameRequest());
    cairo_surface_t* pixels = frame.cairoSurface();
    SDL_Surface* target = SDL_GetWindowSurface(m_window);
    if (!pixels || !target)
        return;
    cairo_surface_flush(pixels);
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(cairo_image_surface_get_data(pixels),
        cairo_image_surface_get_width(pixels), cairo_image_surface_get_height(pixels), 32,
        cairo_image_surface_get_stride(pixels), SDL_PIXELFORMAT_RGB888);
    if (!source)
        return;
    // The backlight dims what the window presents; the frame itself stays as drawn.
    std::uint8_t light = Backlight::channelModulation(UIScreen::main().brightness());
    SDL_SetSurfaceColorMod(source, light, light, light);
    // Whatever the frame leaves of a larger window (the desktop may size it) is black.
    if (target->w > source->w || target->h > source->h)
        SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
    SDL_BlitSurface(source, nullptr, target, nullptr);
    SDL_FreeSurface(source);
    m_drawn = true;
    present();
    placeInputMethod();
}

void DeviceWindow::placeInputMethod()
{
    // An input method shows its candidates next to the text being typed.
    auto view = std::dynamic_pointer_cast<UIView>(UIResponder::currentFirstResponder());
    if (!view || !dynamic_cast<UIKeyInput*>(view.get()))
        return;
    CGRect frame = view->convert(view->bounds(), nullptr);
    std::array<int, 4> placed { static_cast<int>(frame.minX() * m_scale),
        static_cast<int>(frame.minY() * m_scale), static_cast<int>(frame.width() * m_scale),
        static_cast<int>(frame.height() * m_scale) };
    if (m_inputRect == placed)
        return;
    m_inputRect = placed;
    SDL_Rect rect { placed[0], placed[1], placed[2], placed[3] };
    SDL_SetTextInputRect(&rect);
}

void DeviceWindow::present()
{
    if (!m_drawn) {
        m_pacer.invalidate();
        return;
    }
    SDL_UpdateWindowSurface(m_window);
}
