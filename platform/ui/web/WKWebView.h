#pragma once

#include "platform/foundation/NSError.h"
#include "platform/foundation/URLRequest.h"
#include "platform/ui/UIView.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class HTTPTask;
struct HTTPResponse;
class UILabel;
class WKWebView;

// Told how each load ends, on the main thread. Held weakly by the web view.
class WKNavigationDelegate {
public:
    virtual ~WKNavigationDelegate() = default;
    virtual void didFinishNavigation(WKWebView&) { }
    // The page could not be fetched or shown; the error is in NSURLErrorDomain (or
    // WebKitErrorDomain for content that is not a page).
    virtual void didFailNavigation(WKWebView&, const NSError&) { }
};

// A web view without a script or layout engine: it fetches the page through the shared HTTP
// client (GET, the request's time-out, at most maxPageBytes) and shows the page's title and its
// text, markup stripped, on white. A load that fails shows why, with the address. Replies with an
// HTTP error status are pages like any other (the server's error page shows), as on the phone.
class WKWebView : public UIView {
public:
    static constexpr std::size_t maxPageBytes = 2 * 1024 * 1024;
    static constexpr const char* urlErrorDomain = "NSURLErrorDomain";
    static constexpr const char* webKitErrorDomain = "WebKitErrorDomain";
    // Codes of the failures, as the platform numbers them.
    enum ErrorCode : long {
        cancelled = -999,
        unsupportedURL = -1002,
        timedOut = -1001,
        cannotFindHost = -1003,
        cannotConnectToHost = -1004,
        networkConnectionLost = -1005,
        dataLengthExceedsMaximum = -1103,
        secureConnectionFailed = -1200,
        unknown = -1,
        frameLoadInterrupted = 102,
    };

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
    // Whether the last load ended with a page shown.
    bool hasPage() const { return m_hasPage; }
    // The shown page's title and text; empty while loading and after a failure.
    const std::string& title() const { return m_title; }
    const std::string& pageText() const { return m_text; }
    // The failure of the last load, if it failed.
    const std::optional<NSError>& lastError() const { return m_error; }

    void layoutSubviews() override;
    std::string dumpAttributes() const override;

private:
    void finish(std::uint64_t navigation, const HTTPResponse& response);
    void fail(NSError error);
    void showPage();
    void showFailure();

    std::weak_ptr<WKNavigationDelegate> m_delegate;
    std::shared_ptr<HTTPTask> m_task;
    std::uint64_t m_navigation = 0;
    std::string m_url;
    bool m_loading = false;
    bool m_hasPage = false;
    std::string m_title;
    std::string m_text;
    std::optional<NSError> m_error;
    std::shared_ptr<UIView> m_content;
    std::shared_ptr<UILabel> m_titleLabel;
    std::shared_ptr<UILabel> m_textLabel;
};
