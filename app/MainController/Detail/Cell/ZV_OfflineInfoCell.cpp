#include "app/MainController/Detail/Cell/ZV_OfflineInfoCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUILabel.h"

ZV_OfflineInfoCell::ZV_OfflineInfoCell(UITableViewCellStyle style, std::string reuseIdentifier)
    : BaseTableViewCell(style, std::move(reuseIdentifier))
{
    setSelectionStyle(UITableViewCellSelectionStyle::none);
    setupUI();
}

const std::shared_ptr<QMUILabel>& ZV_OfflineInfoCell::zv_title()
{
    if (!m_title) {
        m_title = UIView::create<QMUILabel>();
        m_title->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
        m_title->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
        m_title->setNumberOfLines(0);
        m_title->setCanPerformCopyAction(true);
    }
    return m_title;
}

const std::shared_ptr<QMUILabel>& ZV_OfflineInfoCell::zv_info()
{
    if (!m_info) {
        m_info = UIView::create<QMUILabel>();
        m_info->setText(infoText);
        m_info->setFont(UIFont::systemFont(14));
        m_info->setTextColor(zvadaptive::textColor(colorWithHex("1D1942", 0.7)));
        m_info->setBackgroundColor(zvadaptive::fillColor(colorWithHex("#F6F6F6")));
        makeCorner(*m_info, 8);
        m_info->layer()->setBorderWidth(1);
        m_info->layer()->setBorderColor(zvadaptive::lineColor(colorWithHex("#BABABA", 0.1)));
        m_info->setContentEdgeInsets({ 10, 16, 10, 0 });
    }
    return m_info;
}

void ZV_OfflineInfoCell::setupUI()
{
    contentView()->addSubview(zv_title());
    contentView()->addSubview(zv_info());
    snp(m_title).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(16);
        make.left().equalToSuperview().offset(24);
    });
    snp(m_info).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_title).bottom()).offset(16);
        make.left().right().equalToSuperview().inset(24);
    });
}
