#include "app/MainController/Detail/Cell/ZV_PlayerInfoCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Models/ZV_DetailModel.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/ui/CALayer.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUILabel.h"

ZV_PlayerInfoCell::ZV_PlayerInfoCell(UITableViewCellStyle style, std::string reuseIdentifier)
    : UITableViewCell(style, std::move(reuseIdentifier))
{
    setSelectionStyle(UITableViewCellSelectionStyle::none);
    setupUI();
}

const std::shared_ptr<QMUILabel>& ZV_PlayerInfoCell::zv_title()
{
    if (!m_title) {
        m_title = UIView::create<QMUILabel>();
        m_title->setFont(UIFont::systemFont(20, UIFont::Weight::medium));
        m_title->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
        m_title->setNumberOfLines(0);
        m_title->setCanPerformCopyAction(true);
    }
    return m_title;
}

const std::shared_ptr<UIImageView>& ZV_PlayerInfoCell::zv_fireView()
{
    if (!m_fireView)
        m_fireView = UIView::create<UIImageView>(UIImage::named("Fire"));
    return m_fireView;
}

const std::shared_ptr<QMUILabel>& ZV_PlayerInfoCell::zv_fire()
{
    if (!m_fire) {
        m_fire = UIView::create<QMUILabel>();
        m_fire->setTextColor(colorWithHex("#FF7F48"));
        m_fire->setFont(UIFont::systemFont(12, UIFont::Weight::medium));
    }
    return m_fire;
}

const std::shared_ptr<UIView>& ZV_PlayerInfoCell::zv_spacing()
{
    if (!m_spacing) {
        m_spacing = UIView::create();
        m_spacing->layer()->setBorderWidth(1);
        m_spacing->layer()->setBorderColor(zvadaptive::lineColor(UIColor::black().withAlphaComponent(0.08)));
    }
    return m_spacing;
}

const std::shared_ptr<QMUILabel>& ZV_PlayerInfoCell::zv_info()
{
    if (!m_info) {
        m_info = UIView::create<QMUILabel>();
        m_info->setFont(UIFont::systemFont(12));
        m_info->setTextColor(zvadaptive::textColor(colorWithHex("1D1942", 0.3)));
    }
    return m_info;
}

const std::shared_ptr<QMUIButton>& ZV_PlayerInfoCell::zv_descBtn()
{
    if (!m_descBtn) {
        m_descBtn = UIView::create<QMUIButton>();
        UIColor color = zvadaptive::textColor(colorWithHex("1D1942", 0.4));
        m_descBtn->setTitle("简介");
        m_descBtn->setFont(UIFont::systemFont(12));
        m_descBtn->setTitleColor(color);
        if (std::optional<UIImage> right = UIImage::named("Right"))
            m_descBtn->setImage(right->withTintColor(color));
        m_descBtn->setImagePosition(QMUIButtonImagePosition::right);
        m_descBtn->setAccessibilityIdentifier("detail.intro");
    }
    return m_descBtn;
}

void ZV_PlayerInfoCell::setupUI()
{
    const std::shared_ptr<UIView>& content = contentView();
    for (const auto& part :
        { std::static_pointer_cast<UIView>(zv_title()), std::static_pointer_cast<UIView>(zv_fireView()),
            std::static_pointer_cast<UIView>(zv_fire()), zv_spacing(),
            std::static_pointer_cast<UIView>(zv_info()), std::static_pointer_cast<UIView>(zv_descBtn()) })
        content->addSubview(part);
    snp(m_title).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(20);
        make.left().right().equalToSuperview().inset(24);
    });
    snp(m_fireView).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_title).bottom()).offset(4.5);
        make.left().equalToSuperview().offset(24);
    });
    snp(m_fire).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(snp(m_fireView).right()).offset(2);
        make.centerY().equalTo(snp(m_fireView).centerY());
    });
    snp(m_spacing).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(snp(m_fire).right()).offset(10);
        make.centerY().equalTo(snp(m_fire).centerY());
        make.size().equalTo(CGSize { 1, 12 });
    });
    snp(m_info).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(snp(m_spacing).right()).offset(10);
        make.centerY().equalTo(snp(m_fire).centerY());
    });
    snp(m_descBtn).makeConstraints([this](ConstraintMaker& make) {
        make.right().equalToSuperview().offset(-24);
        make.centerY().equalTo(snp(m_info).centerY());
    });
    // The button belongs to the cell, so its action never outlives it.
    m_descBtn->addAction(UIControlEventTouchUpInside, [this](UIControl&) {
        if (std::function<void()> action = clickDesc)
            action();
    });
}

std::string ZV_PlayerInfoCell::infoText(const ZV_DetailModel& model, const std::string& separator)
{
    std::string text = model.typeName.value_or("") + separator + model.year.value_or("");
    if (model.tags) {
        for (const auto& tag : *model.tags) {
            if (tag)
                text += separator + tag->name;
        }
    }
    return text;
}

void ZV_PlayerInfoCell::reloadData()
{
    zv_title()->setText(model ? model->name.value_or("") : std::string());
    zv_fire()->setText(model ? model->hot.value_or("") : std::string());
    zv_info()->setText(model ? infoText(*model, " | ") : std::string());
}
