#include "app/MainController/Mine/Setting/ZV_SettingCell.h"

#include "app/Core/Helpers/ChosenStyle.h"
#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Helpers/WindowHelpers.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/controls/UISwitch.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/layout/UIViewLayout.h"

namespace {

std::shared_ptr<UILabel> makeLabel(CGFloat size, CGFloat alpha)
{
    auto label = UIView::create<UILabel>();
    label->setTextAlignment(NSTextAlignment::left);
    label->setFont(UIFont::systemFont(size));
    label->setTextColor(zvadaptive::textColor(colorWithHex("1D1942", alpha)));
    return label;
}

}

ZV_SettingCell::ZV_SettingCell(UITableViewCellStyle style, std::string reuseIdentifier)
    : UITableViewCell(style, std::move(reuseIdentifier))
    , m_stackView(UIView::create<UIStackView>())
    , m_titleLb(makeLabel(14, 1))
    , m_tipLb(makeLabel(12, 0.3))
    , m_desLb(makeLabel(14, 1))
    , m_lineView(UIView::create())
    , m_switchView(UIView::create<UISwitch>())
{
    setBackgroundColor(UIColor::clear());
    setSelectionStyle(UITableViewCellSelectionStyle::none);
    m_stackView->setAxis(UILayoutConstraintAxis::vertical);
    m_stackView->setAlignment(UIStackViewAlignment::fill);
    m_stackView->setDistribution(UIStackViewDistribution::equalSpacing);
    m_stackView->setSpacing(1);
    m_stackView->addArrangedSubview(m_titleLb);
    m_stackView->addArrangedSubview(m_tipLb);
    m_tipLb->setHidden(true);
    m_lineView->setBackgroundColor(zvadaptive::lineColor(colorWithHex("1D1942", 0.08)));
    m_switchView->onTintColor = colorWithHex("03FFE1");
    m_switchView->setHidden(true);
    setSwitchHandler(&ZV_SettingCell::darkModeChanged);

    const std::shared_ptr<UIView>& content = contentView();
    for (const std::shared_ptr<UIView>& subview :
        std::initializer_list<std::shared_ptr<UIView>> { m_stackView, m_desLb, m_lineView, m_switchView })
        content->addSubview(subview);
    snp(m_stackView).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(24);
        make.centerY().equalToSuperview();
    });
    snp(m_desLb).makeConstraints([this](ConstraintMaker& make) {
        make.right().equalToSuperview().offset(-24);
        make.left().greaterThanOrEqualTo(snp(m_stackView).right()).offset(10);
        make.centerY().equalToSuperview();
    });
    setContentHuggingPriority(*m_desLb, 750, UILayoutConstraintAxis::horizontal);
    snp(m_lineView).makeConstraints([](ConstraintMaker& make) {
        make.left().right().equalToSuperview().inset(24);
        make.bottom().equalToSuperview();
        make.height().equalTo(0.5);
    });
    snp(m_switchView).makeConstraints([](ConstraintMaker& make) {
        make.right().equalToSuperview().offset(-24);
        make.centerY().equalToSuperview();
    });

    std::shared_ptr<UIWindow> window = activeKeyWindow();
    UIUserInterfaceStyle current
        = window ? window->traitCollection().userInterfaceStyle : traitCollection().userInterfaceStyle;
    m_switchView->setOn(current == UIUserInterfaceStyle::dark);
}

void ZV_SettingCell::setSwitchHandler(SwitchHandler handler)
{
    m_switchView->removeActions(UIControlEventValueChanged);
    if (!handler)
        return;
    m_switchView->addAction(UIControlEventValueChanged,
        [handler = std::move(handler)](UIControl& sender) { handler(static_cast<UISwitch&>(sender)); });
}

void ZV_SettingCell::darkModeChanged(UISwitch& sender)
{
    ChosenStyle::choose(sender.isOn());
}
