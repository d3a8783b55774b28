#include "platform/webkit/WebKitPage.h"

#include "platform/webkit/CertificateCheck.h"
#include "platform/webkit/PageScripts.h"
#include "platform/webkit/ServerCertificate.h"
#include "platform/webkit/WebKitEngine.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace webkitengine {

namespace {

using webengine::Failure;
using webengine::FailureKind;

// The largest page surface: views are at most a screen, and a screen at most this at its scale.
constexpr int maxPixelsPerSide = 8192;
// How often one load is started again before its failure is told: the engine may refuse a
// certificate just allowed while the allowance is still on its way to its network process, or
// drop a load nobody stopped.
constexpr int maxRetries = 4;
// The page's text as the view keeps it for finding words on screen.
constexpr unsigned maxTextCharacters = 20000;
// The device pixels that the engine scrolls a view of that extent by for one wheel step (its
// rule for smooth scrolling); the view's deltas are in points.
double pixelsPerWheelStep(int viewPixels)
{
    return std::max(1.0, std::pow(static_cast<double>(viewPixels), 2.0 / 3.0));
}

std::string domainOf(const GError* error)
{
    return g_quark_to_string(error->domain);
}

// What the engine's load error means for the view.
Failure failureOf(const GError* error)
{
    std::string domain = domainOf(error);
    Failure failure { FailureKind::other, error->message ? error->message : domain };
    if (g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED)
        || g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED))
        failure.kind = FailureKind::cancelled;
    else if (g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_UNKNOWN_PROTOCOL)
        || g_error_matches(error, WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_CANNOT_SHOW_URI)
        || g_error_matches(error, WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_CANNOT_USE_RESTRICTED_PORT)
        || domain == "WebKitInternal")
        failure.kind = FailureKind::badURL;
    else if (error->domain == WEBKIT_POLICY_ERROR)
        failure.kind = FailureKind::unsupportedContent;
    else if (domain == "g-resolver-error-quark")
        failure.kind = FailureKind::cannotFindHost;
    else if (domain == "g-tls-error-quark")
        failure.kind = FailureKind::secureConnectionFailed;
    else if (error->domain == G_IO_ERROR) {
        switch (error->code) {
        case G_IO_ERROR_TIMED_OUT:
            failure.kind = FailureKind::timedOut;
            break;
        case G_IO_ERROR_CONNECTION_REFUSED:
        case G_IO_ERROR_HOST_UNREACHABLE:
        case G_IO_ERROR_NETWORK_UNREACHABLE:
            failure.kind = FailureKind::cannotConnect;
            break;
        case G_IO_ERROR_CONNECTION_CLOSED:
        case G_IO_ERROR_PARTIAL_INPUT:
            failure.kind = FailureKind::connectionLost;
            break;
        default:
            break;
        }
    } else if (g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_TRANSPORT))
        failure.kind = FailureKind::connectionLost;
    return failure;
}

std::string hostOf(const std::string& url)
{
    GUri* uri = g_uri_parse(url.c_str(), G_URI_FLAGS_NONE, nullptr);
    if (!uri)
        return {};
    const char* host = g_uri_get_host(uri);
    std::string text = host ? host : "";
    g_uri_unref(uri);
    return text;
}

bool isWebAddress(const char* uri)
{
    return uri
        && (g_str_has_prefix(uri, "http:") || g_str_has_prefix(uri, "https:")
            || !std::strcmp(uri, "about:blank"));
}

GdkDevice* pointerDevice()
{
    return gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default()));
}

GdkDevice* keyboardDevice()
{
    return gdk_seat_get_keyboard(gdk_display_get_default_seat(gdk_display_get_default()));
}

guint32 eventTime()
{
    return static_cast<guint32>(g_get_monotonic_time() / 1000);
}

}

struct WebKitPage::Evaluation {
    std::function<void(std::optional<std::string>, std::string)> completion;
};

