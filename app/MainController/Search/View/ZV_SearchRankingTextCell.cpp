#include "app/MainController/Search/View/ZV_SearchRankingTextCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/layout/UIViewLayout.h"

#include <string>

ZV_SearchRankingTextCell::ZV_SearchRankingTextCell()
    : ZV_SearchRankingTextCell(CGRect {})
{ }

ZV_SearchRankingTextCell::ZV_SearchRankingTextCell(const CGRect& frame)
    : BaseCollectionViewCell(frame)
    , m_numLb(std::make_shared<UILabel>())
    , m_titleLb(std::make_shared<UILabel>())
{
    m_numLb->setTextAlignment(NSTextAlignment::left);
    m_numLb->setFont(UIFont::systemFont(14, UIFont::Weight::medium));
    setContentHuggingPriority(*m_numLb, 750, UILayoutConstraintAxis::horizontal);
    m_titleLb->setTextAlignment(NSTextAlignment::left);
    m_titleLb->setFont(UIFont::systemFont(14));
    m_titleLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));

    const std::shared_ptr<UIView>& content = contentView();
    content->addSubview(m_numLb);
    content->addSubview(m_titleLb);
    snp(m_numLb).makeConstraints(
        [](ConstraintMaker& make) { make.left().top().bottom().equalToSuperview(); });
    snp(m_titleLb).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(snp(m_numLb).right()).offset(8);
        make.right().equalToSuperview().offset(-16);
        make.top().bottom().equalToSuperview();
    });
    setRow(0);
}

UIColor ZV_SearchRankingTextCell::numberColor(int row)
{
    switch (row) {
    case 0:
        // A lighter red on the dark card, where the pure one is too dark.
        return UIColor::dynamic(colorWithHex("#FF0F00"), colorWithHex("FF4D40"));
    case 1:
        return colorWithHex("#FF8E75");
    case 2:
        return colorWithHex("#FF9900");
    default:
        return zvadaptive::textColor(colorWithHex("1D1942", 0.3));
    }
}

void ZV_SearchRankingTextCell::setRow(int row)
{
    m_row = row;
    m_numLb->setText(std::to_string(static_cast<long long>(row) + 1));
    m_numLb->setTextColor(numberColor(row));
}
