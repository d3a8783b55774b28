#pragma once

#include <mpv/client.h>
#include <mpv/render.h>

// libmpv, loaded once a player is made rather than with the program: it brings FFmpeg and some
// two hundred libraries behind it, whose loading and relocation would otherwise hold up every
// start and stay resident in processes that never play.
//
// The entry points are those of <mpv/client.h> and <mpv/render.h>, under their own names
// without the "mpv_" prefix. Loaded once, kept for the life of the process.
struct MPVLibrary {
#define ZV_MPV_FUNCTIONS(X)                                                                                  \
    X(create)                                                                                                \
    X(initialize)                                                                                            \
    X(terminate_destroy)                                                                                     \
    X(set_option_string)                                                                                     \
    X(error_string)                                                                                          \
    X(request_log_messages)                                                                                  \
    X(set_property)                                                                                          \
    X(set_property_string)                                                                                   \
    X(get_property)                                                                                          \
    X(get_property_string)                                                                                   \
    X(observe_property)                                                                                      \
    X(free)                                                                                                  \
    X(free_node_contents)                                                                                    \
    X(command)                                                                                               \
    X(command_ret)                                                                                           \
    X(wait_event)                                                                                            \
    X(set_wakeup_callback)                                                                                   \
    X(render_context_create)                                                                                 \
    X(render_context_free)                                                                                   \
    X(render_context_set_update_callback)                                                                    \
    X(render_context_update)                                                                                 \
    X(render_context_render)

#define ZV_MPV_MEMBER(name) decltype(&::mpv_##name) name = nullptr;
    ZV_MPV_FUNCTIONS(ZV_MPV_MEMBER)
#undef ZV_MPV_MEMBER

    // The loaded library, or nullptr (logged once) when it or one of its entry points is missing.
    // Thread-safe; the first call pays for the loading.
    static const MPVLibrary* get();
    // Starts loading it on a thread of its own, so that a player about to play finds it loaded.
    static void loadInBackground();
};
