#include "app/MainController/Detail/View/ZV_SettingContentFullView.h"

#include "app/Core/Models/ZV_DetailModel.h"
#include "app/Extensions/ViewBorder.h"
#include "app/Extensions/ViewCorners.h"
#include "app/MainController/Detail/Model/ZV_PlayerTimeModel.h"
#include "app/MainController/Detail/View/ZV_SettingContentView.h"
#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "platform/media/SJVideoPlayer.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIDatePicker.h"
#include "platform/ui/controls/UISlider.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/controls/UITextField.h"
#include "platform/ui/effects/UIVisualEffectView.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/lists/UIScrollView.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUILabel.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr CGFloat rowHeight = 68;

std::shared_ptr<UILabel> makeLabel(const std::string& text)
{
    auto label = std::make_shared<UILabel>();
    label->setText(text);
    label->setFont(UIFont::systemFont(14));
    label->setTextColor(UIColor::white());
    return label;
}

std::shared_ptr<UIView> makeRow()
{
    auto row = std::make_shared<UIView>();
    snp(row).makeConstraints([](ConstraintMaker& make) { make.height().equalTo(rowHeight); });
    addBottomBorder(*row, UIColor::white().withAlphaComponent(0.2));
    return row;
}

std::shared_ptr<QMUIButton> makeStepButton(const char* imageName)
{
    auto button = std::make_shared<QMUIButton>();
    if (std::optional<UIImage> image = UIImage::named(imageName))
        button->setImage(image->withTintColor(UIColor::white().withAlphaComponent(0.7)));
    return button;
}

void placeCaptionAndControl(const std::shared_ptr<UIView>& row, const std::shared_ptr<UIView>& caption,
    const std::shared_ptr<UIView>& control, std::optional<CGFloat> controlLeft)
{
    row->addSubview(caption);
    row->addSubview(control);
    snp(caption).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview();
        make.centerY().equalToSuperview();
    });
    snp(control).makeConstraints([controlLeft](ConstraintMaker& make) {
        if (controlLeft)
            make.left().equalToSuperview().offset(*controlLeft);
        make.right().equalToSuperview();
        make.centerY().equalToSuperview();
    });
}

}

std::shared_ptr<ZV_SettingContentFullView> ZV_SettingContentFullView::make(const CGRect& frame)
{
    auto view = std::make_shared<ZV_SettingContentFullView>(frame);
    view->setupUI();
    return view;
}

ZV_SettingContentFullView::ZV_SettingContentFullView(const CGRect& frame)
    : UIView(frame)
{ }

std::string ZV_SettingContentFullView::longPressText(double rate)
{
    char text[32];
    // Quarter steps: two decimals where the second is needed, else one.
    std::snprintf(text, sizeof text, "%.2f", rate);
    std::string value = text;
    if (value.size() > 3 && value.back() == '0')
        value.pop_back();
    return value + "x";
}

