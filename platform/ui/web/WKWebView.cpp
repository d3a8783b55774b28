#include "platform/ui/web/WKWebView.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/Log.h"
#include "platform/net/AbsoluteURL.h"
#include "platform/net/HTTPClient.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/controls/UIKeyboard.h"
#include "platform/ui/gestures/UITouch.h"
#include "platform/ui/web/WebEngine.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr CGFloat margin = 16;

NSError webError(const char* domain, long code, std::string description, const std::string& url)
{
    return { domain, code,
        { { "NSLocalizedDescription", std::move(description) }, { "NSErrorFailingURLStringKey", url } } };
}

NSError errorFor(const webengine::Failure& failure, const std::string& url)
{
    using Kind = webengine::FailureKind;
    switch (failure.kind) {
    case Kind::badURL:
        return webError(WKWebView::urlErrorDomain, WKWebView::unsupportedURL, "不支持的网址。", url);
    case Kind::cannotFindHost:
        return webError(
            WKWebView::urlErrorDomain, WKWebView::cannotFindHost, "未能找到使用指定主机名的服务器。", url);
    case Kind::cannotConnect:
        return webError(WKWebView::urlErrorDomain, WKWebView::cannotConnectToHost, "未能连接到服务器。", url);
    case Kind::timedOut:
        return webError(WKWebView::urlErrorDomain, WKWebView::timedOut, "请求超时。", url);
    case Kind::secureConnectionFailed:
        return webError(WKWebView::urlErrorDomain, WKWebView::secureConnectionFailed,
            "无法建立与该服务器的安全连接。", url);
    case Kind::untrustedCertificate:
        return webError(WKWebView::urlErrorDomain, WKWebView::serverCertificateUntrusted,
            "此服务器的证书无效，无法建立安全连接。", url);
    case Kind::connectionLost:
        return webError(WKWebView::urlErrorDomain, WKWebView::networkConnectionLost, "网络连接已中断。", url);
    case Kind::cancelled:
        return webError(WKWebView::urlErrorDomain, WKWebView::cancelled, "已取消。", url);
    case Kind::unsupportedContent:
        return webError(
            WKWebView::webKitErrorDomain, WKWebView::frameLoadInterrupted, "无法显示此类内容。", url);
    case Kind::processEnded:
        return webError(
            WKWebView::wkErrorDomain, WKWebView::webContentProcessTerminated, "网页已停止响应。", url);
    case Kind::other:
        break;
    }
    return webError(WKWebView::urlErrorDomain, WKWebView::unknown, "未能打开网页。", url);
}

// The first characters of a valid UTF-8 text, not splitting one.
std::string prefixOf(const std::string& text, std::size_t bytes)
{
    if (text.size() <= bytes)
        return text;
    while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80)
        --bytes;
    return text.substr(0, bytes) + "…";
}

enum TouchPhase { touchDown, touchMove, touchUp, touchCancel };

}

// The engine's page reports to its view through this; owned by the view, it outlives the page.
class WKWebView::Client final : public webengine::PageClient {
public:
    explicit Client(WKWebView& view)
        : m_view(view)
    { }

    void pageCommitted() override { m_view.didCommit(); }
    void pageFinished() override { m_view.didFinish(); }
    void pageFailed(const webengine::Failure& failure) override
    {
        Log::write("WKWebView: " + m_view.m_url + ": " + failure.description);
        m_view.didFail(errorFor(failure, m_view.m_url));
    }
    void pageTitleChanged(const std::string& title) override
    {
        if (m_view.m_hasPage || m_view.m_loading)
            m_view.m_title = title;
    }
    void pageTextChanged(const std::string& text) override
    {
        if (m_view.m_hasPage)
            m_view.m_text = text;
    }
    void pagePainted(cairo_surface_t* image) override { m_view.didPaint(image); }
    void pageDrawn() override { m_view.m_drawn = m_view.m_hasPage; }
    std::optional<std::string> pageCalled(const std::string& method, const std::string& argument) override
    {
        // The call may replace the page or drop the view: keep it alive through the call.
        auto keep = m_view.sharedFromThis();
        return m_view.pageCalledBridge(method, argument);
    }
    void pageAsksToClose() override
    {
        auto keep = m_view.sharedFromThis();
        m_view.pageAskedToClose();
    }
    void pageProcessEnded(const webengine::Failure& failure) override
    {
        m_view.didEndProcess(errorFor(failure, m_view.m_url));
    }
    void pageEditingChanged(bool editing) override { m_view.editingChanged(editing); }

private:
    WKWebView& m_view;
};

