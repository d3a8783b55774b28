#pragma once

#include "platform/ui/UIView.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QMUIButton;
class SJVideoPlayer;
class UIControl;
class UIDatePicker;
class UILabel;
class UIScrollView;
class UISlider;
class UIStackView;
class UITextField;
class UIVisualEffectView;
struct ZV_DetailModel;

// The player settings over the full-screen player, on a blurred panel at the right: volume,
// brightness, the rate while a finger is held on the picture (1.25 to 2.0 in quarter steps) and
// the title's skip times, which behave as in the portrait panel. The presenter sets `model` and
// `player`, then calls loadPlayerValues() and reloadSkipTimes(); clickClose tells it that a skip
// time was stored.
class ZV_SettingContentFullView : public UIView {
public:
    static constexpr double minimumLongPressRate = 1.25;
    static constexpr double maximumLongPressRate = 2.0;

    static std::shared_ptr<ZV_SettingContentFullView> make(const CGRect& frame);
    explicit ZV_SettingContentFullView(const CGRect& frame);

    std::string className() const override { return "ZV_SettingContentFullView"; }

    std::shared_ptr<SJVideoPlayer> player;
    std::function<void()> clickClose;
    std::shared_ptr<ZV_DetailModel> model;
    std::int64_t headerTime = 0;
    std::int64_t tailTime = 0;

    const std::shared_ptr<UIVisualEffectView>& blurView() const { return m_blurView; }
    const std::shared_ptr<UILabel>& sourdTitle() const { return m_sourdTitle; }
    const std::shared_ptr<UISlider>& sourdSlider() const { return m_sourdSlider; }
    const std::shared_ptr<UILabel>& lightTitle() const { return m_lightTitle; }
    const std::shared_ptr<UISlider>& lightSlider() const { return m_lightSlider; }
    const std::shared_ptr<QMUIButton>& longPressSubtractBtn() const { return m_longPressSubtractBtn; }
    const std::shared_ptr<UILabel>& longPressLabel() const { return m_longPressLabel; }
    const std::shared_ptr<QMUIButton>& longPressAddBtn() const { return m_longPressAddBtn; }
    const std::shared_ptr<QMUIButton>& jumpHeaderTimeBtn() const { return m_jumpHeaderTimeBtn; }
    const std::shared_ptr<QMUIButton>& jumpTailTimeBtn() const { return m_jumpTailTimeBtn; }
    const std::shared_ptr<UIDatePicker>& datePicker() const { return m_datePicker; }
    const std::shared_ptr<UITextField>& dateInputView() const { return m_dateInputView; }

    virtual void setupUI();
    virtual void loadPlayerValues();
    virtual void reloadSkipTimes();

    void zv_sliderSourd();
    void zv_sliderBrightness();
    void zv_changeLongPressWithBtn(const UIControl& sender);
    void zv_changeJumpHeader();
    void zv_changeJumpTail();
    void endDatePicker();

    // "2.0x", "1.75x": the rate with at least one decimal, then "x".
    static std::string longPressText(double rate);

private:
    std::shared_ptr<UIVisualEffectView> m_blurView;
    std::shared_ptr<UIScrollView> m_scrollView;
    std::shared_ptr<UIStackView> m_stackView;
    std::shared_ptr<UIView> m_sourdView, m_lightView, m_longPressView, m_jumpHeaderView, m_jumpTailView;
    std::shared_ptr<UILabel> m_sourdTitle, m_lightTitle, m_longPressTitle, m_jumpHeaderTitle, m_jumpTailTitle;
    std::shared_ptr<UISlider> m_sourdSlider, m_lightSlider;
    std::shared_ptr<QMUIButton> m_longPressSubtractBtn, m_longPressAddBtn;
    std::shared_ptr<UILabel> m_longPressLabel;
    std::shared_ptr<QMUIButton> m_jumpHeaderTimeBtn, m_jumpTailTimeBtn;
    std::shared_ptr<UIDatePicker> m_datePicker;
    std::shared_ptr<UITextField> m_dateInputView;
};
