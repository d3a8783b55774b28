#pragma once

#include "platform/foundation/NSError.h"
#include "platform/foundation/URLRequest.h"
#include "platform/ui/UIView.h"
#include "platform/ui/controls/UIKeyInput.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

class UILabel;
class WKWebView;

namespace webengine {
class Page;
}

// Told how each load ends, on the main thread. Held weakly by the web view.
class WKNavigationDelegate {
public:
    virtual ~WKNavigationDelegate() = default;
    virtual void didFinishNavigation(WKWebView&) { }
    // The page could not be fetched or shown; the error is in NSURLErrorDomain (or
    // WebKitErrorDomain for content that is not a page).
    virtual void didFailNavigation(WKWebView&, const NSError&) { }
    // The page's process ended under a shown page (a crash, or a script that stopped answering):
    // the view says so in place of the page; a new load starts afresh.
    virtual void webContentProcessDidTerminate(WKWebView&) { }
};

// A web view on the web engine (WebKit, loaded with the first page, WebEngine.h): the page's
// scripts, styles, images and its own requests run in the engine, which draws it at the view's
// size and the screen's scale into the view. Touches reach the page as the mouse's button (a drag
// is a drag to the page's handlers; a drag that the page lets pan scrolls it), and typing reaches
// the field that has the page's focus: the view is then first responder and the keyboard is up.
// TLS is verified against the HTTP client's trusted CA file (HTTPClient::trustedCAFile) besides
// the engine's own store, never skipped.
//
// A load that fails shows why, with the address, in place of the page: no page within the
// request's time-out (on the main run loop's clock), a refused or broken connection, an untrusted
// certificate, content the engine cannot show, a page whose process died or whose script stopped
// answering. Replies with an HTTP error status are pages like any other (the server's error page
// shows), as on the phone. Without the engine (no display) every load fails with the reason.
class WKWebView : public UIView, public UIKeyInput {
public:
    static constexpr const char* urlErrorDomain = "NSURLErrorDomain";
    static constexpr const char* webKitErrorDomain = "WebKitErrorDomain";
    static constexpr const char* wkErrorDomain = "WKErrorDomain";
    // Codes of the failures, as the platform numbers them.
    enum ErrorCode : long {
        cancelled = -999,
        unsupportedURL = -1002,
        timedOut = -1001,
        cannotFindHost = -1003,
        cannotConnectToHost = -1004,
        networkConnectionLost = -1005,
        secureConnectionFailed = -1200,
        serverCertificateUntrusted = -1202,
        unknown = -1,
        frameLoadInterrupted = 102,
        // In WKErrorDomain: the page's process ended.
        webContentProcessTerminated = 2,
    };
    // The page's text as the view keeps it (pageText).
    static constexpr std::size_t maxPageTextCharacters = 20000;

    explicit WKWebView(const CGRect& frame = {});
    ~WKWebView() override;

    std::string className() const override { return "WKWebView"; }

    // Starts loading, replacing what is shown; a load still running is cancelled silently.
    void load(const URLRequest& request);
    void stopLoading();

    std::weak_ptr<WKNavigationDelegate> navigationDelegate() const { return m_delegate; }
    void setNavigationDelegate(std::weak_ptr<WKNavigationDelegate> delegate)
    {
        m_delegate = std::move(delegate);
    }

    // The address of the last load; empty before any.
    const std::string& url() const { return m_url; }
    bool isLoading() const { return m_loading; }
    // Whether the last load ended with a page shown (and its process still runs).
    bool hasPage() const { return m_hasPage; }
    // Whether the page of the last load, finished and laid out, has been drawn into the view at
    // the view's present size.
    bool hasPainted() const;
    // A page is shown whose pixels at the view's present size have not come yet (the engine
    // draws it moments after a load or a change of size).
    bool isDrawingBehind() const { return m_committed && !m_error && !hasPainted(); }
    // The shown page's title and text (its body's text as laid out, kept current as the page
    // changes, cut to maxPageTextCharacters); empty while loading and after a failure.
    const std::string& title() const { return m_title; }
    const std::string& pageText() const { return m_text; }
    // The failure of the last load, if it failed.
    const std::optional<NSError>& lastError() const { return m_error; }

    // Runs script in the shown page; the completion (main queue, once) gets its value as JSON
    // text ("null" for undefined), or the error. Fails at once without a page.
    using EvaluationCompletion
        = std::function<void(std::optional<std::string> json, std::optional<NSError> error)>;
    void evaluateJavaScript(const std::string& script, EvaluationCompletion completion);

    // Ends the page's process as a crash would (tests of the failure path).
    void terminateWebContentProcessForTesting();

    void layoutSubviews() override;
    std::string dumpAttributes() const override;

    // ---- Touches and typing ----
    void touchesBegan(const UITouchSet& touches, const UIEvent* event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent* event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent* event) override;
    void touchesCancelled(const UITouchSet& touches, const UIEvent* event) override;
    // The wheel over the view (a window's mouse): positive deltas move towards the content's end.
    void scrollByWheel(CGPoint point, CGVector delta);

    // First responder while a field of the page has the focus.
    bool canBecomeFirstResponder() const override;
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    bool hasText() const override { return true; }
    void insertText(const std::string& text) override;
    void deleteBackward() override;

protected:
    // Whether pages get the script bridge (DWKWebView).
    virtual bool wantsScriptBridge() const { return false; }
    // A page's call through the script bridge; nothing makes its value null.
    virtual std::optional<std::string> pageCalledBridge(
        const std::string& method, const std::string& argument)
    {
        return std::nullopt;
    }
    virtual void pageAskedToClose() { }

private:
    class Client;
    friend class Client;

    webengine::Page* page();
    void startTimeout(std::uint64_t navigation, double seconds);
    void failSoon(std::uint64_t navigation, NSError error);
    void didCommit();
    void didFinish();
    void didFail(NSError error);
    void didEndProcess(NSError error);
    void didPaint(cairo_surface_t* image);
    void editingChanged(bool editing);
    void showPage();
    void showFailure();
    void touch(int phase, const UITouchSet& touches);

    std::weak_ptr<WKNavigationDelegate> m_delegate;
    // The engine's page, made with the first load; its client goes after it.
    std::unique_ptr<Client> m_client;
    std::unique_ptr<webengine::Page> m_page;
    std::uint64_t m_navigation = 0;
    std::string m_url;
    bool m_loading = false;
    bool m_hasPage = false;
    bool m_committed = false;
    // The engine has drawn the finished page (a picture of it has come since).
    bool m_drawn = false;
    // The size in device pixels of the last picture of the page drawn into the view.
    std::pair<int, int> m_paintedPixels;
    bool m_editing = false;
    std::string m_title;
    std::string m_text;
    std::optional<NSError> m_error;
    std::shared_ptr<UIView> m_pageView;
    std::shared_ptr<UIView> m_content;
    std::shared_ptr<UILabel> m_titleLabel;
    std::shared_ptr<UILabel> m_textLabel;
};