WKWebView::WKWebView(const CGRect& frame)
    : UIView(frame)
    , m_pageView(std::make_shared<UIView>())
    , m_content(std::make_shared<UIView>())
    , m_titleLabel(std::make_shared<UILabel>())
    , m_textLabel(std::make_shared<UILabel>())
{
    setBackgroundColor(UIColor::white());
    setClipsToBounds(true);
    m_pageView->setUserInteractionEnabled(false);
    m_pageView->layer()->setContentsGravity(CALayerContentsGravity::topLeft);
    m_content->setUserInteractionEnabled(false);
    m_titleLabel->setFont(UIFont::boldSystemFont(17));
    m_titleLabel->setTextColor(UIColor::black());
    m_titleLabel->setNumberOfLines(2);
    m_textLabel->setFont(UIFont::systemFont(15));
    m_textLabel->setTextColor(UIColor::gray());
    m_textLabel->setNumberOfLines(0);
    m_content->addSubview(m_titleLabel);
    m_content->addSubview(m_textLabel);
    m_content->setHidden(true);
}

WKWebView::~WKWebView()
{
    // The page first: it may still report while it goes.
    m_page.reset();
}

webengine::Page* WKWebView::page()
{
    if (m_page)
        return m_page.get();
    webengine::Engine* engine = WebEngine::shared();
    if (!engine)
        return nullptr;
    m_client = std::make_unique<Client>(*this);
    // The page starts at the size the view is about to have: its tree is laid out now, as it
    // would be before the next frame anyway, rather than at the size it had when it was made.
    UIView* top = this;
    while (auto parent = top->superview())
        top = parent.get();
    top->layoutIfNeeded();
    webengine::PageOptions options;
    options.bridge = wantsScriptBridge();
    m_page = engine->makePage(*m_client, options);
    CGRect b = bounds();
    m_page->resize(b.width(), b.height(), UIScreen::main().scale());
    return m_page.get();
}

void WKWebView::load(const URLRequest& request)
{
    stopLoading();
    std::uint64_t navigation = ++m_navigation;
    m_url = request.url;
    m_loading = true;
    m_hasPage = false;
    m_committed = false;
    m_drawn = false;
    m_paintedPixels = {};
    m_error.reset();
    m_title.clear();
    m_text.clear();
    showPage();

    if (!isAbsoluteURL(request.url, { "http", "https" }))
        return failSoon(navigation, webError(urlErrorDomain, unsupportedURL, "不支持的网址。", request.url));
    if (!page()) {
        std::string whyNot;
        WebEngine::shared(&whyNot);
        return failSoon(
            navigation, webError(urlErrorDomain, unknown, "无法显示网页：" + whyNot, request.url));
    }
    m_page->load(request.url, HTTPClient::shared().trustedCAFile());
    startTimeout(navigation, request.timeoutInterval);
}

void WKWebView::failSoon(std::uint64_t navigation, NSError error)
{
    // As a failure of the engine would: on the main queue, after load() has returned.
    std::weak_ptr<UIView> weak = weakFromThis();
    DispatchQueue::main().async([weak, navigation, error = std::move(error)] {
        auto self = std::static_pointer_cast<WKWebView>(weak.lock());
        if (self && self->m_navigation == navigation && self->m_loading)
            self->didFail(error);
    });
}

void WKWebView::startTimeout(std::uint64_t navigation, double seconds)
{
    if (!std::isfinite(seconds) || seconds <= 0)
        seconds = 60;
    std::weak_ptr<UIView> weak = weakFromThis();
    DispatchQueue::main().asyncAfter(DispatchTime::now() + seconds, [weak, navigation] {
        auto self = std::static_pointer_cast<WKWebView>(weak.lock());
        if (!self || self->m_navigation != navigation || !self->m_loading)
            return;
        if (self->m_page)
            self->m_page->stop();
        Log::write("WKWebView: " + self->m_url + ": no page within the time-out");
        self->didFail(webError(urlErrorDomain, timedOut, "请求超时。", self->m_url));
    });
}

