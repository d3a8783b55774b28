#include "app/MainController/Mine/Setting/ZV_PureAlertView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Helpers/WindowHelpers.h"
#include "app/Core/Storage/StoreData.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Extensions/ViewNib.h"
#include "app/MainController/Mine/Setting/ZV_SettingVC.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/ui/CALayer.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/layout/ConstraintMaker.h"

ZV_PureAlertView::ZV_PureAlertView()
    : m_bgView(UIView::create())
    , m_closeBtn(UIView::create<UIButton>())
    , m_contentView(UIView::create())
    , m_titleLb(UIView::create<UILabel>())
    , m_contentLb(UIView::create<UILabel>())
    , m_pureBtn(UIView::create<UIButton>())
    , m_knowBtn(UIView::create<UIButton>())
{ }

// What an interface file would hold: positions, fonts and the buttons' titles.
void ZV_PureAlertView::buildLayout()
{
    addSubview(m_bgView);
    addSubview(m_contentView);
    addSubview(m_closeBtn);
    for (const std::shared_ptr<UIView>& part :
        std::initializer_list<std::shared_ptr<UIView>> { m_titleLb, m_contentLb, m_pureBtn, m_knowBtn })
        m_contentView->addSubview(part);
    m_contentView->setBackgroundColor(zvadaptive::surfaceColor(UIColor::white()));
    m_titleLb->setFont(UIFont::systemFont(18, UIFont::Weight::medium));
    m_titleLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    m_titleLb->setTextAlignment(NSTextAlignment::center);
    m_contentLb->setFont(UIFont::systemFont(14));
    m_contentLb->setNumberOfLines(0);
    m_pureBtn->setTitle(std::string("进入青少年模式"), UIControlStateNormal);
    m_pureBtn->setFont(UIFont::systemFont(15));
    m_pureBtn->setAccessibilityIdentifier("pure.teen");
    m_knowBtn->setTitle(std::string("我知道了"), UIControlStateNormal);
    m_knowBtn->setFont(UIFont::systemFont(15, UIFont::Weight::medium));
    m_knowBtn->setAccessibilityIdentifier("pure.know");
    m_closeBtn->setImage(UIImage::named("home_close"), UIControlStateNormal);
    m_closeBtn->setAccessibilityIdentifier("pure.close");

    snp(m_bgView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(m_contentView).makeConstraints([](ConstraintMaker& make) {
        make.centerX().equalToSuperview();
        make.centerY().equalToSuperview().offset(-30);
        make.width().equalTo(300);
    });
    snp(m_titleLb).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(28);
        make.left().right().equalToSuperview().inset(24);
    });
    snp(m_contentLb).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_titleLb).bottom()).offset(16);
        make.left().right().equalToSuperview().inset(24);
    });
    snp(m_pureBtn).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_contentLb).bottom()).offset(24);
        make.left().right().equalToSuperview().inset(24);
        make.height().equalTo(44);
    });
    snp(m_knowBtn).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_pureBtn).bottom()).offset(12);
        make.left().right().equalToSuperview().inset(24);
        make.height().equalTo(44);
        make.bottom().equalToSuperview().offset(-24);
    });
    snp(m_closeBtn).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_contentView).bottom()).offset(24);
        make.centerX().equalToSuperview();
        make.width().height().equalTo(44);
    });
}

void ZV_PureAlertView::awakeFromNib()
{
    if (m_awake)
        return;
    m_awake = true;
    buildLayout();
    m_bgView->setBackgroundColor(UIColor(0, 0, 0, 0.5));
    m_titleLb->setText("青少年守护");
    m_contentLb->setText("Vexo电影非常重视对未成年人的保护，请确认您的年龄，便于平台基于个人信息保护政策为您"
                         "提供更加有效的保护措施。");
    m_contentLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942", 0.4)));
    makeCorner(*m_contentView, 8);
    makeCorner(*m_pureBtn, 8);
    m_pureBtn->layer()->setBorderWidth(1);
    m_pureBtn->layer()->setBorderColor(zvadaptive::lineColor(UIColor(0.051, 0.027, 0.278, 0.2)));
    m_pureBtn->setTitleColor(zvadaptive::textColor(colorWithHex("1D1942")), UIControlStateNormal);
    makeCorner(*m_knowBtn, 8);
    m_knowBtn->setBackgroundColor(colorWithHex("1D1942"));
    m_knowBtn->setTitleColor(UIColor::white(), UIControlStateNormal);

    // The buttons belong to this view, which they take off the screen: they hold it weakly.
    std::weak_ptr<ZV_PureAlertView> weakSelf = std::static_pointer_cast<ZV_PureAlertView>(sharedFromThis());
    auto wire = [weakSelf](UIButton& button, std::function<void(ZV_PureAlertView&)> action) {
        button.removeActions(UIControlEventTouchUpInside);
        button.addAction(UIControlEventTouchUpInside, [weakSelf, action = std::move(action)](UIControl&) {
            if (std::shared_ptr<ZV_PureAlertView> self = weakSelf.lock())
                action(*self);
        });
    };
    wire(*m_pureBtn, [](ZV_PureAlertView& alert) {
        if (alert.callBlock)
            alert.callBlock();
        alert.finish(true);
    });
    wire(*m_knowBtn, [](ZV_PureAlertView& alert) { alert.finish(true); });
    wire(*m_closeBtn, [](ZV_PureAlertView& alert) { alert.finish(false); });
}

bool ZV_PureAlertView::accessibilityPerformEscape()
{
    if (!superview())
        return false;
    finish(false);
    return true;
}

void ZV_PureAlertView::finish(bool answered)
{
    if (answered)
        StoreData::set(PropertyList(true), StoreData::pureAlert);
    removeFromSuperview();
}

std::shared_ptr<ZV_PureAlertView> ZV_PureAlertView::showIfNeeded(
    const std::shared_ptr<UIViewController>& host)
{
    if (StoreData::boolValue(StoreData::pureAlert))
        return nullptr;
    std::shared_ptr<UIWindow> window = activeKeyWindow();
    if (!window)
        return nullptr;
    std::shared_ptr<ZV_PureAlertView> alert = viewForXib<ZV_PureAlertView>();
    alert->setFrame(window->bounds());
    std::weak_ptr<UIViewController> weakHost = host;
    alert->callBlock = [weakHost] {
        std::shared_ptr<UIViewController> page = weakHost.lock();
        std::shared_ptr<UINavigationController> navigation = page ? page->navigationController() : nullptr;
        if (navigation)
            navigation->pushViewController(std::make_shared<ZV_SettingVC>(), true);
    };
    window->addSubview(alert);
    return alert;
}
