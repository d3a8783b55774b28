#pragma once

#include "platform/ui/web/WebEngineInterface.h"
#include "platform/webkit/InputMethod.h"

#include <gtk/gtk.h>
#include <memory>
#include <string>
#include <webkit2/webkit2.h>

namespace webkitengine {

class WebKitEngine;

// One page: a WebKitWebView in an offscreen GTK window at the view's size in device pixels (the
// page zoomed by the device scale, so that CSS pixels are the view's points). What the window
// shows is handed to the client whenever GTK reports it damaged, and nothing is drawn while the
// page is still. Touches arrive as the mouse's left button, typing through the input method.
class WebKitPage final : public webengine::Page, private EditingListener {
public:
    WebKitPage(WebKitEngine& engine, webengine::PageClient& client, const webengine::PageOptions& options);
    ~WebKitPage() override;

    void resize(double width, double height, double scale) override;
    void load(const std::string& url, const std::string& trustedCAFile) override;
    void stop() override;
    void pointer(webengine::PointerPhase phase, double x, double y) override;
    void scroll(double x, double y, double dx, double dy) override;
    void insertText(const std::string& text) override;
    void key(webengine::Key key) override;
    void evaluate(const std::string& script,
        std::function<void(std::optional<std::string> json, std::string error)> completion) override;
    void terminateProcess() override;

private:
    struct Evaluation;

    void editingChanged(bool editing) override;

    // GTK and WebKit signals (user data: the page).
    static void loadChanged(WebKitWebView*, WebKitLoadEvent event, WebKitPage* page);
    static gboolean loadFailed(
        WebKitWebView*, WebKitLoadEvent, const char* uri, GError* error, WebKitPage* page);
    static gboolean loadFailedWithTLSErrors(WebKitWebView*, const char* uri, GTlsCertificate* certificate,
        GTlsCertificateFlags errors, WebKitPage* page);
    static gboolean decidePolicy(
        WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type, WebKitPage* page);
    static gboolean scriptDialog(WebKitWebView*, WebKitScriptDialog* dialog, WebKitPage* page);
    static void closeRequested(WebKitWebView*, WebKitPage* page);
    static void titleChanged(GObject*, GParamSpec*, WebKitPage* page);
    static void responsivenessChanged(GObject*, GParamSpec*, WebKitPage* page);
    static void processTerminated(WebKitWebView*, WebKitWebProcessTerminationReason reason, WebKitPage* page);
    static gboolean permissionRequested(WebKitWebView*, WebKitPermissionRequest* request, WebKitPage*);
    static gboolean damaged(GtkWidget*, GdkEventExpose* event, WebKitPage* page);
    static gboolean paintFrame(gpointer page);

    void fail(const webengine::Failure& failure);
    // Whether the load may be started again (the engine dropped it, or refused a certificate the
    // configured authorities trust); counts the attempt.
    bool mayStartAgain();
    void startAgain(std::string url);
    // Fetches the certificate of the host of a dropped https load and judges it as the engine
    // would: refused, or loaded again (allowed first when the configured authorities trust it).
    void judgeCertificateOf(std::string url);
    // Asks the page for its shown text; `settle`: once it has drawn its next frames, then paints
    // once more and tells the client the page is drawn.
    void refreshText(bool settle);
    // Sends a synthesized event to the web view (takes ownership of it).
    void send(GdkEvent* event);
    GdkEvent* pointerEvent(GdkEventType type, double x, double y);

    WebKitEngine& m_engine;
    webengine::PageClient& m_client;
    bool m_bridge;
    // Cleared when the page goes: signals running at that moment stop touching it.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);

    GtkWidget* m_window = nullptr;
    WebKitWebView* m_view = nullptr;
    WebKitInputMethodContext* m_input = nullptr;
    GCancellable* m_cancellable = nullptr;

    double m_scale = 1;
    int m_pixelWidth = 0;
    int m_pixelHeight = 0;
    guint m_frameSource = 0;
    cairo_rectangle_int_t m_damage {};
    cairo_surface_t* m_frame = nullptr;

    // The load under way: its address, the authorities it may trust, and how it is going.
    std::string m_url;
    std::string m_trustedCAFile;
    unsigned long m_load = 0;
    bool m_loading = false;
    // A load was asked for and the engine has not started it yet.
    bool m_awaitingStart = false;
    bool m_failed = false;
    // The load's main resource answered: only then is its end a page.
    bool m_committed = false;
    // The address of the navigation the engine was last asked to make (ours or the page's own).
    std::string m_navigationURL;
    // How often the load was started again.
    int m_retries = 0;
    // The address to load again once the refused or dropped load has finished.
    std::string m_retryURL;
    bool m_endingUnresponsive = false;
    // Why the engine was told not to show the reply, if it was.
    std::string m_refusedContent;

    bool m_pressed = false;
    double m_pointerX = 0;
    double m_pointerY = 0;

    bool m_textInFlight = false;
    bool m_textStale = false;
    bool m_settleWanted = false;
    bool m_drawAfterSettle = false;
    unsigned long m_textGeneration = 0;
    std::string m_text;
};

}