WebKitPage::WebKitPage(
    WebKitEngine& engine, webengine::PageClient& client, const webengine::PageOptions& options)
    : m_engine(engine)
    , m_client(client)
    , m_bridge(options.bridge)
    , m_cancellable(g_cancellable_new())
{
    WebKitSettings* settings = webkit_settings_new_with_settings("hardware-acceleration-policy",
        WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER, "enable-smooth-scrolling", FALSE, "enable-webgl", FALSE,
        "enable-developer-extras", FALSE, "javascript-can-open-windows-automatically", FALSE,
        "enable-back-forward-navigation-gestures", FALSE, "default-charset", "utf-8", nullptr);
    WebKitUserContentManager* content = webkit_user_content_manager_new();
    auto addScript = [content](const std::string& source) {
        WebKitUserScript* script
            = webkit_user_script_new(source.c_str(), WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
        webkit_user_content_manager_add_script(content, script);
        webkit_user_script_unref(script);
    };
    addScript(PageScripts::panning());
    if (m_bridge)
        addScript(PageScripts::bridge(m_engine.bridgeTag()));

    m_view = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", m_engine.context(), "settings",
        settings, "user-content-manager", content, nullptr));
    g_object_unref(settings);
    g_object_unref(content);
    m_input = InputMethod::make(this);
    webkit_web_view_set_input_method_context(m_view, m_input);

    m_window = gtk_offscreen_window_new();
    gtk_container_add(GTK_CONTAINER(m_window), GTK_WIDGET(m_view));
    resize(1, 1, 1);
    gtk_widget_show_all(m_window);
    // The page has the focus of a window that is in front: fields take typing, carets show.
    gtk_widget_grab_focus(GTK_WIDGET(m_view));
    GdkEvent* focus = gdk_event_new(GDK_FOCUS_CHANGE);
    focus->focus_change.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(GTK_WIDGET(m_view))));
    focus->focus_change.in = TRUE;
    focus->focus_change.send_event = TRUE;
    gtk_widget_send_focus_change(GTK_WIDGET(m_view), focus);
    gdk_event_free(focus);

    g_signal_connect(m_view, "load-changed", G_CALLBACK(loadChanged), this);
    g_signal_connect(m_view, "load-failed", G_CALLBACK(loadFailed), this);
    g_signal_connect(m_view, "load-failed-with-tls-errors", G_CALLBACK(loadFailedWithTLSErrors), this);
    g_signal_connect(m_view, "decide-policy", G_CALLBACK(decidePolicy), this);
    g_signal_connect(m_view, "script-dialog", G_CALLBACK(scriptDialog), this);
    g_signal_connect(m_view, "close", G_CALLBACK(closeRequested), this);
    g_signal_connect(m_view, "notify::title", G_CALLBACK(titleChanged), this);
    g_signal_connect(m_view, "notify::is-web-process-responsive", G_CALLBACK(responsivenessChanged), this);
    g_signal_connect(m_view, "web-process-terminated", G_CALLBACK(processTerminated), this);
    g_signal_connect(m_view, "permission-request", G_CALLBACK(permissionRequested), this);
    g_signal_connect(m_window, "damage-event", G_CALLBACK(damaged), this);
}

WebKitPage::~WebKitPage()
{
    *m_alive = false;
    g_cancellable_cancel(m_cancellable);
    g_object_unref(m_cancellable);
    g_signal_handlers_disconnect_by_data(m_view, this);
    g_signal_handlers_disconnect_by_data(m_window, this);
    InputMethod::detach(m_input);
    g_object_unref(m_input);
    if (m_frameSource)
        g_source_remove(m_frameSource);
    if (m_frame)
        cairo_surface_destroy(m_frame);
    webkit_web_view_stop_loading(m_view);
    // Torn down after the signal that may be running now (the page can be dropped from inside
    // one of its own calls): the window and its web view go at the next turn of the loop, and
    // the page's process with them.
    g_idle_add_full(
        G_PRIORITY_HIGH,
        [](gpointer window) {
            gtk_widget_destroy(GTK_WIDGET(window));
            g_object_unref(window);
            return G_SOURCE_REMOVE;
        },
        g_object_ref(m_window), nullptr);
}

