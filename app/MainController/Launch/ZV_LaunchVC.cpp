#include "app/MainController/Launch/ZV_LaunchVC.h"

#include "app/BaseController/ZVNavigationController.h"
#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Core/Start/AppDelegate.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Launch/ZV_LaunchContentView.h"
#include "app/MainController/Root/ZVRootViewController.h"
#include "platform/dispatch/Timer.h"
#include "platform/ui/SFSafariViewController.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIColor.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UIImage.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/gestures/UITapGestureRecognizer.h"
#include "platform/ui/imageloading/UIImageViewWebCache.h"
#include "platform/ui/layout/ConstraintMaker.h"

#include <string>

ZV_LaunchVC::~ZV_LaunchVC()
{
    if (m_timer)
        m_timer->invalidate();
}

const std::shared_ptr<ZV_LaunchContentView>& ZV_LaunchVC::contentView()
{
    if (m_contentView)
        return m_contentView;
    m_contentView = UIView::create<ZV_LaunchContentView>();
    m_contentView->setAccessibilityIdentifier("launch.content");
    std::weak_ptr<UIViewController> weakSelf = weakFromThis();
    auto tap = std::make_shared<UITapGestureRecognizer>([weakSelf](UIGestureRecognizer&) {
        if (auto self = std::static_pointer_cast<ZV_LaunchVC>(weakSelf.lock()))
            self->advertTapped();
    });
    tap->numberOfTapsRequired = 1;
    tap->numberOfTouchesRequired = 1;
    m_contentView->addGestureRecognizer(tap);
    return m_contentView;
}

const std::shared_ptr<UIButton>& ZV_LaunchVC::skipBtn()
{
    if (m_skipBtn)
        return m_skipBtn;
    m_skipBtn = UIView::create<UIButton>(UIButtonType::custom);
    m_skipBtn->setBackgroundColor(UIColor::black().withAlphaComponent(0.3));
    m_skipBtn->setFont(UIFont::systemFont(14, UIFont::Weight::medium));
    m_skipBtn->setTitleColor(UIColor::white());
    m_skipBtn->layer()->setCornerRadius(16);
    m_skipBtn->setContentEdgeInsets({ 6, 16, 6, 16 });
    m_skipBtn->setHidden(true);
    m_skipBtn->setAccessibilityIdentifier("launch.skip");
    std::weak_ptr<ZV_LaunchVC> weakSelf = std::static_pointer_cast<ZV_LaunchVC>(sharedFromThis());
    m_skipBtn->addTarget(weakSelf, &ZV_LaunchVC::goRoot, UIControlEventTouchUpInside);
    return m_skipBtn;
}

void ZV_LaunchVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    const std::shared_ptr<UIView>& root = view();

    root->addSubview(contentView());
    snp(contentView()).makeConstraints([&](ConstraintMaker& make) { make.edges().equalToSuperview(); });

    root->addSubview(skipBtn());
    snp(skipBtn()).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(statusBarHeight() + 10);
        make.right().equalToSuperview().offset(-24);
    });

    // Every outcome ends in showAdvert, once, the sign-in codes included: the launch must end
    // whatever the server says. A screen gone by then needs nothing.
    std::weak_ptr<ZV_LaunchVC> weakSelf = std::static_pointer_cast<ZV_LaunchVC>(sharedFromThis());
    ZV_Network::shared().request(
        HTTPMethod::GET, BaseURLs::main_url(), "v1/advert/config", JSON::object(),
        [weakSelf](std::optional<JSON> json, std::optional<NSError>) {
            ZV_Network::storeAdvertConfig(json, [weakSelf] {
                if (auto self = weakSelf.lock())
                    self->showAdvert();
            });
        },
        ZV_Network::SignInReplies::Complete);
}

void ZV_LaunchVC::showAdvert()
{
    // A second reply must not start a second countdown.
    if (m_timer)
        return;
    const std::shared_ptr<UIImageView>& imageView = contentView()->imageView();
    const auto& adverts = ConfigSingleton::shared().advertConfigModel;
    std::optional<UIImage> launch = UIImage::named("launch");
    if (adverts && SFSafariViewController::canOpen(adverts->start.data.image))
        sd_setImage(*imageView, adverts->start.data.image, launch);
    else
        imageView->setImage(launch);

    std::weak_ptr<ZV_LaunchVC> weakSelf = std::static_pointer_cast<ZV_LaunchVC>(sharedFromThis());
    m_timer = Timer::scheduledTimer(1.0, true, [weakSelf](Timer& timer) {
        auto self = weakSelf.lock();
        if (!self) {
            timer.invalidate();
            return;
        }
        self->updataSecond();
    });
    m_timer->fire();
}

void ZV_LaunchVC::updataSecond()
{
    const std::shared_ptr<UIButton>& button = skipBtn();
    button->setHidden(false);
    button->setTitle(std::string(skipPrefix) + std::to_string(m_second));
    if (m_second != 0)
        --m_second;
    else
        goRoot();
}

void ZV_LaunchVC::advertTapped()
{
    const auto& adverts = ConfigSingleton::shared().advertConfigModel;
    if (!adverts)
        return;
    // Only absolute http and https links open; anything else from the server does nothing.
    auto browser = SFSafariViewController::make(adverts->start.data.url);
    if (!browser)
        return;
    present(browser, true);
}

void ZV_LaunchVC::goRoot()
{
    // A login screen over the splash (the sign-in ended meanwhile) would leave with this screen:
    // the viewer finishes with it first, and the countdown's next tick at 0 brings the root.
    if (ZV_Network::shared().ui().isLoginPresented())
        return;
    if (m_timer) {
        m_timer->invalidate();
        m_timer.reset();
    }
    auto delegate = std::dynamic_pointer_cast<AppDelegate>(UIApplication::shared().delegate());
    auto window = delegate ? delegate->window() : nullptr;
    if (!window)
        return;
    // This screen goes with the old root; keep it until the call is over.
    auto keep = sharedFromThis();
    auto root = std::make_shared<ZVRootViewController>();
    window->setRootViewController(std::make_shared<ZVNavigationController>(root));
    window->makeKeyAndVisible();
}
