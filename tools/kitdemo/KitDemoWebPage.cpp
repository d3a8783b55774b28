#include "tools/kitdemo/KitDemoWebPage.h"

#include "platform/ui/UILabel.h"
#include "platform/ui/UINavigationBar.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/web/DWKWebView.h"
#include "tools/kitdemo/KitDemoColors.h"

namespace {

constexpr CGFloat bridgeLineHeight = 72;

// What the page hands over through the bridge shows on the screen.
class KitDemoBridge : public JavascriptObject {
public:
    explicit KitDemoBridge(std::weak_ptr<UILabel> label)
    {
        exportMethod("jsIOS", [label](const std::string& argument) {
            if (auto shown = label.lock())
                shown->setText("页面回传 jsIOS：" + argument);
            return std::string("ok");
        });
    }
};

}

KitDemoWebPage::KitDemoWebPage(std::string url)
    : m_url(std::move(url))
{ }

void KitDemoWebPage::loadView()
{
    UIViewController::loadView();
    const auto& view = viewIfLoaded();
    view->setBackgroundColor(kitdemo::paper());

    m_webView = std::make_shared<DWKWebView>();
    view->addSubview(m_webView);

    m_bar = std::make_shared<UIView>();
    m_bar->setBackgroundColor(kitdemo::mist());
    view->addSubview(m_bar);
    m_titleLabel = std::make_shared<UILabel>();
    m_titleLabel->setText("网页");
    m_titleLabel->setFont(UIFont::systemFont(17, UIFont::Weight::semibold));
    m_titleLabel->setTextColor(kitdemo::ink());
    m_titleLabel->setTextAlignment(NSTextAlignment::center);
    m_bar->addSubview(m_titleLabel);
    std::weak_ptr<UIViewController> weak = weakFromThis();
    m_closeButton = std::make_shared<UINavigationBarButton>("关闭", std::nullopt, [weak] {
        if (auto self = weak.lock())
            self->dismiss(true);
    });
    m_closeButton->setAccessibilityIdentifier("kitdemo.web.close");
    m_bar->addSubview(m_closeButton);

    m_bridgeLabel = std::make_shared<UILabel>();
    m_bridgeLabel->setText("页面尚未回传");
    m_bridgeLabel->setFont(UIFont::systemFont(13));
    m_bridgeLabel->setTextColor(kitdemo::ink());
    m_bridgeLabel->setNumberOfLines(3);
    m_bridgeLabel->setLineBreakMode(NSLineBreakMode::byCharWrapping);
    view->addSubview(m_bridgeLabel);
}

void KitDemoWebPage::viewDidLoad()
{
    UIViewController::viewDidLoad();
    m_bridge = std::make_shared<KitDemoBridge>(m_bridgeLabel);
    m_webView->addJavascriptObject(m_bridge, std::nullopt);
    std::weak_ptr<UIViewController> weak = weakFromThis();
    m_webView->setJavascriptCloseWindowListener([weak] {
        if (auto self = weak.lock())
            self->dismiss(true);
    });
    m_webView->load({ m_url });
}

void KitDemoWebPage::layoutChildren()
{
    const auto& view = viewIfLoaded();
    if (!view || !m_bar)
        return;
    CGRect b = view->bounds();
    UIEdgeInsets safe = UIScreen::main().safeAreaInsets();
    CGFloat barHeight = UINavigationBar::barHeight;
    m_bar->setFrame({ 0, 0, b.width(), safe.top + barHeight });
    m_titleLabel->setFrame({ 80, safe.top, b.width() - 160, barHeight });
    CGSize close = m_closeButton->sizeThatFits({});
    m_closeButton->setFrame({ 16, safe.top, close.width, barHeight });
    CGFloat bridgeTop = b.height() - safe.bottom - bridgeLineHeight;
    CGFloat webTop = safe.top + barHeight;
    m_webView->setFrame({ 0, webTop, b.width(), bridgeTop - webTop });
    m_bridgeLabel->setFrame({ 16, bridgeTop, b.width() - 32, bridgeLineHeight });
}