void WebKitPage::resize(double width, double height, double scale)
{
    scale = std::isfinite(scale) && scale > 0 ? std::min(scale, 4.0) : 1.0;
    auto pixels = [scale](double points) {
        double value = std::isfinite(points) ? std::round(points * scale) : 1;
        return static_cast<int>(std::clamp(value, 1.0, double(maxPixelsPerSide)));
    };
    int pixelWidth = pixels(width);
    int pixelHeight = pixels(height);
    if (pixelWidth == m_pixelWidth && pixelHeight == m_pixelHeight && scale == m_scale)
        return;
    m_scale = scale;
    m_pixelWidth = pixelWidth;
    m_pixelHeight = pixelHeight;
    webkit_web_view_set_zoom_level(m_view, scale);
    gtk_widget_set_size_request(GTK_WIDGET(m_view), pixelWidth, pixelHeight);
    gtk_window_resize(GTK_WINDOW(m_window), pixelWidth, pixelHeight);
}

void WebKitPage::load(const std::string& url, const std::string& trustedCAFile)
{
    ++m_load;
    m_url = url;
    m_trustedCAFile = trustedCAFile;
    m_loading = true;
    m_awaitingStart = true;
    m_refusedContent.clear();
    m_failed = false;
    m_committed = false;
    m_navigationURL = url;
    m_retries = 0;
    m_endingUnresponsive = false;
    m_retryURL.clear();
    // The new page's text is told even when it is the same as the last one's; what is still
    // asked of the last page is dropped.
    m_text.clear();
    ++m_textGeneration;
    m_textInFlight = false;
    m_settleWanted = false;
    m_drawAfterSettle = false;
    webkit_web_view_load_uri(m_view, url.c_str());
}

void WebKitPage::stop()
{
    // Its cancellation is the caller's own doing: nothing to report.
    m_loading = false;
    m_retryURL.clear();
    webkit_web_view_stop_loading(m_view);
}

void WebKitPage::fail(const Failure& failure)
{
    if (!m_loading)
        return;
    m_loading = false;
    m_failed = true;
    m_client.pageFailed(failure);
}

void WebKitPage::loadChanged(WebKitWebView*, WebKitLoadEvent event, WebKitPage* page)
{
    // The load refused or dropped has ended: now the same address again.
    if (!page->m_retryURL.empty()) {
        if (event == WEBKIT_LOAD_FINISHED)
            page->startAgain(std::exchange(page->m_retryURL, {}));
        return;
    }
    if (event == WEBKIT_LOAD_STARTED) {
        // Ours, or one the page starts itself (a link, a script), which the view follows too.
        page->m_awaitingStart = false;
        page->m_committed = false;
        if (!page->m_loading) {
            page->m_loading = true;
            page->m_failed = false;
        }
        return;
    }
    // What still comes of a load that ours replaced belongs to that one.
    if (!page->m_loading || page->m_awaitingStart)
        return;
    switch (event) {
    case WEBKIT_LOAD_COMMITTED:
        page->m_committed = true;
        page->m_client.pageCommitted();
        break;
    case WEBKIT_LOAD_FINISHED:
        // A failed load finishes too, after its failure was told; one that never committed
        // (replaced by the page's own navigation) leaves the page shown before, which is not its
        // page: what follows, or the view's time-out, ends it.
        if (page->m_failed || !page->m_committed)
            return;
        page->m_loading = false;
        // Told again: a title the same as the last page's never notifies.
        titleChanged(nullptr, nullptr, page);
        page->m_client.pageFinished();
        page->refreshText(true);
        break;
    default:
        break;
    }
}

