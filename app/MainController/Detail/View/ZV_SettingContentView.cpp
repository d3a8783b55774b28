#include "app/MainController/Detail/View/ZV_SettingContentView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Models/ZV_DetailModel.h"
#include "app/Extensions/ViewBorder.h"
#include "app/Extensions/ViewCorners.h"
#include "app/MainController/Detail/Model/ZV_PlayerTimeModel.h"
#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/media/SJVideoPlayer.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIDatePicker.h"
#include "platform/ui/controls/UISegmentedControl.h"
#include "platform/ui/controls/UISlider.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/controls/UITextField.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUIButton.h"

namespace {

constexpr CGFloat settingRowHeight = 52;
constexpr CGFloat rateRowHeight = 98;

// The level sliders draw a thicker track than the platform's.
class LevelSlider : public UISlider {
public:
    std::string className() const override { return "UISlider"; }
    CGRect trackRectForBounds(const CGRect& bounds) const override
    {
        return { bounds.minX(), bounds.midY() - 3, bounds.width(), 6 };
    }
};

// The panel's navy texts; light on the dark style's panel.
UIColor ink(CGFloat alpha = 1)
{
    return zvadaptive::textColor(colorWithHex("1D1942", alpha));
}

std::shared_ptr<UILabel> makeSettingLabel(const std::string& text)
{
    auto label = std::make_shared<UILabel>();
    label->setText(text);
    label->setFont(UIFont::systemFont(14));
    label->setTextColor(ink());
    return label;
}

std::shared_ptr<UIView> makeRow(CGFloat height, bool separator)
{
    auto row = std::make_shared<UIView>();
    snp(row).makeConstraints([height](ConstraintMaker& make) { make.height().equalTo(height); });
    if (separator)
        addBottomBorder(*row, UIColor::dynamic(colorWithHex("1D1942", 0.1), UIColor::white(1, 0.12)));
    return row;
}

// A caption on the left and a control at the right of a row.
void placeSettingCaptionAndControl(const std::shared_ptr<UIView>& row, const std::shared_ptr<UIView>& caption,
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

std::shared_ptr<ZV_SettingContentView> ZV_SettingContentView::make(const CGRect& frame)
{
    auto view = std::make_shared<ZV_SettingContentView>(frame);
    view->setupUI();
    return view;
}

ZV_SettingContentView::ZV_SettingContentView(const CGRect& frame)
    : UIView(frame)
{ }

// ---- Shared parts ----

std::string ZV_SettingContentView::levelText(const char* caption, float value)
{
    return std::string(caption) + std::to_string(static_cast<int>(static_cast<double>(value) * 100));
}

int ZV_SettingContentView::segmentOfRate(double rate)
{
    for (int index = 0; index < 5; ++index) {
        if (rate == 0.5 + 0.25 * index)
            return index;
    }
    return 5;
}

double ZV_SettingContentView::rateOfSegment(int index)
{
    return index >= 0 && index < 5 ? 0.5 + 0.25 * index : 2.0;
}

std::shared_ptr<UISlider> ZV_SettingContentView::makeSlider()
{
    auto slider = std::make_shared<LevelSlider>();
    slider->minimumTrackTintColor = colorWithHex("03FFE1");
    slider->setThumbImage(UIImage::named("settingSlider"));
    return slider;
}

std::shared_ptr<QMUIButton> ZV_SettingContentView::makeTimeButton(const char* imageName)
{
    auto button = std::make_shared<QMUIButton>();
    button->setImage(UIImage::named(imageName));
    button->setImagePosition(QMUIButtonImagePosition::right);
    button->setSpacingBetweenImageAndTitle(16);
    button->setFont(UIFont::boldSystemFont(14));
    return button;
}

std::shared_ptr<UIDatePicker> ZV_SettingContentView::makePicker()
{
    auto picker = std::make_shared<UIDatePicker>();
    picker->setDatePickerMode(UIDatePickerMode::time);
    picker->locale = "zh_GB";
    picker->preferredDatePickerStyle = UIDatePickerStyle::wheels;
    return picker;
}

std::shared_ptr<UITextField> ZV_SettingContentView::makeInputField(std::shared_ptr<UIDatePicker> picker)
{
    auto field = std::make_shared<UITextField>();
    field->setTintColor(UIColor::clear());
    field->setTextColor(UIColor::clear());
    field->setInputView(std::move(picker));
    return field;
}

void ZV_SettingContentView::openPicker(
    UIDatePicker& picker, UITextField& field, std::int64_t seconds, const char* rowTitle)
{
    // "01:30" read as a time of day puts the minutes on the hour wheel, the seconds on the minute
    // wheel; a text that does not parse leaves the wheel where it was.
    if (std::optional<Date> date = DateFormatter("HH:mm").dateFromString(ZV_Tools::timeString(seconds)))
        picker.setDate(*date);
    // The row's title rides in the placeholder, drawn in a clear colour.
    TextRun run;
    run.text = rowTitle;
    run.foregroundColor = UIColor::clear();
    StyledText placeholder;
    placeholder.runs = { run };
    field.setAttributedPlaceholder(placeholder);
    field.becomeFirstResponder();
}

bool ZV_SettingContentView::storePickedTime(
    const UITextField& field, Date picked, const ZV_DetailModel* model)
{
    const std::string& placeholder = field.placeholder();
    if (placeholder.empty() || !model || !model->id)
        return false;
    std::int64_t seconds = ZV_Tools::minutesOfDay(picked);
    if (placeholder.find("片头") != std::string::npos)
        ZV_PlayerTimeModel::store(*model->id, ZV_PlayerTimeModel::Part::opening, seconds);
    if (placeholder.find("片尾") != std::string::npos)
        ZV_PlayerTimeModel::store(*model->id, ZV_PlayerTimeModel::Part::ending, seconds);
    return true;
}

// ---- The panel ----

void ZV_SettingContentView::setupUI()
{
    setBackgroundColor(panelColor());
    makeCornerByRoundingCorners(*this, 1 | 2, 24);

    m_title = makeSettingLabel("播放设置");
    m_title->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
    m_closeBtn = std::make_shared<QMUIButton>();
    m_closeBtn->setImage(UIImage::named("Close"));
    m_stackView = std::make_shared<UIStackView>();
    m_stackView->setAxis(UILayoutConstraintAxis::vertical);
    m_stackView->setDistribution(UIStackViewDistribution::equalSpacing);
    m_stackView->setSpacing(0);
    addSubview(m_title);
    addSubview(m_closeBtn);
    addSubview(m_stackView);

    std::weak_ptr<UIView> weak = weakFromThis();
    auto on = [weak](void (ZV_SettingContentView::*action)()) {
        return [weak, action](UIControl&) {
            if (auto self = std::static_pointer_cast<ZV_SettingContentView>(weak.lock()))
                ((*self).*action)();
        };
    };

    m_sourdView = makeRow(settingRowHeight, true);
    m_sourdTitle = makeSettingLabel("");
    m_sourdSlider = makeSlider();
    m_sourdSlider->addAction(UIControlEventValueChanged, on(&ZV_SettingContentView::zv_sliderSourd));
    placeSettingCaptionAndControl(m_sourdView, m_sourdTitle, m_sourdSlider, 100);

    m_lightView = makeRow(settingRowHeight, true);
    m_lightTitle = makeSettingLabel("");
    m_lightSlider = makeSlider();
    m_lightSlider->addAction(UIControlEventValueChanged, on(&ZV_SettingContentView::zv_sliderBrightness));
    placeSettingCaptionAndControl(m_lightView, m_lightTitle, m_lightSlider, 100);

    m_multipleView = makeRow(rateRowHeight, true);
    m_multipleTitle = makeSettingLabel("倍数播放");
    m_multipleSegmented = std::make_shared<UISegmentedControl>(
        std::vector<std::string> { "0.5X", "0.75X", "1.0X", "1.25X", "1.5X", "2.0X" });
    m_multipleSegmented->selectedSegmentTintColor = colorWithHex("03FFE1");
    m_multipleSegmented->setTintColor(ink());
    // The chosen segment's navy stays on its teal in both styles.
    m_multipleSegmented->setTitleTextAttributes({ UIFont::systemFont(14), ink() }, UIControlStateNormal);
    m_multipleSegmented->setTitleTextAttributes(
        { UIFont::systemFont(14), colorWithHex("1D1942") }, UIControlStateSelected);
    m_multipleSegmented->addAction(
        UIControlEventValueChanged, on(&ZV_SettingContentView::zv_changeSegmented));
    m_multipleView->addSubview(m_multipleTitle);
    m_multipleView->addSubview(m_multipleSegmented);
    snp(m_multipleTitle).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(16);
        make.left().equalToSuperview();
    });
    snp(m_multipleSegmented).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_multipleTitle).bottom()).offset(8);
        make.left().right().equalToSuperview();
        make.height().equalTo(38);
    });

    m_jumpHeaderView = makeRow(settingRowHeight, true);
    m_jumpHeaderTitle = makeSettingLabel(openingTitle);
    m_jumpHeaderTimeBtn = makeTimeButton("arrow_Right");
    m_jumpHeaderTimeBtn->addAction(
        UIControlEventTouchUpInside, on(&ZV_SettingContentView::zv_changeJumpHeader));
    placeSettingCaptionAndControl(m_jumpHeaderView, m_jumpHeaderTitle, m_jumpHeaderTimeBtn, std::nullopt);

    m_jumpTailView = makeRow(settingRowHeight, false);
    m_jumpTailTitle = makeSettingLabel(endingTitle);
    m_jumpTailTimeBtn = makeTimeButton("arrow_Right");
    m_jumpTailTimeBtn->addAction(UIControlEventTouchUpInside, on(&ZV_SettingContentView::zv_changeJumpTail));
    placeSettingCaptionAndControl(m_jumpTailView, m_jumpTailTitle, m_jumpTailTimeBtn, std::nullopt);

    for (const auto& row : { m_sourdView, m_lightView, m_multipleView, m_jumpHeaderView, m_jumpTailView })
        m_stackView->addArrangedSubview(row);

    m_datePicker = makePicker();
    m_dateInputView = makeInputField(m_datePicker);
    m_dateInputView->addAction(UIControlEventEditingDidEnd, on(&ZV_SettingContentView::endDatePicker));
    // Never seen: it lies over the ending row's title, only to carry the wheel on screen.
    m_jumpTailView->addSubview(m_dateInputView);
    snp(m_dateInputView).makeConstraints([this](ConstraintMaker& make) {
        make.edges().equalTo(snp(m_jumpTailTitle));
    });

    snp(m_title).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(24);
        make.centerX().equalToSuperview();
    });
    snp(m_closeBtn).makeConstraints([this](ConstraintMaker& make) {
        make.right().equalToSuperview().offset(-24);
        make.centerY().equalTo(snp(m_title));
    });
    snp(m_stackView).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_title).bottom()).offset(32);
        make.left().right().equalToSuperview().inset(24);
    });
}

