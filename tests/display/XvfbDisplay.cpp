#include "tests/display/XvfbDisplay.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace zvtest {

namespace {

bool onPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::string paths = path ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= paths.size();) {
        std::size_t end = paths.find(':', start);
        if (end == std::string::npos)
            end = paths.size();
        std::string candidate = paths.substr(start, end - start) + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

// Runs the program with its output dropped; its exit status, -1 when it did not run.
int runProgram(std::vector<std::string> arguments)
{
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayConnection = std::unique_ptr<Display, DisplayCloser>;

// A request about a window that went away or moved is an answer of "no", not the end of the
// test program (Xlib's default handler exits).
int ignoreError(Display*, XErrorEvent*)
{
    return 0;
}

DisplayConnection connect(const std::string& name)
{
    XSetErrorHandler(ignoreError);
    return DisplayConnection(XOpenDisplay(name.c_str()));
}

// Stops the server when the test program ends.
class DisplayEnvironment : public ::testing::Environment {
public:
    explicit DisplayEnvironment(std::unique_ptr<XvfbDisplay>* display)
        : m_display(display)
    { }
    void TearDown() override { m_display->reset(); }

private:
    std::unique_ptr<XvfbDisplay>* m_display;
};

}

XvfbDisplay* XvfbDisplay::shared(std::string* whyNot)
{
    static std::unique_ptr<XvfbDisplay> display;
    static std::string failure;
    static bool tried = false;
    if (!tried) {
        tried = true;
        if (!onPath("Xvfb"))
            failure = "Xvfb is not installed (Debian's xvfb)";
        else if (!onPath("xdotool"))
            failure = "xdotool is not installed";
        else {
            display.reset(new XvfbDisplay);
            if (!display->start(&failure))
                display.reset();
            else
                ::testing::AddGlobalTestEnvironment(new DisplayEnvironment(&display));
        }
    }
    if (!display && whyNot)
        *whyNot = failure;
    return display.get();
}

bool XvfbDisplay::start(std::string* whyNot)
{
    // Xvfb picks a free display number and writes it into the pipe once it listens.
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        *whyNot = "no pipe for Xvfb";
        return false;
    }
    std::string fd = std::to_string(pipeEnds[1]);
    std::vector<std::string> arguments
        = { "Xvfb", "-displayfd", fd, "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset" };
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    // Nothing of the test program's output stays open in the server: a reader of that output
    // (a pipe) ends with the program even when the server outlives a program that crashed.
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int spawned = posix_spawnp(&pid, "Xvfb", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        close(pipeEnds[0]);
        *whyNot = "Xvfb does not start";
        return false;
    }
    m_pid = pid;
    std::string number;
    pollfd ready { pipeEnds[0], POLLIN, 0 };
    while (number.find('\n') == std::string::npos && poll(&ready, 1, 10000) > 0) {
        char buffer[32];
        ssize_t got = read(pipeEnds[0], buffer, sizeof buffer);
        if (got <= 0)
            break;
        number.append(buffer, static_cast<std::size_t>(got));
    }
    close(pipeEnds[0]);
    while (!number.empty() && (number.back() == '\n' || number.back() == '\r'))
        number.pop_back();
    if (number.empty()) {
        *whyNot = "Xvfb did not report its display";
        return false;
    }
    m_name = ":" + number;
    ::setenv("DISPLAY", m_name.c_str(), 1);
    return true;
}

XvfbDisplay::~XvfbDisplay()
{
    if (m_pid <= 0)
        return;
    kill(m_pid, SIGTERM);
    int status = 0;
    while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) { }
}

bool XvfbDisplay::xdotool(const std::vector<std::string>& arguments) const
{
    std::vector<std::string> command = { "xdotool" };
    command.insert(command.end(), arguments.begin(), arguments.end());
    return runProgram(command) == 0;
}

bool XvfbDisplay::click(std::uint64_t window, int x, int y) const
{
    return xdotool({ "mousemove", "--window", std::to_string(window), std::to_string(x), std::to_string(y),
        "click", "1" });
}

bool XvfbDisplay::type(std::uint64_t window, const std::string& text) const
{
    return xdotool({ "type", "--window", std::to_string(window), "--delay", "20", text });
}

