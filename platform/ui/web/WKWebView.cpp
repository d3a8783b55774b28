#include "platform/ui/web/WKWebView.h"

#include "platform/foundation/Log.h"
#include "platform/net/HTTPClient.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/web/HTMLText.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

// The shown text is cut to what a screen can hold; the page keeps the whole of it.
constexpr std::size_t maxShownTextBytes = 4000;
constexpr CGFloat margin = 16;

NSError webError(const char* domain, long code, std::string description, const std::string& url)
{
    return { domain, code,
        { { "NSLocalizedDescription", std::move(description) }, { "NSErrorFailingURLStringKey", url } } };
}

NSError errorFor(const HTTPError& error, const std::string& url)
{
    using Code = HTTPError::Code;
    switch (error.code) {
    case Code::InvalidURL:
        return webError(WKWebView::urlErrorDomain, WKWebView::unsupportedURL, "不支持的网址。", url);
    case Code::CannotFindHost:
        return webError(
            WKWebView::urlErrorDomain, WKWebView::cannotFindHost, "未能找到使用指定主机名的服务器。", url);
    case Code::CannotConnect:
        return webError(WKWebView::urlErrorDomain, WKWebView::cannotConnectToHost, "未能连接到服务器。", url);
    case Code::TimedOut:
        return webError(WKWebView::urlErrorDomain, WKWebView::timedOut, "请求超时。", url);
    case Code::SecureConnectionFailed:
        return webError(WKWebView::urlErrorDomain, WKWebView::secureConnectionFailed,
            "无法建立与该服务器的安全连接。", url);
    case Code::ConnectionLost:
        return webError(WKWebView::urlErrorDomain, WKWebView::networkConnectionLost, "网络连接已中断。", url);
    case Code::TooLarge:
        return webError(
            WKWebView::urlErrorDomain, WKWebView::dataLengthExceedsMaximum, "网页太大，无法显示。", url);
    case Code::Cancelled:
        return webError(WKWebView::urlErrorDomain, WKWebView::cancelled, "已取消。", url);
    case Code::InsecureRedirect:
        return webError(WKWebView::urlErrorDomain, WKWebView::secureConnectionFailed,
            "无法建立与该服务器的安全连接。", url);
    case Code::EmptyBody:
    case Code::Other:
        break;
    }
    return webError(WKWebView::urlErrorDomain, WKWebView::unknown, "未能打开网页。", url);
}

std::string lowercaseText(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The first bytes of a valid UTF-8 text, not splitting a character.
std::string prefixOf(const std::string& text, std::size_t bytes)
{
    if (text.size() <= bytes)
        return text;
    while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80)
        --bytes;
    return text.substr(0, bytes) + "…";
}

}

WKWebView::WKWebView(const CGRect& frame)
    : UIView(frame)
    , m_content(std::make_shared<UIView>())
    , m_titleLabel(std::make_shared<UILabel>())
    , m_textLabel(std::make_shared<UILabel>())
{
    setBackgroundColor(UIColor::white());
    setClipsToBounds(true);
    m_titleLabel->setFont(UIFont::boldSystemFont(17));
    m_titleLabel->setTextColor(UIColor::black());
    m_titleLabel->setNumberOfLines(2);
    m_textLabel->setFont(UIFont::systemFont(15));
    m_textLabel->setTextColor(UIColor::white(0.2));
    m_textLabel->setNumberOfLines(0);
    m_content->addSubview(m_titleLabel);
    m_content->addSubview(m_textLabel);
}

WKWebView::~WKWebView()
{
    if (m_task)
        m_task->cancel();
}