void WKWebView::stopLoading()
{
    if (!m_loading)
        return;
    // A later report of the stopped load is ignored by its navigation number.
    ++m_navigation;
    m_loading = false;
    if (m_page)
        m_page->stop();
}

void WKWebView::didCommit()
{
    // A load the page started itself (a link) is followed like one of ours.
    m_loading = true;
    m_committed = true;
    m_drawn = false;
    m_paintedPixels = {};
    m_error.reset();
    m_text.clear();
    showPage();
}

void WKWebView::didFinish()
{
    if (!m_loading)
        return;
    m_loading = false;
    m_hasPage = true;
    showPage();
    auto keep = sharedFromThis();
    if (auto delegate = m_delegate.lock())
        delegate->didFinishNavigation(*this);
}

void WKWebView::didFail(NSError error)
{
    m_loading = false;
    m_hasPage = false;
    m_title.clear();
    m_text.clear();
    m_error = std::move(error);
    showFailure();
    auto keep = sharedFromThis();
    if (auto delegate = m_delegate.lock())
        delegate->didFailNavigation(*this, *m_error);
}

void WKWebView::didEndProcess(NSError error)
{
    bool wasLoading = m_loading;
    ++m_navigation;
    editingChanged(false);
    if (wasLoading)
        return didFail(std::move(error));
    m_hasPage = false;
    m_title.clear();
    m_text.clear();
    m_error = std::move(error);
    showFailure();
    auto keep = sharedFromThis();
    if (auto delegate = m_delegate.lock())
        delegate->webContentProcessDidTerminate(*this);
}

void WKWebView::didPaint(cairo_surface_t* image)
{
    // Device pixels: the surface is the view's size at the screen's scale (once the engine has
    // followed the view's last change of size).
    CGFloat scale = UIScreen::main().scale();
    m_pageView->layer()->setContents(UIImage::fromSurface(image, scale));
    if (m_committed)
        m_paintedPixels = { cairo_image_surface_get_width(image), cairo_image_surface_get_height(image) };
}

bool WKWebView::hasPainted() const
{
    CGRect b = bounds();
    CGFloat scale = UIScreen::main().scale();
    return m_drawn && m_paintedPixels.first == std::lround(b.width() * scale)
        && m_paintedPixels.second == std::lround(b.height() * scale);
}

void WKWebView::showPage()
{
    m_content->setHidden(true);
    m_pageView->setHidden(false);
    setNeedsLayout();
}

void WKWebView::showFailure()
{
    m_titleLabel->setText("无法打开网页");
    m_textLabel->setText(m_error->localizedDescription() + "\n" + prefixOf(m_url, 300));
    m_content->setHidden(false);
    m_pageView->setHidden(true);
    m_pageView->layer()->setContents(std::nullopt);
    setNeedsLayout();
}

void WKWebView::layoutSubviews()
{
    UIView::layoutSubviews();
    // Attached here, not in the constructor: a view can only be a superview once it is owned.
    if (m_pageView->superview().get() != this)
        addSubview(m_pageView);
    if (m_content->superview().get() != this)
        addSubview(m_content);
    CGRect b = bounds();
    m_pageView->setFrame(b);
    m_content->setFrame(b);
    if (m_page)
        m_page->resize(b.width(), b.height(), UIScreen::main().scale());
    CGFloat width = std::max<CGFloat>(0, b.width() - 2 * margin);
    CGFloat y = margin;
    CGFloat titleHeight = std::ceil(m_titleLabel->sizeThatFits({ width, 0 }).height);
    m_titleLabel->setFrame({ margin, y, width, titleHeight });
    y += titleHeight + 10;
    // Text below the bottom edge is clipped with the view.
    CGFloat height = std::ceil(m_textLabel->sizeThatFits({ width, 0 }).height);
    m_textLabel->setFrame({ margin, y, width, height });
}

