#include "platform/media/MPVLibrary.h"

#include "platform/foundation/Log.h"

#include <atomic>
#include <dlfcn.h>
#include <string>
#include <thread>

namespace {

std::string loaderError()
{
    const char* error = ::dlerror();
    return error ? error : "unknown error";
}

// The library whose interface the headers describe: its major version is the client API's.
std::string libraryName()
{
    return "libmpv.so." + std::to_string(MPV_CLIENT_API_VERSION >> 16);
}

// ALSA, which libmpv brings, writes its errors to the standard error itself: a dozen lines for
// each try of a machine without a sound card. The player says in one line of its own whether
// sound works, so ALSA's own report is left out.
void quietALSA(const char*, int, const char*, int, const char*, ...)
{ }

void silenceALSAErrors()
{
    void* alsa = ::dlopen("libasound.so.2", RTLD_NOW | RTLD_NOLOAD);
    if (!alsa)
        return;
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    if (auto set = reinterpret_cast<int (*)(Handler)>(::dlsym(alsa, "snd_lib_error_set_handler")))
        set(&quietALSA);
    ::dlclose(alsa);
}

const MPVLibrary* load()
{
    // Local symbols: nothing else in the process binds to FFmpeg's or libmpv's names by accident.
    void* handle = ::dlopen(libraryName().c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        handle = ::dlopen("libmpv.so", RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        Log::write("player: libmpv does not load: " + loaderError());
        return nullptr;
    }
    static MPVLibrary library;
    bool complete = true;
#define ZV_MPV_RESOLVE(name)                                                                                 \
    library.name = reinterpret_cast<decltype(library.name)>(::dlsym(handle, "mpv_" #name));                  \
    if (!library.name) {                                                                                     \
        Log::write("player: libmpv lacks mpv_" #name);                                                       \
        complete = false;                                                                                    \
    }
    ZV_MPV_FUNCTIONS(ZV_MPV_RESOLVE)
#undef ZV_MPV_RESOLVE
    silenceALSAErrors();
    // The handle stays open: libmpv's threads may outlive any one player.
    return complete ? &library : nullptr;
}

}

const MPVLibrary* MPVLibrary::get()
{
    static const MPVLibrary* const library = load();
    return library;
}

void MPVLibrary::loadInBackground()
{
    static std::atomic<bool> started { false };
    if (started.exchange(true))
        return;
    std::thread([] { get(); }).detach();
}
