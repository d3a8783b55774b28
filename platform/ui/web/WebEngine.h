#pragma once

#include "platform/ui/web/WebEngineInterface.h"

#include <string>

// The web engine of the process, as the web views reach it: the module (platform/webkit) loaded
// and started when the first page is made, and its event loop run from the main run loop (a
// wake from the engine's watcher posts a pump to the main queue). Programs that show no page
// never load it, and so none of GTK's or WebKit's libraries. It needs a display (DISPLAY or
// WAYLAND_DISPLAY); without one the module is not loaded at all.
// Main thread only.
class WebEngine {
public:
    // The engine, started on first use; nullptr (and the reason, logged once) when the module is
    // missing or cannot start. Without a display it is tried again once DISPLAY names another.
    // The module is looked for at ZV_WEBENGINE_MODULE, else where the build put it.
    static webengine::Engine* shared(std::string* whyNot = nullptr);
};
