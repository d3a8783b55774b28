#pragma once

#include "platform/ui/web/WebEngineInterface.h"
#include "platform/webkit/ContextPump.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>
#include <webkit2/webkit2.h>

namespace webkitengine {

// The engine of the process: GTK started on the main thread, one ephemeral web context (nothing
// of the pages is kept on disk) whose helper processes end with the program, and the pump that
// runs GLib's main context from the program's own loop. Made once, never destroyed.
class WebKitEngine final : public webengine::Engine {
public:
    static WebKitEngine* start(const webengine::EngineOptions& options, std::string& error);

    std::unique_ptr<webengine::Page> makePage(
        webengine::PageClient& client, const webengine::PageOptions& options) override;
    void pump() override;

    WebKitWebContext* context() const { return m_context; }
    // The engine takes this certificate for this host from now on, whatever it finds wrong with it.
    void allowCertificate(GTlsCertificate* certificate, const std::string& host);
    // Whether the engine takes the certificate for the host: the system's authorities find it
    // valid, or it was allowed.
    bool acceptsCertificate(GTlsCertificate* certificate, const std::string& host) const;
    // The prompt messages of the script bridge start with this (made at random per process).
    const std::string& bridgeTag() const { return m_bridgeTag; }
    void log(const std::string& line) const;

private:
    explicit WebKitEngine(const webengine::EngineOptions& options);

    webengine::EngineOptions m_options;
    ContextPump* m_pump = nullptr;
    WebKitWebContext* m_context = nullptr;
    std::string m_bridgeTag;
    struct Unref {
        void operator()(GTlsCertificate* certificate) const { g_object_unref(certificate); }
    };
    // What the context was told to allow (it tells nobody), for the life of the process as there.
    std::vector<std::pair<std::string, std::unique_ptr<GTlsCertificate, Unref>>> m_allowedCertificates;
};

}