std::string WKWebView::dumpAttributes() const
{
    std::string state = m_loading ? "loading" : m_hasPage ? "page" : m_error ? "failed" : "empty";
    return "url=\"" + m_url + "\" state=" + state;
}

void WKWebView::evaluateJavaScript(const std::string& script, EvaluationCompletion completion)
{
    auto deliver = [completion](std::optional<std::string> json, std::optional<NSError> error) {
        DispatchQueue::main().async([completion, json = std::move(json), error = std::move(error)] {
            if (completion)
                completion(json, error);
        });
    };
    if (!m_hasPage || !m_page)
        return deliver(
            std::nullopt, NSError { wkErrorDomain, 1, { { "NSLocalizedDescription", "没有网页。" } } });
    m_page->evaluate(script, [deliver](std::optional<std::string> json, std::string error) {
        if (json)
            return deliver(std::move(json), std::nullopt);
        // The platform's "a JavaScript exception occurred".
        deliver(std::nullopt, NSError { wkErrorDomain, 4, { { "NSLocalizedDescription", error } } });
    });
}

void WKWebView::terminateWebContentProcessForTesting()
{
    if (m_page)
        m_page->terminateProcess();
}

void WKWebView::touch(int phase, const UITouchSet& touches)
{
    if (!m_page || m_error || touches.empty())
        return;
    CGPoint point = touches.front()->location(this);
    static constexpr webengine::PointerPhase phases[] = { webengine::PointerPhase::down,
        webengine::PointerPhase::move, webengine::PointerPhase::up, webengine::PointerPhase::cancel };
    m_page->pointer(phases[phase], point.x, point.y);
}

void WKWebView::touchesBegan(const UITouchSet& touches, const UIEvent*)
{
    touch(touchDown, touches);
}

void WKWebView::touchesMoved(const UITouchSet& touches, const UIEvent*)
{
    touch(touchMove, touches);
}

void WKWebView::touchesEnded(const UITouchSet& touches, const UIEvent*)
{
    touch(touchUp, touches);
}

void WKWebView::touchesCancelled(const UITouchSet& touches, const UIEvent*)
{
    touch(touchCancel, touches);
}

void WKWebView::scrollByWheel(CGPoint point, CGVector delta)
{
    if (m_page && !m_error)
        m_page->scroll(point.x, point.y, delta.dx, delta.dy);
}

void WKWebView::editingChanged(bool editing)
{
    if (editing == m_editing)
        return;
    m_editing = editing;
    if (editing)
        becomeFirstResponder();
    else if (isFirstResponder())
        resignFirstResponder();
}

bool WKWebView::canBecomeFirstResponder() const
{
    return m_editing && window() != nullptr;
}

bool WKWebView::becomeFirstResponder()
{
    if (isFirstResponder())
        return true;
    UIKeyboard::Handover handover;
    if (!UIView::becomeFirstResponder())
        return false;
    UIKeyboard::shared().inputDidBecomeFirstResponder();
    return true;
}

bool WKWebView::resignFirstResponder()
{
    if (!isFirstResponder())
        return UIView::resignFirstResponder();
    if (!UIView::resignFirstResponder())
        return false;
    // The keyboard goes: the page's field loses the focus as it would on the phone.
    if (m_editing && m_page)
        m_page->evaluate("document.activeElement && document.activeElement.blur()", {});
    m_editing = false;
    UIKeyboard::shared().inputDidResignFirstResponder();
    return true;
}

void WKWebView::insertText(const std::string& text)
{
    if (!m_page || !m_editing)
        return;
    std::size_t start = 0;
    for (;;) {
        std::size_t newline = text.find('\n', start);
        std::string piece
            = text.substr(start, newline == std::string::npos ? std::string::npos : newline - start);
        if (!piece.empty())
            m_page->insertText(piece);
        if (newline == std::string::npos)
            break;
        m_page->key(webengine::Key::enter);
        start = newline + 1;
    }
}

void WKWebView::deleteBackward()
{
    if (m_page && m_editing)
        m_page->key(webengine::Key::backspace);
}
