#include "app/MainController/Other/View/ZV_AdvertCollCell.h"

#include "app/Extensions/LayoutConstants.h"
#include "platform/ui/layout/ConstraintMaker.h"

ZV_AdvertCollCell::ZV_AdvertCollCell()
    : ZV_AdvertCollCell(CGRect {})
{ }

ZV_AdvertCollCell::ZV_AdvertCollCell(const CGRect& frame)
    : UICollectionViewCell(frame)
    , m_advertView(ZV_AdvertView::make())
{
    contentView()->addSubview(m_advertView);
    snp(m_advertView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
}

void ZV_AdvertCollCell::setModel(std::optional<ZV_AdvertModel> model)
{
    m_advertView->setModel(std::move(model));
}

void ZV_AdvertCollCell::setAutomaticSize(bool automaticSize)
{
    m_isAutomaticSize = automaticSize;
    snp(m_advertView).remakeConstraints([automaticSize](ConstraintMaker& make) {
        make.edges().equalToSuperview();
        if (!automaticSize)
            return;
        CGFloat width = screenWidth() - 48;
        make.width().equalTo(width);
        make.height().equalTo(width * 122 / 342);
    });
}
