#include "app/MainController/Mine/Help/ZV_HelpVC.h"

#include "app/Core/Network/BaseURLs.h"
#include "platform/net/AbsoluteURL.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/web/WKWebView.h"

const std::shared_ptr<WKWebView>& ZV_HelpVC::webView()
{
    if (!m_webView) {
        m_webView = UIView::create<WKWebView>(CGRect {});
        m_webView->setAccessibilityIdentifier("help.web");
    }
    return m_webView;
}

void ZV_HelpVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    setTitle("帮助中心");
    view()->addSubview(webView());
    snp(webView()).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(view()).safeAreaLayoutGuide().top());
        make.left().right().bottom().equalToSuperview();
    });
    std::string address = BaseURLs::help_url();
    if (!isAbsoluteURL(address, { "http", "https" }))
        return;
    webView()->load(URLRequest { address, URLRequestCachePolicy::useProtocolCachePolicy, loadTimeout });
}
