#include "app/MainController/Short/View/ZV_ShortListViewCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ViewCorners.h"
#include "app/MainController/Short/Controller/ZV_ShortListViewController.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/layout/ConstraintMaker.h"

ZV_ShortListViewCell::ZV_ShortListViewCell()
    : ZV_ShortListViewCell(CGRect {})
{ }

ZV_ShortListViewCell::ZV_ShortListViewCell(const CGRect& frame)
    : BaseCollectionViewCell(frame)
{
    setupUI();
}

const std::shared_ptr<UIImageView>& ZV_ShortListViewCell::zv_coverView()
{
    if (!m_coverView) {
        m_coverView = std::make_shared<UIImageView>(placeholderImage());
        m_coverView->setClipsToBounds(true);
        m_coverView->setContentMode(UIViewContentMode::scaleAspectFill);
    }
    return m_coverView;
}

const std::shared_ptr<QMUILabel>& ZV_ShortListViewCell::name()
{
    if (!m_name) {
        m_name = std::make_shared<QMUILabel>();
        m_name->setText("名字");
        m_name->setNumberOfLines(2);
        // Navy on the near-black cell cannot be read, in either style: the page's white.
        m_name->setTextColor(ZV_ShortListViewController::titleColor());
        m_name->setTextAlignment(NSTextAlignment::center);
        m_name->setFont(UIFont::systemFont(14, UIFont::Weight::semibold));
    }
    return m_name;
}

void ZV_ShortListViewCell::setupUI()
{
    setCornerRadius(*this, 6);
    setBackgroundColor(colorWithHex("#050505", 1.0));

    const std::shared_ptr<UIView>& content = contentView();
    content->addSubview(zv_coverView());
    content->addSubview(name());
    snp(zv_coverView()).makeConstraints([](ConstraintMaker& make) {
        make.top().left().right().equalToSuperview();
        make.bottom().equalToSuperview().offset(-55);
    });
    snp(name()).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(zv_coverView()).bottom()).offset(8);
        make.left().equalToSuperview().offset(10);
        make.right().equalToSuperview().offset(-10);
    });
}