void ZV_SettingContentFullView::setupUI()
{
    roundCornersKeepingBackdrop(*this, 1 | 4, 16);

    m_blurView = std::make_shared<UIVisualEffectView>(UIBlurEffect::qmui_effectWithBlurRadius(20));
    m_blurView->qmui_setForegroundColor(UIColor::black().withAlphaComponent(0.2));
    m_scrollView = std::make_shared<UIScrollView>();
    m_scrollView->setShowsVerticalScrollIndicator(false);
    m_scrollView->setShowsHorizontalScrollIndicator(false);
    m_scrollView->setContentSize({ 0, 340 });
    m_stackView = std::make_shared<UIStackView>();
    m_stackView->setAxis(UILayoutConstraintAxis::vertical);
    m_stackView->setDistribution(UIStackViewDistribution::equalSpacing);
    m_stackView->setSpacing(0);
    addSubview(m_blurView);
    addSubview(m_scrollView);
    m_scrollView->addSubview(m_stackView);

    std::weak_ptr<UIView> weak = weakFromThis();
    auto on = [weak](void (ZV_SettingContentFullView::*action)()) {
        return [weak, action](UIControl&) {
            if (auto self = std::static_pointer_cast<ZV_SettingContentFullView>(weak.lock()))
                ((*self).*action)();
        };
    };

    m_sourdView = makeRow();
    m_sourdTitle = makeLabel("");
    m_sourdSlider = ZV_SettingContentView::makeSlider();
    m_sourdSlider->addAction(UIControlEventValueChanged, on(&ZV_SettingContentFullView::zv_sliderSourd));
    placeCaptionAndControl(m_sourdView, m_sourdTitle, m_sourdSlider, 100);

    m_lightView = makeRow();
    m_lightTitle = makeLabel("");
    m_lightSlider = ZV_SettingContentView::makeSlider();
    m_lightSlider->addAction(UIControlEventValueChanged, on(&ZV_SettingContentFullView::zv_sliderBrightness));
    placeCaptionAndControl(m_lightView, m_lightTitle, m_lightSlider, 100);

    m_longPressView = makeRow();
    m_longPressTitle = makeLabel("长按倍速");
    m_longPressSubtractBtn = makeStepButton("jumpSubtract");
    m_longPressAddBtn = makeStepButton("jumpAdd");
    auto qmuiLabel = std::make_shared<QMUILabel>();
    qmuiLabel->setContentEdgeInsets({ 0, 10, 0, 10 });
    m_longPressLabel = qmuiLabel;
    m_longPressLabel->setText("2.0x");
    m_longPressLabel->setTextColor(UIColor::white());
    m_longPressLabel->setFont(UIFont::boldSystemFont(14));
    for (const auto& button : { m_longPressSubtractBtn, m_longPressAddBtn }) {
        button->addAction(UIControlEventTouchUpInside, [weak](UIControl& sender) {
            if (auto self = std::static_pointer_cast<ZV_SettingContentFullView>(weak.lock()))
                self->zv_changeLongPressWithBtn(sender);
        });
    }
    for (const auto& part : std::initializer_list<std::shared_ptr<UIView>> {
             m_longPressTitle, m_longPressSubtractBtn, m_longPressLabel, m_longPressAddBtn })
        m_longPressView->addSubview(part);
    snp(m_longPressTitle).makeConstraints([](ConstraintMaker& make) {
        make.left().centerY().equalToSuperview();
    });
    snp(m_longPressAddBtn).makeConstraints([](ConstraintMaker& make) {
        make.right().centerY().equalToSuperview();
    });
    snp(m_longPressLabel).makeConstraints([this](ConstraintMaker& make) {
        make.right().equalTo(snp(m_longPressAddBtn).left()).offset(-20);
        make.centerY().equalToSuperview();
    });
    snp(m_longPressSubtractBtn).makeConstraints([this](ConstraintMaker& make) {
        make.right().equalTo(snp(m_longPressLabel).left()).offset(-20);
        make.centerY().equalToSuperview();
    });

    m_jumpHeaderView = makeRow();
    m_jumpHeaderTitle = makeLabel(ZV_SettingContentView::openingTitle);
    m_jumpHeaderTimeBtn = ZV_SettingContentView::makeTimeButton("short_right");
    m_jumpHeaderTimeBtn->addAction(
        UIControlEventTouchUpInside, on(&ZV_SettingContentFullView::zv_changeJumpHeader));
    placeCaptionAndControl(m_jumpHeaderView, m_jumpHeaderTitle, m_jumpHeaderTimeBtn, std::nullopt);

    m_jumpTailView = makeRow();
    m_jumpTailTitle = makeLabel(ZV_SettingContentView::endingTitle);
    m_jumpTailTimeBtn = ZV_SettingContentView::makeTimeButton("short_right");
    m_jumpTailTimeBtn->addAction(
        UIControlEventTouchUpInside, on(&ZV_SettingContentFullView::zv_changeJumpTail));
    placeCaptionAndControl(m_jumpTailView, m_jumpTailTitle, m_jumpTailTimeBtn, std::nullopt);

    for (const auto& row : { m_sourdView, m_lightView, m_longPressView, m_jumpHeaderView, m_jumpTailView })
        m_stackView->addArrangedSubview(row);

    m_datePicker = ZV_SettingContentView::makePicker();
    m_dateInputView = ZV_SettingContentView::makeInputField(m_datePicker);
    m_dateInputView->addAction(UIControlEventEditingDidEnd, on(&ZV_SettingContentFullView::endDatePicker));
    m_jumpTailView->addSubview(m_dateInputView);
    snp(m_dateInputView).makeConstraints([this](ConstraintMaker& make) {
        make.edges().equalTo(snp(m_jumpTailTitle));
    });

    snp(m_blurView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(m_scrollView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    // Placed by its frame: the scroll view's content size is the panel's own.
    m_stackView->setFrame({ 40, 8, 342, 5 * rowHeight });
}

void ZV_SettingContentFullView::loadPlayerValues()
{
    if (!player)
        return;
    auto& levels = player->deviceVolumeAndBrightnessController();
    m_sourdSlider->setValue(levels.volume());
    m_sourdTitle->setText(ZV_SettingContentView::levelText("声音 ", levels.volume()));
    m_lightSlider->setValue(levels.brightness());
    m_lightTitle->setText(ZV_SettingContentView::levelText("亮度 ", levels.brightness()));
    m_longPressLabel->setText(longPressText(player->rateWhenLongPressGestureTriggered()));
}

void ZV_SettingContentFullView::reloadSkipTimes()
{
    if (model && model->id) {
        if (std::optional<ZV_PlayerTimeModel> record = ZV_PlayerTimeModel::find(*model->id)) {
            m_jumpHeaderTimeBtn->setTitle(ZV_Tools::timeString(record->startProgress));
            m_jumpTailTimeBtn->setTitle(ZV_Tools::timeString(record->endProgress));
            m_jumpHeaderTimeBtn->setTitleColor(UIColor::white());
            m_jumpTailTimeBtn->setTitleColor(UIColor::white());
            headerTime = record->startProgress;
            tailTime = record->endProgress;
        }
    }
    for (auto [button, seconds] :
        { std::pair { m_jumpHeaderTimeBtn, headerTime }, std::pair { m_jumpTailTimeBtn, tailTime } }) {
        if (seconds == 0) {
            button->setTitle(std::string("未设置"));
            button->setTitleColor(UIColor::white().withAlphaComponent(0.4));
        }
    }
}

void ZV_SettingContentFullView::zv_sliderSourd()
{
    m_sourdTitle->setText(ZV_SettingContentView::levelText("声音 ", m_sourdSlider->value()));
    if (player)
        player->deviceVolumeAndBrightnessController().setVolume(m_sourdSlider->value());
}

void ZV_SettingContentFullView::zv_sliderBrightness()
{
    m_lightTitle->setText(ZV_SettingContentView::levelText("亮度 ", m_lightSlider->value()));
    if (player)
        player->deviceVolumeAndBrightnessController().setBrightness(m_lightSlider->value());
}

void ZV_SettingContentFullView::zv_changeLongPressWithBtn(const UIControl& sender)
{
    if (!player)
        return;
    double rate = player->rateWhenLongPressGestureTriggered();
    rate = &sender == m_longPressAddBtn.get() ? std::min(rate + 0.25, maximumLongPressRate)
                                              : std::max(rate - 0.25, minimumLongPressRate);
    player->setRateWhenLongPressGestureTriggered(rate);
    m_longPressLabel->setText(longPressText(rate));
}

void ZV_SettingContentFullView::zv_changeJumpHeader()
{
    ZV_SettingContentView::openPicker(
        *m_datePicker, *m_dateInputView, headerTime, ZV_SettingContentView::openingTitle);
}

void ZV_SettingContentFullView::zv_changeJumpTail()
{
    ZV_SettingContentView::openPicker(
        *m_datePicker, *m_dateInputView, tailTime, ZV_SettingContentView::endingTitle);
}

void ZV_SettingContentFullView::endDatePicker()
{
    if (!ZV_SettingContentView::storePickedTime(*m_dateInputView, m_datePicker->date(), model.get()))
        return;
    if (clickClose)
        clickClose();
    reloadSkipTimes();
}
