#include "app/MainController/Search/View/ZV_SearchFeedbackCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/ViewCorners.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/layout/ConstraintMaker.h"

ZV_SearchFeedbackCell::ZV_SearchFeedbackCell()
{
    setCornerRadius(*contentView(), 8);
    titleLb();
}

const std::shared_ptr<UILabel>& ZV_SearchFeedbackCell::titleLb()
{
    if (!m_titleLb) {
        m_titleLb = std::make_shared<UILabel>();
        m_titleLb->setFont(UIFont::systemFont(14));
        m_titleLb->setTextColor(colorWithHex("1D1942"));
        m_titleLb->setTextAlignment(NSTextAlignment::center);
        contentView()->addSubview(m_titleLb);
        snp(*m_titleLb).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    }
    return m_titleLb;
}