gboolean WebKitPage::loadFailed(
    WebKitWebView*, WebKitLoadEvent, const char* uri, GError* error, WebKitPage* page)
{
    Failure failure = failureOf(error);
    // What still comes of a load that ours replaced, or of one the view stopped.
    if (page->m_awaitingStart || !page->m_loading)
        return TRUE;
    if (failure.kind == FailureKind::cancelled) {
        // Stopped by its own page once shown, or replaced by the page's own navigation, which
        // the view follows.
        if (page->m_committed || !uri || page->m_navigationURL != uri)
            return TRUE;
        // Dropped by the engine though nobody stopped or replaced it: loaded again.
        if (page->mayStartAgain()) {
            page->m_engine.log(
                "web page " + std::string(uri) + ": the engine dropped its load; loading it again");
            page->m_awaitingStart = true;
            // The engine connects to the host of a load it is asked for ahead of the load, and a
            // load that waited for that connection is dropped when the engine refuses its
            // certificate, with no word of the certificate: it is judged here.
            if (g_str_has_prefix(uri, "https:"))
                page->judgeCertificateOf(uri);
            else
                page->m_retryURL = uri;
            return TRUE;
        }
    }
    if (failure.kind == FailureKind::unsupportedContent && !page->m_refusedContent.empty())
        failure.description = page->m_refusedContent;
    page->fail(failure);
    // The engine's own error page is not shown: the view says what went wrong.
    return TRUE;
}

gboolean WebKitPage::loadFailedWithTLSErrors(WebKitWebView*, const char* uri, GTlsCertificate* certificate,
    GTlsCertificateFlags errors, WebKitPage* page)
{
    // Of a load that ours replaced, or that the view stopped.
    if (!page->m_loading || page->m_awaitingStart)
        return TRUE;
    std::string address = uri ? uri : page->m_url;
    std::string host = hostOf(address);
    std::string why;
    if (!host.empty() && certificateIsTrusted(certificate, host, page->m_trustedCAFile, why)
        && page->mayStartAgain()) {
        // Trusted by the configured authorities: this certificate is accepted for this host from
        // now on, and the page loads again.
        page->m_engine.allowCertificate(certificate, host);
        // The refused load still finishes; the view hears of the next one only.
        page->m_awaitingStart = true;
        page->m_retryURL = address;
        return TRUE;
    }
    if (why.empty())
        why = "the certificate is " + describeCertificateFlags(errors);
    page->fail({ FailureKind::untrustedCertificate, "refused: " + why });
    return TRUE;
}

bool WebKitPage::mayStartAgain()
{
    if (m_retries >= maxRetries)
        return false;
    ++m_retries;
    return true;
}

void WebKitPage::judgeCertificateOf(std::string url)
{
    std::weak_ptr<bool> alive = m_alive;
    unsigned long load = m_load;
    fetchServerCertificate(url, m_cancellable, [alive, this, load, url](GTlsCertificate* certificate) {
        auto live = alive.lock();
        if (!live || !*live || m_load != load || !m_loading)
            return;
        std::string host = hostOf(url);
        std::string why;
        if (certificate && !m_engine.acceptsCertificate(certificate, host)) {
            // What the engine's refusal would have said.
            if (!certificateIsTrusted(certificate, host, m_trustedCAFile, why))
                return fail({ FailureKind::untrustedCertificate, "refused: " + why });
            m_engine.allowCertificate(certificate, host);
        }
        // No certificate is the matter (or no longer): the same address again, whose failure, if
        // it fails, the engine tells.
        webkit_web_view_load_uri(m_view, url.c_str());
    });
}