void ZV_SettingContentView::traitCollectionDidChange(const UITraitCollection& previous)
{
    UIView::traitCollectionDidChange(previous);
    // The close cross and the time buttons' arrows are drawn navy: light shapes on the dark panel.
    bool dark = traitCollection().userInterfaceStyle == UIUserInterfaceStyle::dark;
    auto icon = [dark](const char* name) -> std::optional<UIImage> {
        std::optional<UIImage> drawn = UIImage::named(name);
        if (drawn && dark)
            return zvadaptive::darkStyleIcon(*drawn);
        return drawn;
    };
    if (m_closeBtn)
        m_closeBtn->setImage(icon("Close"));
    for (const auto& button : { m_jumpHeaderTimeBtn, m_jumpTailTimeBtn })
        if (button)
            button->setImage(icon("arrow_Right"));
}

UIColor ZV_SettingContentView::panelColor()
{
    return zvadaptive::surfaceColor(UIColor::white());
}

void ZV_SettingContentView::loadPlayerValues()
{
    if (!player)
        return;
    auto& levels = player->deviceVolumeAndBrightnessController();
    m_sourdSlider->setValue(levels.volume());
    m_sourdTitle->setText(levelText("声音 ", levels.volume()));
    m_lightSlider->setValue(levels.brightness());
    m_lightTitle->setText(levelText("亮度 ", levels.brightness()));
    m_multipleSegmented->setSelectedSegmentIndex(segmentOfRate(player->rate()));
}

