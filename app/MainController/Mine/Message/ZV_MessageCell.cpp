#include "app/MainController/Mine/Message/ZV_MessageCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUILabel.h"

ZV_MessageCell::ZV_MessageCell(UITableViewCellStyle style, std::string reuseIdentifier)
    : BaseTableViewCell(style, std::move(reuseIdentifier))
    , m_timeLabel(UIView::create<QMUILabel>())
    , m_cardView(UIView::create())
    , m_titleLabel(UIView::create<QMUILabel>())
    , m_contentLabel(UIView::create<QMUILabel>())
{
    m_timeLabel->setTextColor(zvadaptive::textColor(colorWithHex("1D1942", 0.3)));
    m_timeLabel->setFont(UIFont::systemFont(14, UIFont::Weight::regular));
    makeCorner(*m_cardView, 16);
    m_cardView->setBackgroundColor(zvadaptive::raisedColor(colorWithHex("#F8F8F8")));
    m_titleLabel->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    m_titleLabel->setCanPerformCopyAction(true);
    m_titleLabel->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
    m_contentLabel->setNumberOfLines(0);
    m_contentLabel->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    m_contentLabel->setCanPerformCopyAction(true);
    m_contentLabel->setFont(UIFont::systemFont(14, UIFont::Weight::regular));
    setupUI();
}

void ZV_MessageCell::setupUI()
{
    contentView()->addSubview(m_timeLabel);
    contentView()->addSubview(m_cardView);
    m_cardView->addSubview(m_titleLabel);
    m_cardView->addSubview(m_contentLabel);
    snp(m_timeLabel).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(24);
        make.centerX().equalToSuperview();
    });
    snp(m_cardView).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_timeLabel).bottom()).offset(16);
        make.left().right().equalToSuperview().inset(24);
        make.bottom().equalToSuperview();
    });
    snp(m_titleLabel).makeConstraints([](ConstraintMaker& make) {
        make.top().left().right().equalToSuperview().inset(24);
    });
    snp(m_contentLabel).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(54);
        make.left().right().bottom().equalToSuperview().inset(24);
    });
}

std::string ZV_MessageCell::timeText(std::int64_t seconds)
{
    return DateFormatter("yyyy-MM-dd HH:mm").stringFromDate(Date(static_cast<double>(seconds)));
}

void ZV_MessageCell::setNotice(const JSON& notice)
{
    m_timeLabel->setText(timeText(notice["update_time"].intValue()));
    m_titleLabel->setText(notice["title"].stringValue());
    m_contentLabel->setText(notice["content"].stringValue());
    bool plain = notice["type"].intValue() == 0;
    m_contentLabel->setHidden(!plain);
    if (plain) {
        m_titleLabel->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
        snp(m_titleLabel).remakeConstraints([](ConstraintMaker& make) {
            make.top().left().right().equalToSuperview().inset(24);
        });
        return;
    }
    m_titleLabel->setFont(UIFont::systemFont(14, UIFont::Weight::regular));
    snp(m_titleLabel).remakeConstraints([](ConstraintMaker& make) {
        make.left().right().equalToSuperview().inset(24);
        make.centerY().equalToSuperview();
    });
}
