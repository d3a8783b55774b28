#pragma once

#include <cairo.h>
#include <functional>
#include <memory>
#include <optional>
#include <string>

// The boundary between the web views and the web engine module (platform/webkit, WebKitGTK),
// which is loaded when the first page is made. Only standard types and Cairo cross it: the module
// carries no copy of the platform's libraries, and programs that never show a page load nothing
// of GTK's or WebKit's.
//
// Every call in either direction is made on the main thread, and the module calls its clients only
// from inside Engine::pump() or from a call the client made into it, never from another thread.
namespace webengine {

// Raised whenever a declaration below changes, so that a stale module is refused, not misused.
inline constexpr int interfaceVersion = 1;

enum class FailureKind {
    cancelled,
    badURL,
    timedOut,
    cannotFindHost,
    cannotConnect,
    connectionLost,
    secureConnectionFailed,
    untrustedCertificate,
    // The reply is nothing the engine shows (a download, say).
    unsupportedContent,
    // The page's process ended (crashed, killed, or ended because its script stopped answering).
    processEnded,
    other,
};

struct Failure {
    FailureKind kind = FailureKind::other;
    // In words, for the log (the engine's own text).
    std::string description;
};

enum class PointerPhase { down, move, up, cancel };
enum class Key { enter, backspace };

// What a page tells its view.
class PageClient {
public:
    virtual ~PageClient() = default;
    // The main resource answered: its content replaces what was shown.
    virtual void pageCommitted() = 0;
    virtual void pageFinished() = 0;
    // The load ended without a page (not after pageFinished).
    virtual void pageFailed(const Failure& failure) = 0;
    virtual void pageTitleChanged(const std::string& title) = 0;
    // The text the page shows (its body's inner text, cut to a bounded length), after the load
    // and after changes of what it shows.
    virtual void pageTextChanged(const std::string& text) = 0;
    // New pixels: an ARGB32 image surface of the whole view in device pixels, borrowed for the call.
    virtual void pagePainted(cairo_surface_t* image) = 0;
    // The page of the finished load has been laid out and its pixels painted (the last
    // pagePainted shows it): once per load, after pageFinished.
    virtual void pageDrawn() = 0;
    // The page's script calls a bridge method ("name" or "namespace.name") and waits for the
    // answer; nothing makes the call's value null.
    virtual std::optional<std::string> pageCalled(const std::string& method, const std::string& argument) = 0;
    // The page's script asks to close its window.
    virtual void pageAsksToClose() = 0;
    // The page's process ended under it (the page is gone; a new load starts another).
    virtual void pageProcessEnded(const Failure& failure) = 0;
    // A field of the page that takes text got (or lost) the focus.
    virtual void pageEditingChanged(bool editing) = 0;
};

struct PageOptions {
    // Publish window.appBridge.call(method, argument) to the page's script, and route its
    // window.close() to the client.
    bool bridge = false;
};

class Page {
public:
    virtual ~Page() = default;
    // The view's size in points (the page's CSS pixels) and device pixels per point.
    virtual void resize(double width, double height, double scale) = 0;
    // Replaces what is loading or shown. An https page whose certificate the engine's own store
    // does not trust is shown when it is valid for its host under an authority of `trustedCAFile`
    // (a PEM file; empty: only the system's store counts).
    virtual void load(const std::string& url, const std::string& trustedCAFile) = 0;
    // Ends a load under way; nothing is reported for it.
    virtual void stop() = 0;
    // A finger as the mouse's left button, at a point of the view (points).
    virtual void pointer(PointerPhase phase, double x, double y) = 0;
    // The wheel at a point: positive deltas move towards the end of the content (points).
    virtual void scroll(double x, double y, double dx, double dy) = 0;
    // Text committed into the focused field; keys the keyboard has besides its text.
    virtual void insertText(const std::string& text) = 0;
    virtual void key(Key key) = 0;
    // Runs script in the page; the completion gets the value as JSON text, or the error's text.
    virtual void evaluate(const std::string& script,
        std::function<void(std::optional<std::string> json, std::string error)> completion)
        = 0;
    // Ends the page's process as a crash would (tests of the failure path).
    virtual void terminateProcess() = 0;
};

struct EngineOptions {
    // Any thread: Engine::pump() has something to do. Coalesce it into one call on the main thread.
    std::function<void()> wake;
    // Lines for the program's log.
    std::function<void(const std::string&)> log;
};

class Engine {
public:
    virtual ~Engine() = default;
    virtual std::unique_ptr<Page> makePage(PageClient& client, const PageOptions& options) = 0;
    // Runs what the engine's event loop has ready, without waiting, then goes back to watching.
    virtual void pump() = 0;
};

// The module's one entry point (C linkage, looked up by name): starts the engine once for the
// process, on the main thread. Nothing, and the reason in *error, when it cannot start (no
// display, a module of another interface version).
using StartFunction = Engine* (*)(int version, const EngineOptions& options, std::string& error);
inline constexpr const char* startFunctionName = "zvWebEngineStart";

}
