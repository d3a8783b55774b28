#include "app/MainController/Login/View/ZV_RegisterTypeView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/ui/CALayer.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UIImage.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"

namespace {

constexpr CGFloat kIconSide = 24;
constexpr CGFloat kEdgeInset = 16;
constexpr CGFloat kTitleGap = 12;

}

ZV_RegisterTypeView::ZV_RegisterTypeView(const CGRect& frame)
    : UIView(frame)
    , m_imageView(UIView::create<UIImageView>())
    , m_titleLb(UIView::create<UILabel>())
    , m_arrowView(UIView::create<UIImageView>(zvadaptive::iconImage(UIImage::named("arrow_Right"))))
{ }

std::shared_ptr<ZV_RegisterTypeView> ZV_RegisterTypeView::make(const CGRect& frame)
{
    auto row = UIView::create<ZV_RegisterTypeView>(frame);
    row->setupUI();
    return row;
}

void ZV_RegisterTypeView::setupUI()
{
    setBackgroundColor(zvadaptive::fillColor(UIColor::white()));
    layer()->setCornerRadius(16);
    m_titleLb->setTextAlignment(NSTextAlignment::left);
    m_titleLb->setFont(UIFont::systemFont(16));
    m_titleLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    addSubview(m_imageView);
    addSubview(m_titleLb);
    addSubview(m_arrowView);
}

void ZV_RegisterTypeView::layoutSubviews()
{
    UIView::layoutSubviews();
    CGSize size = bounds().size;
    CGFloat iconTop = (size.height - kIconSide) / 2;
    m_imageView->setFrame({ kEdgeInset, iconTop, kIconSide, kIconSide });
    m_arrowView->setFrame({ size.width - kEdgeInset - kIconSide, iconTop, kIconSide, kIconSide });
    CGFloat titleLeft = kEdgeInset + kIconSide + kTitleGap;
    CGFloat titleRight = size.width - kEdgeInset - kIconSide - kTitleGap;
    m_titleLb->setFrame({ titleLeft, 0, std::max<CGFloat>(0, titleRight - titleLeft), size.height });
}
