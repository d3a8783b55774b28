#include "app/MainController/Detail/View/ZV_PlayerADView.h"

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ParsableURL.h"
#include "app/Extensions/ViewTapAction.h"
#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "platform/ui/SFSafariViewController.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/imageloading/UIImageViewWebCache.h"
#include "platform/ui/layout/ConstraintMaker.h"

std::shared_ptr<ZV_PlayerADContentView> ZV_PlayerADContentView::make(const CGRect& frame)
{
    auto view = std::make_shared<ZV_PlayerADContentView>(frame);
    view->setupUI();
    return view;
}

ZV_PlayerADContentView::ZV_PlayerADContentView(const CGRect& frame)
    : UIView(frame)
{ }

const std::shared_ptr<UIImageView>& ZV_PlayerADContentView::zv_imageView()
{
    if (!m_imageView) {
        m_imageView = std::make_shared<UIImageView>();
        m_imageView->setContentMode(UIViewContentMode::scaleAspectFill);
        m_imageView->layer()->setCornerRadius(16);
        m_imageView->setClipsToBounds(true);
    }
    return m_imageView;
}

const std::shared_ptr<UIButton>& ZV_PlayerADContentView::zv_closeBtn()
{
    if (!m_closeBtn) {
        m_closeBtn = std::make_shared<UIButton>();
        m_closeBtn->setImage(UIImage::named("playeradclose"));
    }
    return m_closeBtn;
}

void ZV_PlayerADContentView::setupUI()
{
    addSubview(zv_imageView());
    addSubview(zv_closeBtn());
    snp(m_imageView).makeConstraints([](ConstraintMaker& make) {
        make.size().equalTo(CGSize { 340, 210 });
        make.center().equalToSuperview();
    });
    snp(m_closeBtn).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(snp(m_imageView).right()).offset(-22);
        make.top().equalTo(snp(m_imageView).top()).offset(-22);
    });

    std::shared_ptr<const ZV_AdvertConfigModel> config = ConfigSingleton::shared().advertConfigModel;
    if (!config || config->player_pause.data.image.empty())
        return;
    ZV_AdvertModel advert = config->player_pause;
    if (parsesAsURL(advert.data.image))
        sd_setImage(*m_imageView, advert.data.image, placeholderImage());
    else
        m_imageView->setImage(placeholderImage());
    addTapAction(*m_imageView, [advert](UITapGestureRecognizer&) { openAdvertLink(advert); });
}

void ZV_PlayerADContentView::openAdvertLink(const ZV_AdvertModel& advert)
{
    // Only absolute http and https links open: the browser refuses every other text.
    std::shared_ptr<SFSafariViewController> browser = SFSafariViewController::make(advert.data.url);
    if (!browser)
        return;
    ZV_Tools::getCurrentVC()->present(browser, true);
}

void ZV_PlayerADView::viewDidLoad()
{
    QMUIModalPresentationViewController::viewDidLoad();
    setupContent();
}

void ZV_PlayerADView::setupContent()
{
    setModal(true);
    auto content = ZV_PlayerADContentView::make({ 0, 0, 362, 232 });
    std::weak_ptr<UIViewController> weak = weakFromThis();
    content->zv_closeBtn()->addAction(UIControlEventTouchUpInside, [weak](UIControl&) {
        if (auto self = std::static_pointer_cast<ZV_PlayerADView>(weak.lock()))
            self->hideWithAnimated(true);
    });
    setContentView(content);
}