void ZV_SettingContentView::setTimeButton(QMUIButton& button, std::int64_t seconds)
{
    button.setTitle(ZV_Tools::timeString(seconds));
    button.setTitleColor(ink());
}

void ZV_SettingContentView::reloadSkipTimes()
{
    if (model && model->id) {
        if (std::optional<ZV_PlayerTimeModel> record = ZV_PlayerTimeModel::find(*model->id)) {
            setTimeButton(*m_jumpHeaderTimeBtn, record->startProgress);
            setTimeButton(*m_jumpTailTimeBtn, record->endProgress);
            headerTime = record->startProgress;
            tailTime = record->endProgress;
        }
    }
    for (auto [button, seconds] :
        { std::pair { m_jumpHeaderTimeBtn, headerTime }, std::pair { m_jumpTailTimeBtn, tailTime } }) {
        if (seconds == 0) {
            button->setTitle(std::string("未设置"));
            button->setTitleColor(ink(0.4));
        }
    }
}

void ZV_SettingContentView::zv_sliderSourd()
{
    m_sourdTitle->setText(levelText("声音 ", m_sourdSlider->value()));
    if (player)
        player->deviceVolumeAndBrightnessController().setVolume(m_sourdSlider->value());
}

void ZV_SettingContentView::zv_sliderBrightness()
{
    m_lightTitle->setText(levelText("亮度 ", m_lightSlider->value()));
    if (player)
        player->deviceVolumeAndBrightnessController().setBrightness(m_lightSlider->value());
}

void ZV_SettingContentView::zv_changeSegmented()
{
    if (player)
        player->setRate(rateOfSegment(m_multipleSegmented->selectedSegmentIndex()));
}

void ZV_SettingContentView::zv_changeJumpHeader()
{
    openPicker(*m_datePicker, *m_dateInputView, headerTime, openingTitle);
}

void ZV_SettingContentView::zv_changeJumpTail()
{
    openPicker(*m_datePicker, *m_dateInputView, tailTime, endingTitle);
}

void ZV_SettingContentView::endDatePicker()
{
    if (!storePickedTime(*m_dateInputView, m_datePicker->date(), model.get()))
        return;
    if (clickClose)
        clickClose();
    reloadSkipTimes();
}
