#pragma once

#include "platform/ui/UIView.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMUIButton;
class QMUILabel;
class SJVideoPlayer;
struct ZV_DetailModel;

// The player settings in a bottom sheet: the playback rate and the title's opening and ending
// skip times. The presenter sets `model` and `player`, then calls loadPlayerValues() and
// reloadSkipTimes(); clickClose tells the owner that a setting was stored.
class ZV_SettingContentView : public UIView {
public:
    explicit ZV_SettingContentView(const CGRect& frame);

    std::string className() const override { return "ZV_SettingContentView"; }

    std::shared_ptr<ZV_DetailModel> model;
    std::shared_ptr<SJVideoPlayer> player;
    std::function<void()> clickClose;
    // Skip times in seconds as shown; 0 means not set.
    int headerTime = 0;
    int tailTime = 0;

    const std::shared_ptr<QMUIButton>& closeBtn();
    const std::shared_ptr<QMUILabel>& title() const { return m_title; }
    const std::vector<std::shared_ptr<QMUIButton>>& rows() const { return m_rows; }

    // Shows the player's current rate.
    void loadPlayerValues();
    // Shows the stored skip times of the title (none are stored yet: both read as not set).
    void reloadSkipTimes();

    void layoutSubviews() override;

private:
    void rebuildRows();

    std::shared_ptr<QMUILabel> m_title;
    std::shared_ptr<QMUIButton> m_closeBtn;
    std::vector<std::shared_ptr<QMUIButton>> m_rows;
    std::string m_rateText;
};