void WebKitPage::startAgain(std::string url)
{
    // At the next turn of the loop, out of the finished load's signal.
    struct Retry {
        std::weak_ptr<bool> alive;
        WebKitPage* page;
        unsigned long load;
        std::string url;
    };
    auto* retry = std::make_unique<Retry>(Retry { m_alive, this, m_load, std::move(url) }).release();
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer data) {
            std::unique_ptr<Retry> retry(static_cast<Retry*>(data));
            auto alive = retry->alive.lock();
            if (alive && *alive && retry->page->m_load == retry->load && retry->page->m_loading)
                webkit_web_view_load_uri(retry->page->m_view, retry->url.c_str());
            return G_SOURCE_REMOVE;
        },
        retry, nullptr);
}

gboolean WebKitPage::decidePolicy(
    WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type, WebKitPage* page)
{
    switch (type) {
    case WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION: {
        auto* action = webkit_navigation_policy_decision_get_navigation_action(
            WEBKIT_NAVIGATION_POLICY_DECISION(decision));
        const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
        // Links to other schemes (mail, telephone, apps) lead nowhere inside the view.
        if (!isWebAddress(uri)) {
            webkit_policy_decision_ignore(decision);
            return TRUE;
        }
        page->m_navigationURL = uri;
        return FALSE;
    }
    case WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION:
        // One page per view: a link to a new window is not followed.
        webkit_policy_decision_ignore(decision);
        return TRUE;
    case WEBKIT_POLICY_DECISION_TYPE_RESPONSE: {
        auto* response = WEBKIT_RESPONSE_POLICY_DECISION(decision);
        // Nothing is downloaded: a reply the engine cannot show ends the load.
        if (!webkit_response_policy_decision_is_mime_type_supported(response)) {
            if (webkit_response_policy_decision_is_main_frame_main_resource(response)) {
                WebKitURIResponse* reply = webkit_response_policy_decision_get_response(response);
                const char* type = webkit_uri_response_get_mime_type(reply);
                page->m_refusedContent = std::string("cannot show ") + (type ? type : "its content");
            }
            webkit_policy_decision_ignore(decision);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

gboolean WebKitPage::scriptDialog(WebKitWebView*, WebKitScriptDialog* dialog, WebKitPage* page)
{
    WebKitScriptDialogType type = webkit_script_dialog_get_dialog_type(dialog);
    const char* message = webkit_script_dialog_get_message(dialog);
    std::string text = message ? message : "";
    const std::string& tag = page->m_engine.bridgeTag();
    if (page->m_bridge && type == WEBKIT_SCRIPT_DIALOG_PROMPT && text.starts_with(tag)) {
        std::string request = text.substr(tag.size());
        if (request == "close") {
            page->m_client.pageAsksToClose();
        } else if (request.starts_with("call:")) {
            const char* argument = webkit_script_dialog_prompt_get_default_text(dialog);
            auto answer = page->m_client.pageCalled(request.substr(5), argument ? argument : "");
            // Left unset, the page's call gives null.
            if (answer)
                webkit_script_dialog_prompt_set_text(dialog, answer->c_str());
        }
        return TRUE;
    }
    // No dialogs over a page: an alert is logged, a question is answered no, and the page goes on.
    if (type == WEBKIT_SCRIPT_DIALOG_CONFIRM || type == WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM)
        webkit_script_dialog_confirm_set_confirmed(
            dialog, type == WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM);
    if (type == WEBKIT_SCRIPT_DIALOG_ALERT)
        page->m_engine.log("web page " + page->m_url + " says: " + text.substr(0, 200));
    return TRUE;
}

void WebKitPage::closeRequested(WebKitWebView*, WebKitPage* page)
{
    if (page->m_bridge)
        page->m_client.pageAsksToClose();
}

void WebKitPage::titleChanged(GObject*, GParamSpec*, WebKitPage* page)
{
    const char* title = webkit_web_view_get_title(page->m_view);
    page->m_client.pageTitleChanged(title ? title : "");
}

void WebKitPage::responsivenessChanged(GObject*, GParamSpec*, WebKitPage* page)
{
    if (webkit_web_view_get_is_web_process_responsive(page->m_view) || page->m_endingUnresponsive)
        return;
    // A script that does not return holds its process: end it, so that the view can say so and
    // the next load starts afresh.
    page->m_engine.log("web page " + page->m_url + ": its script stopped answering; its process is ended");
    page->m_endingUnresponsive = true;
    webkit_web_view_terminate_web_process(page->m_view);
}

void WebKitPage::processTerminated(WebKitWebView*, WebKitWebProcessTerminationReason reason, WebKitPage* page)
{
    std::string why = page->m_endingUnresponsive             ? "the page stopped answering"
        : reason == WEBKIT_WEB_PROCESS_CRASHED               ? "the page's process crashed"
        : reason == WEBKIT_WEB_PROCESS_EXCEEDED_MEMORY_LIMIT ? "the page used too much memory"
                                                             : "the page's process was ended";
    if (!page->m_endingUnresponsive)
        page->m_engine.log("web page " + page->m_url + ": " + why);
    page->m_loading = false;
    page->m_textInFlight = false;
    page->m_settleWanted = false;
    page->m_drawAfterSettle = false;
    page->m_text.clear();
    ++page->m_textGeneration;
    page->m_client.pageProcessEnded({ FailureKind::processEnded, why });
}

gboolean WebKitPage::permissionRequested(WebKitWebView*, WebKitPermissionRequest* request, WebKitPage*)
{
    // Location, notifications, camera: nothing of the phone is offered to pages.
    webkit_permission_request_deny(request);
    return TRUE;
}

gboolean WebKitPage::damaged(GtkWidget*, GdkEventExpose* event, WebKitPage* page)
{
    cairo_rectangle_int_t area { event->area.x, event->area.y, event->area.width, event->area.height };
    if (page->m_frameSource) {
        cairo_region_t* region = cairo_region_create_rectangle(&page->m_damage);
        cairo_region_union_rectangle(region, &area);
        cairo_region_get_extents(region, &page->m_damage);
        cairo_region_destroy(region);
    } else {
        page->m_damage = area;
        // Once per turn of the loop, however many parts of the window changed.
        page->m_frameSource = g_idle_add_full(G_PRIORITY_DEFAULT_IDLE, paintFrame, page, nullptr);
    }
    return FALSE;
}

gboolean WebKitPage::paintFrame(gpointer data)
{
    auto* page = static_cast<WebKitPage*>(data);
    page->m_frameSource = 0;
    cairo_surface_t* source = gtk_offscreen_window_get_surface(GTK_OFFSCREEN_WINDOW(page->m_window));
    if (!source)
        return G_SOURCE_REMOVE;
    int width = std::max(1, gtk_widget_get_allocated_width(page->m_window));
    int height = std::max(1, gtk_widget_get_allocated_height(page->m_window));
    if (page->m_frame
        && (cairo_image_surface_get_width(page->m_frame) != width
            || cairo_image_surface_get_height(page->m_frame) != height)) {
        cairo_surface_destroy(page->m_frame);
        page->m_frame = nullptr;
    }
    // A new image each time (the view keeps the last one as it was): the last frame with the
    // damaged part read again from the window.
    cairo_surface_t* frame = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(frame);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    if (page->m_frame) {
        cairo_set_source_surface(cr, page->m_frame, 0, 0);
        cairo_paint(cr);
        cairo_rectangle(cr, page->m_damage.x, page->m_damage.y, page->m_damage.width, page->m_damage.height);
        cairo_clip(cr);
    }
    cairo_set_source_surface(cr, source, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(frame);
    if (page->m_frame)
        cairo_surface_destroy(page->m_frame);
    page->m_frame = frame;
    auto alive = page->m_alive;
    page->m_client.pagePainted(frame);
    if (*alive && std::exchange(page->m_drawAfterSettle, false))
        page->m_client.pageDrawn();
    if (*alive && !page->m_loading)
        page->refreshText(false);
    return G_SOURCE_REMOVE;
}

void WebKitPage::refreshText(bool settle)
{
    m_settleWanted = m_settleWanted || settle;
    if (m_textInFlight) {
        m_textStale = true;
        return;
    }
    bool settling = std::exchange(m_settleWanted, false);
    m_textInFlight = true;
    m_textStale = false;
    struct Request {
        std::weak_ptr<bool> alive;
        WebKitPage* page;
        unsigned long generation;
        bool settling;
    };
    auto* request
        = std::make_unique<Request>(Request { m_alive, this, m_textGeneration, settling }).release();
    auto done = [](GObject* view, GAsyncResult* result, gpointer data) {
        std::unique_ptr<Request> request(static_cast<Request*>(data));
        GError* error = nullptr;
        JSCValue* value = request->settling
            ? webkit_web_view_call_async_javascript_function_finish(WEBKIT_WEB_VIEW(view), result, &error)
            : webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, &error);
        std::optional<std::string> text;
        if (value && jsc_value_is_string(value)) {
            gchar* chars = jsc_value_to_string(value);
            text = chars ? chars : "";
            g_free(chars);
        }
        if (value)
            g_object_unref(value);
        g_clear_error(&error);
        auto alive = request->alive.lock();
        // Asked of a process that has ended since, or of a page that is gone.
        if (!alive || !*alive || request->page->m_textGeneration != request->generation)
            return;
        WebKitPage* page = request->page;
        page->m_textInFlight = false;
        if (request->settling) {
            // The page's frames so far have reached the view: one more paint shows them, and
            // tells the client the page is drawn.
            page->m_drawAfterSettle = true;
            gtk_widget_queue_draw(GTK_WIDGET(page->m_view));
        }
        if (text && *text != page->m_text) {
            page->m_text = *text;
            page->m_client.pageTextChanged(*text);
        }
        if (*alive && (page->m_textStale || page->m_settleWanted))
            page->refreshText(false);
    };
    if (settling) {
        std::string body = PageScripts::shownTextAfterFrames(maxTextCharacters);
        webkit_web_view_call_async_javascript_function(
            m_view, body.c_str(), -1, nullptr, nullptr, nullptr, m_cancellable, done, request);
    } else {
        std::string script = PageScripts::shownText(maxTextCharacters);
        webkit_web_view_evaluate_javascript(
            m_view, script.c_str(), -1, nullptr, nullptr, m_cancellable, done, request);
    }
}

void WebKitPage::evaluate(const std::string& script,
    std::function<void(std::optional<std::string> json, std::string error)> completion)
{
    auto* evaluation = std::make_unique<Evaluation>(Evaluation { std::move(completion) }).release();
    webkit_web_view_evaluate_javascript(
        m_view, script.c_str(), -1, nullptr, nullptr, m_cancellable,
        [](GObject* view, GAsyncResult* result, gpointer data) {
            std::unique_ptr<Evaluation> evaluation(static_cast<Evaluation*>(data));
            GError* error = nullptr;
            JSCValue* value
                = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, &error);
            // Cancelled: the page is gone, and its caller with it.
            if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) {
                g_clear_error(&error);
                return;
            }
            std::optional<std::string> json;
            std::string problem;
            if (value) {
                gchar* text = jsc_value_is_undefined(value) ? nullptr : jsc_value_to_json(value, 0);
                json = text ? text : "null";
                g_free(text);
                g_object_unref(value);
            } else {
                problem = error && error->message ? error->message : "the script failed";
            }
            g_clear_error(&error);
            if (evaluation->completion)
                evaluation->completion(std::move(json), std::move(problem));
        },
        evaluation);
}

void WebKitPage::terminateProcess()
{
    webkit_web_view_terminate_web_process(m_view);
}

void WebKitPage::editingChanged(bool editing)
{
    m_client.pageEditingChanged(editing);
}

void WebKitPage::send(GdkEvent* event)
{
    gtk_widget_event(GTK_WIDGET(m_view), event);
    gdk_event_free(event);
}

GdkEvent* WebKitPage::pointerEvent(GdkEventType type, double x, double y)
{
    GdkEvent* event = gdk_event_new(type);
    GdkWindow* window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(GTK_WIDGET(m_view))));
    double px = x * m_scale;
    double py = y * m_scale;
    if (type == GDK_MOTION_NOTIFY) {
        event->motion.window = window;
        event->motion.x = event->motion.x_root = px;
        event->motion.y = event->motion.y_root = py;
        event->motion.time = eventTime();
        event->motion.state = m_pressed ? GDK_BUTTON1_MASK : 0;
    } else if (type == GDK_SCROLL) {
        event->scroll.window = window;
        event->scroll.x = event->scroll.x_root = px;
        event->scroll.y = event->scroll.y_root = py;
        event->scroll.time = eventTime();
        event->scroll.direction = GDK_SCROLL_SMOOTH;
    } else {
        event->button.window = window;
        event->button.x = event->button.x_root = px;
        event->button.y = event->button.y_root = py;
        event->button.time = eventTime();
        event->button.button = 1;
        event->button.state = type == GDK_BUTTON_RELEASE ? GDK_BUTTON1_MASK : 0;
    }
    gdk_event_set_device(event, pointerDevice());
    gdk_event_set_source_device(event, pointerDevice());
    return event;
}