void WKWebView::load(const URLRequest& request)
{
    stopLoading();
    std::uint64_t navigation = ++m_navigation;
    m_url = request.url;
    m_loading = true;
    m_hasPage = false;
    m_error.reset();
    m_title.clear();
    m_text.clear();
    showPage();

    HTTPRequest get;
    get.url = request.url;
    get.timeout = request.timeoutInterval;
    get.emptyBody = EmptyBodyRule::Accept;
    get.maxBodySize = maxPageBytes;
    std::weak_ptr<UIView> weak = weakFromThis();
    m_task = HTTPClient::shared().send(std::move(get), [weak, navigation](HTTPResponse response) {
        if (auto self = std::static_pointer_cast<WKWebView>(weak.lock()))
            self->finish(navigation, response);
    });
}

void WKWebView::stopLoading()
{
    if (!m_loading)
        return;
    // A later reply of the stopped load is ignored by its navigation number.
    ++m_navigation;
    m_loading = false;
    if (m_task)
        m_task->cancel();
    m_task.reset();
}

void WKWebView::finish(std::uint64_t navigation, const HTTPResponse& response)
{
    if (navigation != m_navigation || !m_loading)
        return;
    m_loading = false;
    m_task.reset();
    if (response.error)
        return fail(errorFor(*response.error, m_url));

    std::string contentType = lowercaseText(response.header("Content-Type").value_or(""));
    bool plain = contentType.starts_with("text/plain");
    bool page = contentType.empty() || contentType.starts_with("text/html")
        || contentType.starts_with("application/xhtml");
    if (!plain && !page) {
        std::string type = contentType.substr(0, contentType.find(';'));
        return fail(
            webError(webKitErrorDomain, frameLoadInterrupted, "无法显示此类内容（" + type + "）。", m_url));
    }

    std::string source;
    if (auto text = response.text())
        source = std::move(*text);
    else if (response.body)
        source.assign(response.body->begin(), response.body->end());
    HTMLText text = plain ? HTMLTextExtractor::plainText(source) : HTMLTextExtractor::extract(source);
    m_title = std::move(text.title);
    m_text = std::move(text.text);
    m_hasPage = true;
    showPage();
    if (auto delegate = m_delegate.lock())
        delegate->didFinishNavigation(*this);
}

void WKWebView::fail(NSError error)
{
    Log::write("WKWebView: " + m_url + ": " + error.localizedDescription());
    m_error = std::move(error);
    showFailure();
    if (auto delegate = m_delegate.lock())
        delegate->didFailNavigation(*this, *m_error);
}

void WKWebView::showPage()
{
    m_titleLabel->setText(m_title);
    m_titleLabel->setHidden(m_title.empty());
    m_textLabel->setText(prefixOf(m_text, maxShownTextBytes));
    m_textLabel->setTextColor(UIColor::white(0.2));
    setNeedsLayout();
}

void WKWebView::showFailure()
{
    m_titleLabel->setText("无法打开网页");
    m_titleLabel->setHidden(false);
    m_textLabel->setText(m_error->localizedDescription() + "\n" + prefixOf(m_url, 300));
    m_textLabel->setTextColor(UIColor::gray());
    setNeedsLayout();
}

void WKWebView::layoutSubviews()
{
    UIView::layoutSubviews();
    // Attached here, not in the constructor: a view can only be a superview once it is owned.
    if (m_content->superview().get() != this)
        addSubview(m_content);
    CGRect b = bounds();
    CGFloat width = std::max<CGFloat>(0, b.width() - 2 * margin);
    m_content->setFrame(b);
    CGFloat y = margin;
    if (!m_titleLabel->isHidden()) {
        CGFloat height = std::ceil(m_titleLabel->sizeThatFits({ width, 0 }).height);
        m_titleLabel->setFrame({ margin, y, width, height });
        y += height + 10;
    }
    // Text below the bottom edge is clipped with the view.
    CGFloat height = std::ceil(m_textLabel->sizeThatFits({ width, 0 }).height);
    m_textLabel->setFrame({ margin, y, width, height });
}

std::string WKWebView::dumpAttributes() const
{
    std::string state = m_loading ? "loading" : m_hasPage ? "page" : m_error ? "failed" : "empty";
    return "url=\"" + m_url + "\" state=" + state;
}
