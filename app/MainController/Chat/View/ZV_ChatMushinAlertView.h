#pragma once

#include "platform/ui/UIView.h"

#include <functional>
#include <memory>
#include <string>

class QMUIButton;
class QMUILabel;

// The mute-duration picker, titled "选择禁言时间", in a bottom sheet. "确定" hands the chosen
// length in seconds to timeBlock (one hour until the duration chips exist); the close button
// calls closeBlock, which the presenter sets to hide the sheet.
class ZV_ChatMushinAlertView : public UIView {
public:
    explicit ZV_ChatMushinAlertView(const CGRect& frame);

    std::string className() const override { return "ZV_ChatMushinAlertView"; }

    std::function<void(int)> timeBlock;
    std::function<void()> closeBlock;

    const std::shared_ptr<QMUIButton>& closeBtn();
    const std::shared_ptr<QMUIButton>& sendBtn();
    const std::shared_ptr<QMUILabel>& titleLabel() const { return m_titleLabel; }

    void didMoveToSuperview() override;
    void layoutSubviews() override;

private:
    std::shared_ptr<QMUILabel> m_titleLabel;
    std::shared_ptr<QMUIButton> m_closeBtn;
    std::shared_ptr<QMUIButton> m_sendBtn;
};
