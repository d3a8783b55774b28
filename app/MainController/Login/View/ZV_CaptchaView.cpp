#include "app/MainController/Login/View/ZV_CaptchaView.h"

#include "app/Core/Network/BaseURLs.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ParsableURL.h"
#include "app/Extensions/ViewTapAction.h"
#include "app/MainController/Login/View/ZV_jsApi.h"
#include "platform/ui/UIColor.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/web/DWKWebView.h"

std::shared_ptr<ZV_CaptchaView> ZV_CaptchaView::create(const CGRect& frame)
{
    auto view = std::make_shared<ZV_CaptchaView>(frame);
    view->setupUI();
    return view;
}

std::shared_ptr<ZV_CaptchaView> ZV_CaptchaView::present(std::function<void(const JSON&)> result)
{
    const std::shared_ptr<UIWindow>& window = cachedKeyWindow();
    if (!window)
        return nullptr;
    auto view = create(screenBounds());
    window->addSubview(view);
    view->getResult = std::move(result);
    return view;
}

ZV_CaptchaView::ZV_CaptchaView(const CGRect& frame)
    : UIView(frame)
    , m_api(std::make_shared<ZV_jsApi>())
{ }

const std::shared_ptr<UIView>& ZV_CaptchaView::backgroundView()
{
    if (!m_backgroundView) {
        m_backgroundView = UIView::create();
        m_backgroundView->setBackgroundColor(UIColor::white(0.0, 0.5));
    }
    return m_backgroundView;
}

const std::shared_ptr<DWKWebView>& ZV_CaptchaView::zv_webView()
{
    if (!m_webView) {
        m_webView = UIView::create<DWKWebView>(CGRect {});
        m_webView->setAccessibilityIdentifier("captcha.web");
    }
    return m_webView;
}

void ZV_CaptchaView::setupUI()
{
    addSubview(backgroundView());
    addSubview(zv_webView());
    snp(backgroundView()).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    std::weak_ptr<ZV_CaptchaView> weakSelf = std::static_pointer_cast<ZV_CaptchaView>(sharedFromThis());
    addTapAction(*backgroundView(), [weakSelf](UITapGestureRecognizer&) {
        if (auto self = weakSelf.lock())
            self->dismiss();
    });
    snp(zv_webView()).makeConstraints([](ConstraintMaker& make) {
        make.center().equalToSuperview();
        make.width().height().equalTo(webViewSide);
    });

    // Read now, so that an address replaced by the server-address file applies to the next overlay.
    const std::string& url = BaseURLs::captcha_url();
    if (!parsesAsURL(url))
        return;
    zv_webView()->load(URLRequest { url, URLRequestCachePolicy::useProtocolCachePolicy, loadTimeout });
    m_api->getResult = [weakSelf](const std::string& text) {
        if (auto self = weakSelf.lock())
            self->handleResult(text);
    };
    zv_webView()->addJavascriptObject(m_api, std::nullopt);
    zv_webView()->setJavascriptCloseWindowListener([weakSelf] {
        if (auto self = weakSelf.lock())
            self->dismiss();
    });
}

void ZV_CaptchaView::dismiss()
{
    m_ended = true;
    setAlpha(1.0);
    std::weak_ptr<ZV_CaptchaView> weakSelf = std::static_pointer_cast<ZV_CaptchaView>(sharedFromThis());
    UIView::animate(
        fadeDuration,
        [weakSelf] {
            if (auto self = weakSelf.lock())
                self->setAlpha(0.0);
        },
        [weakSelf](bool) {
            if (auto self = weakSelf.lock())
                self->removeFromSuperview();
        });
}

void ZV_CaptchaView::handleResult(const std::string& text)
{
    if (m_ended)
        return;
    m_ended = true;
    // Keeps the overlay through the caller's work, which may drop the last reference.
    auto keep = sharedFromThis();
    if (getResult)
        getResult(JSON::parse(text));
    dismiss();
}

bool ZV_CaptchaView::accessibilityPerformEscape()
{
    if (m_ended || !superview())
        return false;
    dismiss();
    return true;
}
