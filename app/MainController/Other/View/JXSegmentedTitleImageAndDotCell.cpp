#include "app/MainController/Other/View/JXSegmentedTitleImageAndDotCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUILabel.h"

namespace {

void roundCorners(UIView& view, CGFloat radius)
{
    view.layer()->setCornerRadius(radius);
    view.setClipsToBounds(true);
}

}

JXSegmentedTitleImageAndDotCell::JXSegmentedTitleImageAndDotCell()
{
    contentView()->addSubview(bgView());
    contentView()->addSubview(numLb());
    bgView()->addSubview(dotView());

    snp(bgView()).makeConstraints([&](ConstraintMaker& make) {
        make.top().right().equalTo(snp(imageView()));
        make.size().equalTo(CGSize { 10, 10 });
    });
    snp(dotView()).makeConstraints([&](ConstraintMaker& make) {
        make.center().equalToSuperview();
        make.size().equalTo(CGSize { 6, 6 });
    });
    snp(numLb()).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(imageView()).top()).offset(-8);
        make.right().equalTo(snp(imageView()).right()).offset(8);
        make.height().equalTo(24);
        make.width().greaterThanOrEqualTo(24);
    });
}

const std::shared_ptr<UIView>& JXSegmentedTitleImageAndDotCell::bgView()
{
    if (!m_bgView) {
        m_bgView = UIView::create();
        m_bgView->setBackgroundColor(UIColor::white());
        roundCorners(*m_bgView, 5);
        m_bgView->setHidden(true);
    }
    return m_bgView;
}

const std::shared_ptr<UIView>& JXSegmentedTitleImageAndDotCell::dotView()
{
    if (!m_dotView) {
        m_dotView = UIView::create();
        m_dotView->setBackgroundColor(colorWithHex("#EF5252"));
        roundCorners(*m_dotView, 3);
    }
    return m_dotView;
}

const std::shared_ptr<QMUILabel>& JXSegmentedTitleImageAndDotCell::numLb()
{
    if (!m_numLb) {
        m_numLb = UIView::create<QMUILabel>();
        m_numLb->setTextAlignment(NSTextAlignment::center);
        m_numLb->setFont(UIFont::systemFont(12));
        m_numLb->setTextColor(colorWithHex("1D1942"));
        m_numLb->setBackgroundColor(colorWithHex("03FFE1"));
        m_numLb->layer()->setBorderWidth(3);
        m_numLb->layer()->setBorderColor(UIColor::white());
        m_numLb->setContentEdgeInsets({ 0, 4, 0, 4 });
        roundCorners(*m_numLb, 12);
        m_numLb->setHidden(true);
    }
    return m_numLb;
}
