#include "app/MainController/Other/View/ZV_AdvertView.h"

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ParsableURL.h"
#include "app/Extensions/ViewCorners.h"
#include "platform/ui/SFSafariViewController.h"
#include "platform/ui/UIViewController.h"
#include "platform/ui/imageloading/UIImageViewWebCache.h"
#include "platform/ui/layout/ConstraintMaker.h"

std::shared_ptr<ZV_AdvertView> ZV_AdvertView::make(const CGRect& frame)
{
    auto view = std::make_shared<ZV_AdvertView>(Passkey {}, frame);
    view->build();
    return view;
}

ZV_AdvertView::ZV_AdvertView(Passkey, const CGRect& frame)
    : UIView(frame)
    , m_imageView(std::make_shared<UIImageView>())
{ }

void ZV_AdvertView::build()
{
    makeCorner(*m_imageView, 8);
    m_imageView->setContentMode(UIViewContentMode::scaleAspectFill);
    addSubview(m_imageView);
    snp(m_imageView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
}

void ZV_AdvertView::setModel(std::optional<ZV_AdvertModel> model)
{
    m_model = std::move(model);
    if (m_model && parsesAsURL(m_model->data.image)) {
        sd_setImage(*m_imageView, m_model->data.image, placeholderImage());
        return;
    }
    // A load still under way would otherwise replace the placeholder later.
    sd_cancelCurrentImageLoad(*m_imageView);
    m_imageView->setImage(placeholderImage());
}

bool ZV_AdvertView::openLink(UIViewController& presenter, ZV_AdvertModel ZV_AdvertConfigModel::*placement)
{
    std::shared_ptr<const ZV_AdvertConfigModel> config = ConfigSingleton::shared().advertConfigModel;
    if (!config || !placement)
        return false;
    std::shared_ptr<SFSafariViewController> browser
        = SFSafariViewController::make(((*config).*placement).data.url);
    if (!browser)
        return false;
    return presenter.present(browser, true);
}
