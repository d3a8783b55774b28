#include "app/MainController/Detail/Cell/ZV_PlayerAdsCell.h"

#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ViewTapAction.h"
#include "app/MainController/Other/View/ZV_AdvertView.h"
#include "platform/ui/layout/ConstraintMaker.h"

ZV_PlayerAdsCell::ZV_PlayerAdsCell(UITableViewCellStyle style, std::string reuseIdentifier)
    : UITableViewCell(style, std::move(reuseIdentifier))
    , m_advertView(ZV_AdvertView::make())
{
    setSelectionStyle(UITableViewCellSelectionStyle::none);
    contentView()->addSubview(m_advertView);
    snp(m_advertView).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(10);
        make.left().right().equalToSuperview().inset(24);
        make.height().equalTo((screenWidth() - 48) * 122 / 342);
    });
}

void ZV_PlayerAdsCell::fill(
    const ZV_AdvertConfigModel* config, ZV_AdvertModel ZV_AdvertConfigModel::*placement, std::function<void()> tap)
{
    contentView()->setHidden(true);
    if (!config || (config->*placement).data.url.empty())
        return;
    contentView()->setHidden(false);
    m_advertView->setModel(config->*placement);
    addTapAction(*m_advertView, [tap = std::move(tap)](UITapGestureRecognizer&) {
        if (tap)
            tap();
    });
}
