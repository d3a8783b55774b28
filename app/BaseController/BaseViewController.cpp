#include "app/BaseController/BaseViewController.h"

#include "app/BaseController/ZVNavigationController.h"
#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Helpers/SessionHelpers.h"
#include "app/MainController/Login/Controller/ZV_LoginViewVC.h"
#include "app/MainController/Root/ZVRootViewController.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/ui/SFSafariViewController.h"
#include "platform/ui/UIAlertController.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/gestures/UITapGestureRecognizer.h"

namespace {

constexpr const char* nothingHereText = "这里什么都没有...";
constexpr const char* loadFailedText = "加载失败，点击重试";

} // namespace

BaseViewController::BaseViewController()
    : m_retry(std::make_shared<std::function<void()>>())
{ }
BaseViewController::~BaseViewController() = default;

void BaseViewController::viewDidLoad()
{
    QMUICommonViewController::viewDidLoad();
    if (auto empty = emptyView()) {
        empty->setTextLabelText(nothingHereText);
        empty->setLoadingViewHidden(true);
        empty->setUserInteractionEnabled(false);
        empty->setImage(zvadaptive::iconImage(UIImage::named("empty")));
        empty->setImageViewInsets({ 0, 0, 8, 0 });
        empty->setTextLabelTextColor(zvadaptive::textColor(colorWithHex("1D1942", 0.3)));
        empty->setTextLabelFont(UIFont::systemFont(14));
    }
    view()->setBackgroundColor(UIColor::systemBackground());
}

void BaseViewController::viewDidLayoutSubviews()
{
    QMUICommonViewController::viewDidLayoutSubviews();
    placeLoginButton();
}

const std::shared_ptr<UIButton>& BaseViewController::loginBtn()
{
    if (m_loginBtn)
        return m_loginBtn;
    m_loginBtn = std::make_shared<UIButton>();
    m_loginBtn->setBackgroundColor(colorWithHex("03FFE1", 1.0));
    m_loginBtn->setFont(UIFont::systemFont(14, UIFont::Weight::medium));
    m_loginBtn->setTitleColor(UIColor::black());
    m_loginBtn->setTitle(std::string("立即登录"));
    m_loginBtn->layer()->setCornerRadius(8);
    m_loginBtn->setContentEdgeInsets({ 10, 24, 10, 24 });
    m_loginBtn->addTarget<BaseViewController>(std::static_pointer_cast<BaseViewController>(sharedFromThis()),
        &BaseViewController::presentLogin, UIControlEventTouchUpInside);
    return m_loginBtn;
}

unsigned BaseViewController::supportedInterfaceOrientations() const
{
    return UIInterfaceOrientationMaskPortrait;
}

void BaseViewController::showEmptyView(
    bool isShow, int type, const std::string& text, std::function<void()> retry)
{
    if (!isShow) {
        hideEmptyView();
        if (m_loginBtn)
            m_loginBtn->removeFromSuperview();
        return;
    }
    QMUICommonViewController::showEmptyView();
    std::shared_ptr<QMUIEmptyView> empty = emptyView();
    if (!empty)
        return;

    if (type == emptyKindNothing) {
        dropRetry();
        empty->setTextLabelText(nothingHereText);
        empty->setImage(zvadaptive::iconImage(UIImage::named("empty")));
        return;
    }
    if (type == emptyKindLogin) {
        dropRetry();
        if (isLoggedIn()) {
            empty->setTextLabelText(nothingHereText);
            empty->setImage(zvadaptive::iconImage(UIImage::named("empty")));
            if (m_loginBtn)
                m_loginBtn->removeFromSuperview();
            return;
        }
        empty->setTextLabelText(text);
        empty->setImage(zvadaptive::iconImage(UIImage::named("empty_login")));
        view()->addSubview(loginBtn());
        placeLoginButton();
        return;
    }
    empty->setTextLabelText(loadFailedText);
    empty->setImage(zvadaptive::iconImage(UIImage::named("empty_wifi")));
    attachRetry(std::move(retry));
}

