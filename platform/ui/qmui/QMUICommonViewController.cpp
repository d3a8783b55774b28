#include "platform/ui/qmui/QMUICommonViewController.h"

#include "platform/ui/qmui/QMUIConfiguration.h"

QMUICommonViewController::QMUICommonViewController()
{
    setHidesBottomBarWhenPushed(QMUIConfiguration::sharedInstance().hidesBottomBarWhenPushedInitially);
}

void QMUICommonViewController::viewDidLoad()
{
    UIViewController::viewDidLoad();
    const auto& config = QMUIConfiguration::sharedInstance();
    if (!view()->backgroundColor() && config.backgroundColor)
        view()->setBackgroundColor(config.backgroundColor);
    initSubviews();
}

void QMUICommonViewController::viewWillAppear(bool animated)
{
    UIViewController::viewWillAppear(animated);
    setupNavigationItems();
}

void QMUICommonViewController::viewDidLayoutSubviews()
{
    UIViewController::viewDidLayoutSubviews();
    layoutEmptyView();
}

std::shared_ptr<QMUIEmptyView> QMUICommonViewController::emptyView()
{
    if (!m_emptyView && isViewLoaded())
        m_emptyView = std::make_shared<QMUIEmptyView>(viewIfLoaded()->bounds());
    return m_emptyView;
}

void QMUICommonViewController::showEmptyView()
{
    loadViewIfNeeded();
    view()->addSubview(emptyView());
    layoutEmptyView();
}

void QMUICommonViewController::showEmptyViewWithLoading()
{
    loadViewIfNeeded();
    auto empty = emptyView();
    empty->setLoadingViewHidden(false);
    empty->setImage(std::nullopt);
    empty->setTextLabelText({});
    empty->setDetailTextLabelText({});
    empty->setActionButtonTitle({});
    empty->setActionButtonAction({});
    showEmptyView();
}

void QMUICommonViewController::showEmptyView(std::optional<UIImage> image, std::string text,
    std::string detailText, std::string buttonTitle, std::function<void()> buttonAction)
{
    loadViewIfNeeded();
    auto empty = emptyView();
    empty->setLoadingViewHidden(true);
    empty->setImage(std::move(image));
    empty->setTextLabelText(std::move(text));
    empty->setDetailTextLabelText(std::move(detailText));
    empty->setActionButtonTitle(std::move(buttonTitle));
    empty->setActionButtonAction(std::move(buttonAction));
    showEmptyView();
}

void QMUICommonViewController::hideEmptyView()
{
    if (m_emptyView)
        m_emptyView->removeFromSuperview();
}

bool QMUICommonViewController::isEmptyViewShowing() const
{
    return m_emptyView && m_emptyView->superview() != nullptr;
}

bool QMUICommonViewController::layoutEmptyView()
{
    if (!isEmptyViewShowing())
        return false;
    m_emptyView->setFrame(viewIfLoaded()->bounds());
    m_emptyView->layoutIfNeeded();
    return true;
}

unsigned QMUICommonViewController::supportedInterfaceOrientations() const
{
    return QMUIConfiguration::sharedInstance().supportedOrientationMask;
}

UIStatusBarStyle QMUICommonViewController::preferredStatusBarStyle() const
{
    return QMUIConfiguration::sharedInstance().defaultStatusBarStyle;
}
