#include "app/MainController/Search/View/ZV_SearchFeedbackCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/layout/ConstraintMaker.h"

ZV_SearchFeedbackCell::ZV_SearchFeedbackCell()
    : ZV_SearchFeedbackCell(CGRect {})
{ }

ZV_SearchFeedbackCell::ZV_SearchFeedbackCell(const CGRect& frame)
    : BaseCollectionViewCell(frame)
    , m_titleLb(std::make_shared<UILabel>())
{
    m_titleLb->setTextAlignment(NSTextAlignment::center);
    m_titleLb->setFont(UIFont::systemFont(14));
    m_titleLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    m_titleLb->setBackgroundColor(UIColor::clear());
    contentView()->addSubview(m_titleLb);
    snp(m_titleLb).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(16);
        make.right().equalToSuperview().offset(-16);
        make.top().equalToSuperview().offset(8);
        make.bottom().equalToSuperview().offset(-8);
    });
}

void ZV_SearchFeedbackCell::layoutSubviews()
{
    BaseCollectionViewCell::layoutSubviews();
    makeCorner(*contentView(), 8);
}