void BaseViewController::attachRetry(std::function<void()> retry)
{
    std::shared_ptr<QMUIEmptyView> empty = emptyView();
    if (!empty)
        return;
    // One recogniser for the life of the screen; each load-failed call only swaps what it runs,
    // so a tap sends one request however often loading failed.
    *m_retry = std::move(retry);
    if (!m_emptyTap) {
        std::weak_ptr<std::function<void()>> weakRetry = m_retry;
        m_emptyTap = std::make_shared<UITapGestureRecognizer>([weakRetry](UIGestureRecognizer&) {
            auto current = weakRetry.lock();
            if (!current || !*current)
                return;
            // Copied: the retry may show the empty state again and replace itself.
            std::function<void()> run = *current;
            run();
        });
        m_emptyTap->numberOfTapsRequired = 1;
        m_emptyTap->numberOfTouchesRequired = 1;
        empty->addGestureRecognizer(m_emptyTap);
    }
    empty->setUserInteractionEnabled(true);
}

void BaseViewController::dropRetry()
{
    *m_retry = nullptr;
    if (auto empty = emptyView())
        empty->setUserInteractionEnabled(false);
}

void BaseViewController::placeLoginButton()
{
    if (!m_loginBtn || m_loginBtn->superview() != viewIfLoaded())
        return;
    std::shared_ptr<QMUIEmptyView> empty = emptyView();
    if (!empty)
        return;
    empty->layoutIfNeeded();
    const std::shared_ptr<QMUILabel>& label = empty->textLabel();
    CGRect labelFrame = label->superview() ? label->superview()->convert(label->frame(), viewIfLoaded().get())
                                           : label->frame();
    m_loginBtn->sizeToFit();
    CGSize size = m_loginBtn->frame().size;
    CGFloat width = viewIfLoaded()->bounds().size.width;
    m_loginBtn->setFrame({ (width - size.width) / 2, labelFrame.maxY() + 10, size.width, size.height });
}

void BaseViewController::presentLogin()
{
    auto login = std::make_shared<ZV_LoginViewVC>();
    auto navigation = std::make_shared<ZVNavigationController>(login);
    navigation->setModalPresentationStyle(UIModalPresentationStyle::overFullScreen);
    present(navigation, true);
}

void BaseViewController::openSafari(const std::optional<std::string>& urlString)
{
    if (!urlString)
        return;
    // Only absolute http and https addresses open; make() refuses every other text.
    std::shared_ptr<SFSafariViewController> browser = SFSafariViewController::make(*urlString);
    if (!browser)
        return;
    present(browser, true);
}

std::shared_ptr<UIImageView> BaseViewController::rootBackgroundView() const
{
    std::shared_ptr<UINavigationController> navigation = navigationController();
    if (!navigation)
        return nullptr;
    for (const auto& controller : navigation->viewControllers()) {
        if (auto root = std::dynamic_pointer_cast<ZVRootViewController>(controller))
            return root->imageBgView();
    }
    return nullptr;
}

void BaseViewController::showRootBackground(const std::string& imageName)
{
    std::shared_ptr<UIImageView> background = rootBackgroundView();
    if (!background)
        return;
    background->setImage(UIImage::named(imageName));
    background->setHidden(false);
}

void BaseViewController::hideRootBackground()
{
    if (auto background = rootBackgroundView())
        background->setHidden(true);
}

void BaseViewController::showAlert(const std::string& title, const std::string& cancelTitle,
    const std::string& confirmTitle, std::function<void()> confirm)
{
    auto alert = UIAlertController::make(title, {}, UIAlertControllerStyle::alert);
    alert->addAction(UIAlertAction::make(cancelTitle, UIAlertActionStyle::cancel));
    alert->addAction(UIAlertAction::make(
        confirmTitle, UIAlertActionStyle::destructive, [confirm = std::move(confirm)](UIAlertAction&) {
            if (confirm)
                confirm();
        }));
    present(alert, true);
}
