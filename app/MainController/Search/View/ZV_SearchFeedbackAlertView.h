#pragma once

#include "platform/ui/UIView.h"

#include <functional>
#include <memory>
#include <string>

class QMUIButton;
class QMUILabel;

// The feedback and request form, titled "反馈/求片", in a bottom sheet. Its close button calls
// closeBlock, which the presenter sets to hide the sheet.
class ZV_SearchFeedbackAlertView : public UIView {
public:
    explicit ZV_SearchFeedbackAlertView(const CGRect& frame);

    std::string className() const override { return "ZV_SearchFeedbackAlertView"; }

    std::function<void()> closeBlock;

    const std::shared_ptr<QMUIButton>& closeBtn();
    const std::shared_ptr<QMUILabel>& titleLabel() const { return m_titleLabel; }

    void didMoveToSuperview() override;
    void layoutSubviews() override;

private:
    std::shared_ptr<QMUILabel> m_titleLabel;
    std::shared_ptr<QMUIButton> m_closeBtn;
};
