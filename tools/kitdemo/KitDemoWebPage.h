#pragma once

#include "platform/ui/UIViewController.h"

#include <memory>
#include <string>

class DWKWebView;
class JavascriptObject;
class UILabel;
class UINavigationBarButton;

// A web page of the local test server in the bridge web view, under a bar with a close button.
// The page's bridge calls show in a line under it; the page's close request closes the screen.
class KitDemoWebPage : public UIViewController {
public:
    explicit KitDemoWebPage(std::string url);

    std::string className() const override { return "KitDemoWebPage"; }

    void loadView() override;
    void viewDidLoad() override;

protected:
    void layoutChildren() override;

private:
    std::string m_url;
    std::shared_ptr<JavascriptObject> m_bridge;
    std::shared_ptr<UIView> m_bar;
    std::shared_ptr<UILabel> m_titleLabel;
    std::shared_ptr<UINavigationBarButton> m_closeButton;
    std::shared_ptr<DWKWebView> m_webView;
    std::shared_ptr<UILabel> m_bridgeLabel;
};
