#include "app/MainController/Detail/Cell/ZV_PlayerFeaturesCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Models/ZV_DetailModel.h"
#include "app/MainController/Detail/Conrtoller/ZV_ShareVC.h"
#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/ui/CALayer.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUIButton.h"

namespace {

std::shared_ptr<QMUIButton> makeButton(
    const std::string& title, const char* image, const std::string& identifier)
{
    auto button = UIView::create<QMUIButton>();
    button->setTitle(title);
    button->setImage(zvadaptive::iconImage(UIImage::named(image)));
    button->setImagePosition(QMUIButtonImagePosition::top);
    button->setSpacingBetweenImageAndTitle(8);
    button->setFont(UIFont::systemFont(12));
    button->setTitleColor(zvadaptive::textColor(colorWithHex("1D1942", 0.5)));
    button->setAccessibilityIdentifier(identifier);
    return button;
}

}

ZV_PlayerFeaturesCell::ZV_PlayerFeaturesCell(UITableViewCellStyle style, std::string reuseIdentifier)
    : UITableViewCell(style, std::move(reuseIdentifier))
    , m_downloadBtn(makeButton("下载本地", "Download", "detail.download"))
    , m_collectBtn(makeButton("收藏", "collect", "detail.collect"))
    , m_feedbackBtn(makeButton("反馈/求片", "feedback", "detail.feedback"))
    , m_shareBtn(makeButton("分享", "Share", "detail.share"))
    , m_stackView(UIView::create<UIStackView>())
    , m_line(UIView::create())
{
    setSelectionStyle(UITableViewCellSelectionStyle::none);
    setupUI();
}

void ZV_PlayerFeaturesCell::setupUI()
{
    m_stackView->setAxis(UILayoutConstraintAxis::horizontal);
    m_stackView->setDistribution(UIStackViewDistribution::equalSpacing);
    m_stackView->setAlignment(UIStackViewAlignment::fill);
    m_line->layer()->setBorderWidth(0.5);
    m_line->layer()->setBorderColor(zvadaptive::lineColor(colorWithHex("1D1942", 0.1)));

    const std::shared_ptr<UIView>& content = contentView();
    content->addSubview(m_stackView);
    content->addSubview(m_line);
    for (const auto& button : { m_downloadBtn, m_collectBtn, m_feedbackBtn, m_shareBtn }) {
        m_stackView->addArrangedSubview(button);
        snp(button).makeConstraints([](ConstraintMaker& make) { make.size().equalTo(CGSize { 74, 60 }); });
    }
    snp(m_stackView).makeConstraints([](ConstraintMaker& make) {
        make.left().right().equalToSuperview().inset(24);
        make.top().equalToSuperview();
    });
    snp(m_line).makeConstraints([](ConstraintMaker& make) {
        make.left().right().equalToSuperview().inset(24);
        make.bottom().equalToSuperview();
        make.height().equalTo(0.5);
    });

    // The buttons belong to the cell, so their actions never outlive it.
    auto relay = [this](std::function<void()> ZV_PlayerFeaturesCell::*closure) {
        return [this, closure](UIControl&) {
            if (std::function<void()> action = this->*closure)
                action();
        };
    };
    m_downloadBtn->addAction(UIControlEventTouchUpInside, relay(&ZV_PlayerFeaturesCell::clickDownload));
    m_collectBtn->addAction(UIControlEventTouchUpInside, relay(&ZV_PlayerFeaturesCell::clickCollect));
    m_feedbackBtn->addAction(UIControlEventTouchUpInside, relay(&ZV_PlayerFeaturesCell::clickFeedback));
    m_shareBtn->addAction(UIControlEventTouchUpInside, [this](UIControl&) { share(); });
}

void ZV_PlayerFeaturesCell::reloadData()
{
    bool collected = model && model->isCollect.value_or(false);
    m_collectBtn->setTitle(collected ? collectedTitle : collectTitle);
    // The gold star reads on either page; the outline is drawn for a light one.
    m_collectBtn->setImage(
        collected ? UIImage::named("collected") : zvadaptive::iconImage(UIImage::named("collect")));
}

void ZV_PlayerFeaturesCell::share()
{
    if (!model)
        return;
    auto poster = std::make_shared<ZV_ShareVC>();
    poster->model = model;
    poster->fillContent();
    ZV_Tools::getCurrentVC()->show(poster);
}