bool XvfbDisplay::key(std::uint64_t window, const std::string& keyName) const
{
    return xdotool({ "key", "--window", std::to_string(window), keyName });
}

std::optional<UIImage> XvfbDisplay::capture(std::uint64_t window) const
{
    auto display = connect(m_name);
    if (!display || !window)
        return std::nullopt;
    XWindowAttributes attributes {};
    if (!XGetWindowAttributes(display.get(), window, &attributes) || attributes.map_state != IsViewable)
        return std::nullopt;
    XImage* image
        = XGetImage(display.get(), window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (!image)
        return std::nullopt;
    cairo_surface_t* surface
        = cairo_image_surface_create(CAIRO_FORMAT_RGB24, attributes.width, attributes.height);
    unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < attributes.height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < attributes.width; ++x) {
            unsigned long pixel = XGetPixel(image, x, y);
            auto channel = [&](unsigned long mask) {
                if (!mask)
                    return 0u;
                int shift = __builtin_ctzl(mask);
                unsigned long top = mask >> shift;
                return static_cast<unsigned>(((pixel & mask) >> shift) * 255 / top);
            };
            row[x] = (channel(image->red_mask) << 16) | (channel(image->green_mask) << 8)
                | channel(image->blue_mask);
        }
    }
    XDestroyImage(image);
    cairo_surface_mark_dirty(surface);
    UIImage result = UIImage::fromSurface(surface);
    cairo_surface_destroy(surface);
    return result;
}

bool XvfbDisplay::requestClose(std::uint64_t window) const
{
    auto display = connect(m_name);
    if (!display || !window)
        return false;
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display.get(), "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display.get(), "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    bool sent = XSendEvent(display.get(), window, False, NoEventMask, &event) != 0;
    XSync(display.get(), False);
    return sent;
}

::testing::AssertionResult picturesMatch(
    const UIImage& reference, const UIImage& image, double meanTolerance, double outlierShare)
{
    cairo_surface_t* wanted = reference.cairoSurface();
    cairo_surface_t* source = image.cairoSurface();
    if (!wanted || !source)
        return ::testing::AssertionFailure() << "an empty picture";
    int width = cairo_image_surface_get_width(wanted);
    int height = cairo_image_surface_get_height(wanted);
    int sourceWidth = cairo_image_surface_get_width(source);
    int sourceHeight = cairo_image_surface_get_height(source);
    double sx = double(width) / sourceWidth;
    double sy = double(height) / sourceHeight;
    if (std::abs(sx - sy) > 0.02)
        return ::testing::AssertionFailure() << "the pictures differ in shape: " << width << "x" << height
                                             << " and " << sourceWidth << "x" << sourceHeight;
    cairo_surface_t* scaled = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(scaled);
    cairo_scale(cr, sx, sy);
    cairo_set_source_surface(cr, source, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(scaled);
    cairo_surface_flush(wanted);

    auto* a = cairo_image_surface_get_data(wanted);
    auto* b = cairo_image_surface_get_data(scaled);
    int strideA = cairo_image_surface_get_stride(wanted);
    int strideB = cairo_image_surface_get_stride(scaled);
    double total = 0;
    long outliers = 0;
    for (int y = 0; y < height; ++y) {
        auto* rowA = reinterpret_cast<const std::uint32_t*>(a + static_cast<std::ptrdiff_t>(y) * strideA);
        auto* rowB = reinterpret_cast<const std::uint32_t*>(b + static_cast<std::ptrdiff_t>(y) * strideB);
        for (int x = 0; x < width; ++x) {
            int worst = 0;
            for (int shift : { 0, 8, 16 }) {
                int difference = std::abs(int((rowA[x] >> shift) & 0xff) - int((rowB[x] >> shift) & 0xff));
                total += difference;
                worst = std::max(worst, difference);
            }
            if (worst > 64)
                ++outliers;
        }
    }
    cairo_surface_destroy(scaled);
    double pixels = double(width) * height;
    double mean = total / (pixels * 3);
    double share = outliers / pixels;
    if (mean <= meanTolerance && share <= outlierShare)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
        << "mean difference " << mean << " per channel (at most " << meanTolerance << "), " << share * 100
        << "% of pixels far off (at most " << outlierShare * 100 << "%)";
}

}
