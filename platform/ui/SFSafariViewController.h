#pragma once

#include "platform/ui/UILabel.h"
#include "platform/ui/UINavigationBar.h"
#include "platform/ui/UIViewController.h"
#include "platform/ui/web/WKWebView.h"

#include <memory>
#include <string>

// The in-app browser. It opens only absolute http and https addresses: make() gives nothing
// for any other text (the phone's browser refuses them outright). Under a bar with the Done button
// (which dismisses the browser) and the page's host, the page runs in a web view, loaded when the
// browser's view loads (60 s time-out); a page that cannot load says why in its place.
class SFSafariViewController : public UIViewController {
    struct Passkey {
        explicit Passkey() = default;
    };

public:
    static constexpr double loadTimeout = 60;

    static std::shared_ptr<SFSafariViewController> make(const std::string& url);
    // An absolute address with the scheme http or https (any case), a host, and no blanks or
    // control characters.
    static bool canOpen(const std::string& url);

    SFSafariViewController(Passkey, std::string url);

    std::string className() const override { return "SFSafariViewController"; }

    const std::string& url() const { return m_url; }
    // The page; made with the view.
    const std::shared_ptr<WKWebView>& webView() const { return m_webView; }
    // The Done button's action.
    void done();

    void loadView() override;

protected:
    void layoutChildren() override;

private:
    std::string m_url;
    std::shared_ptr<UIView> m_toolbar;
    std::shared_ptr<UINavigationBarButton> m_doneButton;
    std::shared_ptr<UILabel> m_hostLabel;
    std::shared_ptr<WKWebView> m_webView;
};
