#include "platform/webkit/WebKitEngine.h"

#include "platform/webkit/CertificateCheck.h"
#include "platform/webkit/WebKitPage.h"

#include <gtk/gtk.h>
#include <random>

namespace webkitengine {

namespace {

// Whether bubblewrap, which WebKit puts its web processes in, can make its namespaces here; the
// reason otherwise. A container may forbid them (no user namespaces for an unprivileged user,
// or seccomp rules that refuse unshare), and a web process would then die at every start.
bool sandboxCanRun(std::string& why)
{
    gchar* program = g_find_program_in_path("bwrap");
    if (!program) {
        why = "bubblewrap (bwrap) is not installed";
        return false;
    }
    const gchar* arguments[] = { program, "--ro-bind", "/", "/", "--dev", "/dev", "--proc", "/proc",
        "--unshare-pid", "--unshare-ipc", "--unshare-uts", "--unshare-net", "--unshare-user-try",
        "--die-with-parent", "true", nullptr };
    gchar* errors = nullptr;
    gint status = 0;
    GError* error = nullptr;
    bool ran = g_spawn_sync(nullptr, const_cast<gchar**>(arguments), nullptr, G_SPAWN_STDOUT_TO_DEV_NULL,
        nullptr, nullptr, nullptr, &errors, &status, &error);
    g_free(program);
    bool works = ran && g_spawn_check_wait_status(status, nullptr);
    if (!works) {
        std::string text = error ? error->message : errors ? errors : "";
        while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
            text.pop_back();
        why = "bubblewrap cannot make the sandbox's namespaces here"
            + (text.empty() ? std::string() : " (" + text + ")");
    }
    g_clear_error(&error);
    g_free(errors);
    return works;
}

std::string randomTag()
{
    std::random_device device;
    std::uniform_int_distribution<int> digit(0, 35);
    std::string tag = "zv-bridge-";
    for (int i = 0; i < 24; ++i) {
        int d = digit(device);
        tag += static_cast<char>(d < 10 ? '0' + d : 'a' + d - 10);
    }
    return tag + ":";
}

}

WebKitEngine::WebKitEngine(const webengine::EngineOptions& options)
    : m_options(options)
    , m_bridgeTag(randomTag())
{ }

WebKitEngine* WebKitEngine::start(const webengine::EngineOptions& options, std::string& error)
{
    // GTK only hosts offscreen pages here, which no assistive technology can reach: neither GTK
    // nor the pages' processes look for an accessibility bus (a sandboxed page process would
    // otherwise warn at every start that it finds none).
    g_setenv("NO_AT_BRIDGE", "1", FALSE);
    g_setenv("WEBKIT_A11Y_BUS_ADDRESS", "", FALSE);
    // Pages are painted by the processor into offscreen windows: no GPU buffers are shared, so the
    // engine does not open the graphics driver (EGL) for them at all.
    g_setenv("WEBKIT_DISABLE_DMABUF_RENDERER", "1", FALSE);
    if (!gtk_init_check(nullptr, nullptr)) {
        const char* display = g_getenv("DISPLAY");
        error = display && *display ? std::string("GTK cannot open the display ") + display
                                    : "no display for the web engine (DISPLAY is not set)";
        return nullptr;
    }
    // Made once for the life of the process, as its threads and GTK's state are.
    static WebKitEngine* engine = nullptr;
    if (engine)
        return engine;
    engine = new WebKitEngine(options);
    engine->m_pump = new ContextPump(options.wake);

    // Ephemeral: cookies, caches and storage of the pages stay in memory and go with the process.
    engine->m_context = webkit_web_context_new_ephemeral();
    webkit_web_context_set_cache_model(engine->m_context, WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
    WebKitWebsiteDataManager* data = webkit_web_context_get_website_data_manager(engine->m_context);
    webkit_website_data_manager_set_tls_errors_policy(data, WEBKIT_TLS_ERRORS_POLICY_FAIL);
    std::string why;
    if (sandboxCanRun(why)) {
        webkit_web_context_set_sandbox_enabled(engine->m_context, TRUE);
    } else {
        engine->log("web engine: pages run without the sandbox: " + why);
    }
    return engine;
}

std::unique_ptr<webengine::Page> WebKitEngine::makePage(
    webengine::PageClient& client, const webengine::PageOptions& options)
{
    return std::make_unique<WebKitPage>(*this, client, options);
}

void WebKitEngine::pump()
{
    m_pump->pump();
}

void WebKitEngine::allowCertificate(GTlsCertificate* certificate, const std::string& host)
{
    webkit_web_context_allow_tls_certificate_for_host(m_context, certificate, host.c_str());
    if (!acceptsCertificate(certificate, host))
        m_allowedCertificates.emplace_back(
            host, std::unique_ptr<GTlsCertificate, Unref>(G_TLS_CERTIFICATE(g_object_ref(certificate))));
}

bool WebKitEngine::acceptsCertificate(GTlsCertificate* certificate, const std::string& host) const
{
    for (const auto& [allowedHost, allowed] : m_allowedCertificates) {
        if (allowedHost == host && g_tls_certificate_is_same(allowed.get(), certificate))
            return true;
    }
    return certificateIsTrustedBySystem(certificate, host);
}

void WebKitEngine::log(const std::string& line) const
{
    if (m_options.log)
        m_options.log(line);
}

}

extern "C" __attribute__((visibility("default"))) webengine::Engine* zvWebEngineStart(
    int version, const webengine::EngineOptions& options, std::string& error)
{
    if (version != webengine::interfaceVersion) {
        error = "the web engine module speaks interface " + std::to_string(webengine::interfaceVersion)
            + ", the program " + std::to_string(version);
        return nullptr;
    }
    return webkitengine::WebKitEngine::start(options, error);
}
