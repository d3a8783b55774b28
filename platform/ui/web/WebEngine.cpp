#include "platform/ui/web/WebEngine.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/Log.h"

#include <cstdlib>
#include <dlfcn.h>

namespace {

struct Started {
    webengine::Engine* engine = nullptr;
    std::string failure;
};

std::string modulePath()
{
    if (const char* path = std::getenv("ZV_WEBENGINE_MODULE"); path && *path)
        return path;
    return ZV_WEBENGINE_MODULE;
}

Started start()
{
    // Without a display GTK cannot start: the module and its hundreds of libraries are not even
    // loaded, so a program without one pays nothing for a page it cannot show.
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!display || !*display) && (!wayland || !*wayland))
        return { nullptr, "the web engine does not start: no display (DISPLAY is not set)" };
    std::string path = modulePath();
    // Local symbols: GTK's and WebKit's names stay out of the program's own.
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* error = ::dlerror();
        return { nullptr, "the web engine module does not load: " + std::string(error ? error : path) };
    }
    auto startFunction
        = reinterpret_cast<webengine::StartFunction>(::dlsym(handle, webengine::startFunctionName));
    if (!startFunction)
        return { nullptr, path + " is not a web engine module" };
    webengine::EngineOptions options;
    options.wake = [] {
        DispatchQueue::main().async([] {
            if (auto* engine = WebEngine::shared())
                engine->pump();
        });
    };
    options.log = [](const std::string& line) { Log::write(line); };
    std::string error;
    // The handle stays open: the engine's threads and helper processes live as long as the program.
    webengine::Engine* engine = startFunction(webengine::interfaceVersion, options, error);
    if (!engine)
        return { nullptr, "the web engine does not start: " + error };
    // The first turn hands the engine's watcher something to watch; wakes follow from there.
    engine->pump();
    return { engine, {} };
}

struct State {
    bool tried = false;
    Started started;
    // The display of the last attempt: a program that gets one later (a test that starts its own
    // X server) tries again.
    std::string display;
};

State& state()
{
    static State state;
    return state;
}

std::string currentDisplay()
{
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return std::string(display ? display : "") + "|" + (wayland ? wayland : "");
}

}

webengine::Engine* WebEngine::shared(std::string* whyNot)
{
    State& s = state();
    if (!s.started.engine && (!s.tried || s.display != currentDisplay())) {
        s.tried = true;
        s.display = currentDisplay();
        s.started = start();
        if (!s.started.engine)
            Log::write(s.started.failure);
    }
    if (!s.started.engine && whyNot)
        *whyNot = s.started.failure;
    return s.started.engine;
}
