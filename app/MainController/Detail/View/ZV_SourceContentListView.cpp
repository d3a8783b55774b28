#include "app/MainController/Detail/View/ZV_SourceContentListView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUILabel.h"

namespace {

std::shared_ptr<QMUILabel> makeLabel(CGFloat size)
{
    auto label = std::make_shared<QMUILabel>();
    label->setFont(UIFont::systemFont(size));
    label->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    return label;
}

}

std::shared_ptr<ZV_SourceContentListView> ZV_SourceContentListView::make(const CGRect& frame)
{
    auto view = std::make_shared<ZV_SourceContentListView>(frame);
    view->setupUI();
    return view;
}

ZV_SourceContentListView::ZV_SourceContentListView(const CGRect& frame)
    : UIView(frame)
{ }

const std::shared_ptr<QMUILabel>& ZV_SourceContentListView::name()
{
    if (!m_name)
        m_name = makeLabel(16);
    return m_name;
}

const std::shared_ptr<QMUILabel>& ZV_SourceContentListView::tips()
{
    if (!m_tips)
        m_tips = makeLabel(12);
    return m_tips;
}

const std::shared_ptr<QMUILabel>& ZV_SourceContentListView::count()
{
    if (!m_count)
        m_count = makeLabel(12);
    return m_count;
}

void ZV_SourceContentListView::setupUI()
{
    layer()->setCornerRadius(8);
    setClipsToBounds(true);
    setBackgroundColor(zvadaptive::fillColor(colorWithHex("F3F5F9")));
    addSubview(name());
    addSubview(tips());
    addSubview(count());
    snp(m_name).makeConstraints([](ConstraintMaker& make) {
        make.centerY().equalToSuperview();
        make.left().equalToSuperview().offset(24);
    });
    snp(m_tips).makeConstraints([this](ConstraintMaker& make) {
        make.centerY().equalToSuperview();
        make.left().equalTo(snp(m_name).right()).offset(10);
    });
    snp(m_count).makeConstraints([](ConstraintMaker& make) {
        make.centerY().equalToSuperview();
        make.right().equalToSuperview().offset(-24);
    });
}
