#include "app/MainController/Search/View/ZV_SearchCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/layout/UIViewLayout.h"
#include "platform/ui/lists/UICollectionViewLayoutAttributes.h"

ZV_SearchCell::ZV_SearchCell()
    : ZV_SearchCell(CGRect {})
{ }

ZV_SearchCell::ZV_SearchCell(const CGRect& frame)
    : BaseCollectionViewCell(frame)
    , m_titleLb(std::make_shared<UILabel>())
{
    contentView()->setBackgroundColor(historyColors().background);
    m_titleLb->setTextAlignment(NSTextAlignment::center);
    m_titleLb->setFont(UIFont::systemFont(14));
    m_titleLb->setTextColor(historyColors().text);
    m_titleLb->setBackgroundColor(UIColor::clear());
    contentView()->addSubview(m_titleLb);
    snp(m_titleLb).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(16);
        make.right().equalToSuperview().offset(-16);
        make.top().equalToSuperview().offset(8);
        make.bottom().equalToSuperview().offset(-8);
    });
}

void ZV_SearchCell::layoutSubviews()
{
    BaseCollectionViewCell::layoutSubviews();
    layoutIfNeeded();
    makeCorner(*contentView());
}

UICollectionViewLayoutAttributesPtr ZV_SearchCell::preferredLayoutAttributesFitting(
    const UICollectionViewLayoutAttributes& attributes)
{
    setNeedsLayout();
    layoutIfNeeded();
    auto preferred = attributes.copy();
    preferred->frame.size = systemLayoutSizeFitting(*contentView(), attributes.frame.size);
    return preferred;
}

ZV_SearchCell::ChipColors ZV_SearchCell::historyColors()
{
    return { zvadaptive::textColor(colorWithHex("1D1942")), zvadaptive::raisedColor(colorWithHex("F4F6FA")) };
}

ZV_SearchCell::ChipColors ZV_SearchCell::hotWordColors(std::size_t row)
{
    // The first three keep their gold on the dark page, darkened under a pale gold text.
    if (row < 3)
        return { UIColor::dynamic(colorWithHex("#471E07"), colorWithHex("FFE29A")),
            UIColor::dynamic(colorWithHex("#FFEDAC"), colorWithHex("3D3318")) };
    return { UIColor::dynamic(colorWithHex("#471E07"), UIColor::white(1, 0.85)),
        zvadaptive::raisedColor(colorWithHex("F4F6FA")) };
}
