#include "platform/ui/SFSafariViewController.h"

#include "platform/ui/UIScreen.h"

#include <algorithm>
#include <cctype>

namespace {

std::string lowercase(std::string s)
{
    std::transform(
        s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// The host of "scheme://[user@]host[:port][/...]", or nothing when the text has no such form.
std::string hostOf(const std::string& url)
{
    auto start = url.find("://");
    if (start == std::string::npos)
        return {};
    start += 3;
    auto end = url.find_first_of("/?#", start);
    std::string authority = url.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (auto at = authority.rfind('@'); at != std::string::npos)
        authority.erase(0, at + 1);
    if (!authority.empty() && authority.front() == '[') {
        auto close = authority.find(']');
        return close == std::string::npos ? std::string {} : authority.substr(0, close + 1);
    }
    if (auto colon = authority.find(':'); colon != std::string::npos)
        authority.erase(colon);
    return authority;
}

}

bool SFSafariViewController::canOpen(const std::string& url)
{
    bool clean = std::none_of(url.begin(), url.end(), [](unsigned char c) { return c <= 0x20 || c == 0x7F; });
    if (!clean)
        return false;
    auto colon = url.find("://");
    if (colon == std::string::npos)
        return false;
    std::string scheme = lowercase(url.substr(0, colon));
    if (scheme != "http" && scheme != "https")
        return false;
    return !hostOf(url).empty();
}

std::shared_ptr<SFSafariViewController> SFSafariViewController::make(const std::string& url)
{
    if (!canOpen(url))
        return nullptr;
    return std::make_shared<SFSafariViewController>(Passkey {}, url);
}

SFSafariViewController::SFSafariViewController(Passkey, std::string url)
    : m_url(std::move(url))
{ }

void SFSafariViewController::done()
{
    dismiss(true);
}

void SFSafariViewController::loadView()
{
    UIViewController::loadView();
    const auto& view = viewIfLoaded();
    view->setBackgroundColor(UIColor::systemBackground());

    m_webView = UIView::create<WKWebView>();
    m_webView->setAccessibilityIdentifier("browser.web");
    view->addSubview(m_webView);

    m_toolbar = UIView::create();
    m_toolbar->setBackgroundColor(UIColor::dynamic(UIColor::white(0.97), UIColor::white(0.12)));
    view->addSubview(m_toolbar);

    std::weak_ptr<UIViewController> weak = weakFromThis();
    m_doneButton = UIView::create<UINavigationBarButton>("完成", std::nullopt, [weak] {
        if (auto self = std::static_pointer_cast<SFSafariViewController>(weak.lock()))
            self->done();
    });
    m_doneButton->setFont(UIFont::systemFont(17, UIFont::Weight::semibold));
    m_doneButton->setAccessibilityIdentifier("done");
    m_toolbar->addSubview(m_doneButton);

    m_hostLabel = UIView::create<UILabel>();
    m_hostLabel->setText(hostOf(m_url));
    m_hostLabel->setFont(UIFont::systemFont(13, UIFont::Weight::medium));
    m_hostLabel->setTextAlignment(NSTextAlignment::center);
    m_toolbar->addSubview(m_hostLabel);

    m_webView->load(URLRequest { m_url, URLRequestCachePolicy::useProtocolCachePolicy, loadTimeout });
}

void SFSafariViewController::layoutChildren()
{
    const auto& view = viewIfLoaded();
    if (!view || !m_toolbar)
        return;
    CGRect b = view->bounds();
    CGFloat top = UIScreen::main().safeAreaInsets().top;
    CGFloat barHeight = UINavigationBar::barHeight;
    m_toolbar->setFrame({ 0, 0, b.width(), top + barHeight });
    CGSize done = m_doneButton->sizeThatFits({});
    m_doneButton->setFrame({ 16, top, done.width, barHeight });
    CGFloat hostX = 16 + done.width + 12;
    m_hostLabel->setFrame({ hostX, top, std::max<CGFloat>(0, b.width() - 2 * hostX), barHeight });
    CGFloat pageTop = top + barHeight;
    m_webView->setFrame({ 0, pageTop, b.width(), std::max<CGFloat>(0, b.height() - pageTop) });
}
