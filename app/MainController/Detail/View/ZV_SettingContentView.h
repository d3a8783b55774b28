#pragma once

#include "platform/foundation/Date.h"
#include "platform/ui/UIView.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QMUIButton;
class SJVideoPlayer;
class UIDatePicker;
class UILabel;
class UISegmentedControl;
class UISlider;
class UIStackView;
class UITextField;
struct ZV_DetailModel;

// The player settings in a bottom sheet: volume, brightness, the playback rate and the title's
// opening and ending skip times. The presenter sets `model` and `player`, calls loadPlayerValues()
// and reloadSkipTimes(), and wires closeBtn; clickClose tells it that a skip time was stored.
//
// A skip time is picked on a time wheel whose hour column stands for minutes and whose minute
// column stands for seconds; every end of editing of the hidden field that carries the wheel
// stores the picked time.
class ZV_SettingContentView : public UIView {
public:
    static constexpr const char* openingTitle = "跳过片头时间";
    static constexpr const char* endingTitle = "跳过片尾时间";

    // Made and set up (subviews need an owner to hang from).
    static std::shared_ptr<ZV_SettingContentView> make(const CGRect& frame);

    // The panel: white as designed, a dark surface in the dark style.
    static UIColor panelColor();
    explicit ZV_SettingContentView(const CGRect& frame);

    std::string className() const override { return "ZV_SettingContentView"; }
    void traitCollectionDidChange(const UITraitCollection& previous) override;

    std::shared_ptr<SJVideoPlayer> player;
    std::function<void()> clickClose;
    std::shared_ptr<ZV_DetailModel> model;
    // Skip times in seconds as shown; 0 means not set.
    std::int64_t headerTime = 0;
    std::int64_t tailTime = 0;

    const std::shared_ptr<UILabel>& title() const { return m_title; }
    const std::shared_ptr<QMUIButton>& closeBtn() const { return m_closeBtn; }
    const std::shared_ptr<UILabel>& sourdTitle() const { return m_sourdTitle; }
    const std::shared_ptr<UISlider>& sourdSlider() const { return m_sourdSlider; }
    const std::shared_ptr<UILabel>& lightTitle() const { return m_lightTitle; }
    const std::shared_ptr<UISlider>& lightSlider() const { return m_lightSlider; }
    const std::shared_ptr<UISegmentedControl>& multipleSegmented() const { return m_multipleSegmented; }
    const std::shared_ptr<QMUIButton>& jumpHeaderTimeBtn() const { return m_jumpHeaderTimeBtn; }
    const std::shared_ptr<QMUIButton>& jumpTailTimeBtn() const { return m_jumpTailTimeBtn; }
    const std::shared_ptr<UIDatePicker>& datePicker() const { return m_datePicker; }
    const std::shared_ptr<UITextField>& dateInputView() const { return m_dateInputView; }

    virtual void setupUI();
    // Volume, brightness and the rate segment from the player.
    virtual void loadPlayerValues();
    // The time buttons, headerTime and tailTime from the title's stored record.
    virtual void reloadSkipTimes();

    // Control actions.
    void zv_sliderSourd();
    void zv_sliderBrightness();
    void zv_changeSegmented();
    void zv_changeJumpHeader();
    void zv_changeJumpTail();
    void endDatePicker();

    // ---- Shared with the full-screen panel ----
    // "声音 50": the caption and the integer part of value × 100.
    static std::string levelText(const char* caption, float value);
    // The segment of a rate: 0.5 → 0, 0.75 → 1, 1.0 → 2, 1.25 → 3, 1.5 → 4, anything else 5.
    static int segmentOfRate(double rate);
    // The rate of a segment: 0.5 + 0.25 × index up to 1.5; 5 and anything else 2.0.
    static double rateOfSegment(int index);
    // A level slider: 6 points of track in "03FFE1", the thumb "settingSlider".
    static std::shared_ptr<UISlider> makeSlider();
    // A time button: title, then the image 16 points to its right, 14 pt bold.
    static std::shared_ptr<QMUIButton> makeTimeButton(const char* imageName);
    // The time wheel (zh_GB) and the invisible field that carries it.
    static std::shared_ptr<UIDatePicker> makePicker();
    static std::shared_ptr<UITextField> makeInputField(std::shared_ptr<UIDatePicker> picker);
    // Brings the wheel up on the hidden field, showing `seconds` (minutes on the hour column).
    static void openPicker(
        UIDatePicker& picker, UITextField& field, std::int64_t seconds, const char* rowTitle);
    // Stores the wheel's time for the row named in the field's placeholder; false (nothing stored)
    // without a placeholder or a title id.
    static bool storePickedTime(const UITextField& field, Date picked, const ZV_DetailModel* model);

private:
    void setTimeButton(QMUIButton& button, std::int64_t seconds);

    std::shared_ptr<UILabel> m_title;
    std::shared_ptr<QMUIButton> m_closeBtn;
    std::shared_ptr<UIStackView> m_stackView;
    std::shared_ptr<UIView> m_sourdView, m_lightView, m_multipleView, m_jumpHeaderView, m_jumpTailView;
    std::shared_ptr<UILabel> m_sourdTitle, m_lightTitle, m_multipleTitle, m_jumpHeaderTitle, m_jumpTailTitle;
    std::shared_ptr<UISlider> m_sourdSlider, m_lightSlider;
    std::shared_ptr<UISegmentedControl> m_multipleSegmented;
    std::shared_ptr<QMUIButton> m_jumpHeaderTimeBtn, m_jumpTailTimeBtn;
    std::shared_ptr<UIDatePicker> m_datePicker;
    std::shared_ptr<UITextField> m_dateInputView;
};
