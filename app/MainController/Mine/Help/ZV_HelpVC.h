#pragma once

#include "app/BaseController/BaseViewController.h"

#include <memory>

class WKWebView;

// "帮助中心": the help site at the help base URL in a plain web view under the navigation bar,
// loaded once when the page loads. An address that is not an absolute http or https one loads
// nothing.
class ZV_HelpVC : public BaseViewController {
public:
    static constexpr double loadTimeout = 60;

    ZV_HelpVC() = default;

    std::string className() const override { return "ZV_HelpVC"; }

    void viewDidLoad() override;

    // Made on first use.
    const std::shared_ptr<WKWebView>& webView();

private:
    std::shared_ptr<WKWebView> m_webView;
};
