#include "app/MainController/Home/View/ZV_HomeFilterSubCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/layout/ConstraintMaker.h"

ZV_HomeFilterSubCell::ZV_HomeFilterSubCell()
    : ZV_HomeFilterSubCell(CGRect {})
{ }

ZV_HomeFilterSubCell::ZV_HomeFilterSubCell(const CGRect& frame)
    : BaseCollectionViewCell(frame)
    , m_titleLb(std::make_shared<UILabel>())
{
    const std::shared_ptr<UIView>& content = contentView();
    setCornerRadius(*content, 4);
    content->setBackgroundColor(backgroundColor(false));

    m_titleLb->setTextAlignment(NSTextAlignment::center);
    m_titleLb->setFont(UIFont::systemFont(14));
    m_titleLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    m_titleLb->setBackgroundColor(UIColor::clear());
    content->addSubview(m_titleLb);
    // The chip's size comes from its title through these insets.
    snp(m_titleLb).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(10);
        make.right().equalToSuperview().offset(-10);
        make.top().equalToSuperview().offset(4);
        make.bottom().equalToSuperview().offset(-4);
    });
}

UIColor ZV_HomeFilterSubCell::backgroundColor(bool chosen)
{
    // On the dark page the chosen teal shows dark under white text, the others as grey chips.
    return chosen ? colorWithHex("03FFE1", 0.4) : zvadaptive::raisedColor(UIColor::white());
}

void ZV_HomeFilterSubCell::setSel(bool sel)
{
    m_isSel = sel;
    contentView()->setBackgroundColor(backgroundColor(sel));
}

void ZV_HomeFilterSubCell::setChipHidden(bool hidden)
{
    m_isChipHidden = hidden;
    setHidden(hidden);
}

void ZV_HomeFilterSubCell::apply(const UICollectionViewLayoutAttributes& attributes)
{
    BaseCollectionViewCell::apply(attributes);
    if (m_isChipHidden)
        setHidden(true);
}
