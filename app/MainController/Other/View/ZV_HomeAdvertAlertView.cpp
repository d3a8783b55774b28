#include "app/MainController/Other/View/ZV_HomeAdvertAlertView.h"

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Helpers/WindowHelpers.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ParsableURL.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/gestures/UITapGestureRecognizer.h"
#include "platform/ui/imageloading/UIImageViewWebCache.h"
#include "platform/ui/layout/ConstraintMaker.h"

void ZV_HomeAdvertAlertView::show(URLBlock urlBlock)
{
    std::shared_ptr<const ZV_AdvertConfigModel> config = ConfigSingleton::shared().advertConfigModel;
    if (!config || config->index_popup.data.image.empty())
        return;
    std::shared_ptr<UIWindow> window = activeKeyWindow();
    if (!window)
        return;
    auto alert = make(window->bounds());
    alert->setURLBlock(std::move(urlBlock));
    window->addSubview(alert);
}

std::shared_ptr<ZV_HomeAdvertAlertView> ZV_HomeAdvertAlertView::make(const CGRect& frame)
{
    auto view = std::make_shared<ZV_HomeAdvertAlertView>(Passkey {}, frame);
    view->build();
    return view;
}

ZV_HomeAdvertAlertView::ZV_HomeAdvertAlertView(Passkey, const CGRect& frame)
    : UIView(frame)
    , m_bgView(std::make_shared<UIView>())
    , m_contentView(std::make_shared<UIView>())
    , m_imageView(std::make_shared<UIImageView>())
    , m_closeBtn(std::make_shared<UIButton>())
{ }

void ZV_HomeAdvertAlertView::build()
{
    std::weak_ptr<ZV_HomeAdvertAlertView> weakSelf
        = std::static_pointer_cast<ZV_HomeAdvertAlertView>(sharedFromThis());

    m_bgView->setBackgroundColor(UIColor::black().withAlphaComponent(0.3));

    m_imageView->layer()->setCornerRadius(16);
    m_imageView->setClipsToBounds(true);
    m_imageView->setUserInteractionEnabled(true);
    std::shared_ptr<const ZV_AdvertConfigModel> config = ConfigSingleton::shared().advertConfigModel;
    std::string picture = config ? config->index_popup.data.image : std::string {};
    if (parsesAsURL(picture))
        sd_setImage(*m_imageView, picture, placeholderImage());
    else
        m_imageView->setImage(placeholderImage());
    auto tap = std::make_shared<UITapGestureRecognizer>([weakSelf](UIGestureRecognizer&) {
        if (auto self = weakSelf.lock())
            self->pictureTapped();
    });
    tap->numberOfTapsRequired = 1;
    tap->numberOfTouchesRequired = 1;
    m_imageView->addGestureRecognizer(tap);

    m_closeBtn->setImage(UIImage::named("home_close"), UIControlStateNormal);
    m_closeBtn->setAccessibilityIdentifier("advert.close");
    m_closeBtn->addAction(UIControlEventTouchUpInside, [weakSelf](UIControl&) {
        if (auto self = weakSelf.lock())
            self->removeFromSuperview();
    });

    addSubview(m_bgView);
    addSubview(m_contentView);
    m_contentView->addSubview(m_imageView);
    m_contentView->addSubview(m_closeBtn);

    snp(m_bgView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(m_contentView).makeConstraints([](ConstraintMaker& make) { make.center().equalToSuperview(); });
    snp(m_imageView).makeConstraints([](ConstraintMaker& make) {
        make.left().top().right().equalToSuperview();
        make.width().equalTo(280);
        make.height().equalTo(340);
    });
    snp(m_closeBtn).makeConstraints([this](ConstraintMaker& make) {
        make.size().equalTo(CGSize { 44, 44 });
        make.top().equalTo(snp(m_imageView).bottom()).offset(16);
        make.centerX().equalToSuperview();
        make.bottom().equalToSuperview();
    });
}

void ZV_HomeAdvertAlertView::pictureTapped()
{
    // Kept alive until the end: removing it from the window may drop the last owner.
    auto keep = sharedFromThis();
    if (m_urlBlock) {
        std::shared_ptr<const ZV_AdvertConfigModel> config = ConfigSingleton::shared().advertConfigModel;
        URLBlock block = m_urlBlock;
        block(config ? config->index_popup.data.url : std::string {});
    }
    removeFromSuperview();
}

bool ZV_HomeAdvertAlertView::accessibilityPerformEscape()
{
    if (!superview())
        return false;
    // Kept alive until the end: removing it from the window may drop the last owner.
    auto keep = sharedFromThis();
    removeFromSuperview();
    return true;
}