void WebKitPage::pointer(webengine::PointerPhase phase, double x, double y)
{
    if (!std::isfinite(x) || !std::isfinite(y))
        return;
    using webengine::PointerPhase;
    switch (phase) {
    case PointerPhase::down:
        if (m_pressed)
            send(pointerEvent(GDK_BUTTON_RELEASE, m_pointerX, m_pointerY));
        m_pressed = false;
        send(pointerEvent(GDK_MOTION_NOTIFY, x, y));
        send(pointerEvent(GDK_BUTTON_PRESS, x, y));
        m_pressed = true;
        break;
    case PointerPhase::move:
        send(pointerEvent(GDK_MOTION_NOTIFY, x, y));
        break;
    case PointerPhase::up:
    case PointerPhase::cancel:
        if (!m_pressed)
            return;
        send(pointerEvent(GDK_MOTION_NOTIFY, x, y));
        m_pressed = false;
        send(pointerEvent(GDK_BUTTON_RELEASE, x, y));
        break;
    }
    m_pointerX = x;
    m_pointerY = y;
}

void WebKitPage::scroll(double x, double y, double dx, double dy)
{
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(dx) || !std::isfinite(dy))
        return;
    GdkEvent* event = pointerEvent(GDK_SCROLL, x, y);
    event->scroll.delta_x = dx * m_scale / pixelsPerWheelStep(m_pixelWidth);
    event->scroll.delta_y = dy * m_scale / pixelsPerWheelStep(m_pixelHeight);
    send(event);
}

void WebKitPage::insertText(const std::string& text)
{
    if (!text.empty() && g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr))
        InputMethod::commit(m_input, text.c_str());
}

void WebKitPage::key(webengine::Key key)
{
    guint keyval = key == webengine::Key::enter ? GDK_KEY_Return : GDK_KEY_BackSpace;
    guint16 keycode = 0;
    GdkKeymapKey* keys = nullptr;
    gint count = 0;
    if (gdk_keymap_get_entries_for_keyval(
            gdk_keymap_get_for_display(gdk_display_get_default()), keyval, &keys, &count)
        && count > 0)
        keycode = static_cast<guint16>(keys[0].keycode);
    g_free(keys);
    for (GdkEventType type : { GDK_KEY_PRESS, GDK_KEY_RELEASE }) {
        GdkEvent* event = gdk_event_new(type);
        event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(GTK_WIDGET(m_view))));
        event->key.keyval = keyval;
        event->key.hardware_keycode = keycode;
        event->key.time = eventTime();
        gdk_event_set_device(event, keyboardDevice());
        send(event);
    }
}

}
