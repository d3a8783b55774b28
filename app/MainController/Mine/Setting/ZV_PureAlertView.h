#pragma once

#include "platform/ui/UIView.h"

#include <functional>
#include <memory>

class UIButton;
class UILabel;
class UIViewController;

// The teen-mode prompt over the whole window: a dimmed background and a card with "青少年守护",
// a text asking for the viewer's age, the teen-mode button (runs callBlock), the acknowledge
// button and, under the card, a close button. The two card buttons answer the prompt for good
// (StoreData.pureAlert); closing only removes it, so it comes back at the next check.
class ZV_PureAlertView : public UIView {
public:
    // Made by viewForXib, which calls awakeFromNib.
    ZV_PureAlertView();

    std::string className() const override { return "ZV_PureAlertView"; }
    // Esc closes the prompt as its close button does, leaving it unanswered.
    bool accessibilityPerformEscape() override;

    // Lays out the parts as the interface file would, styles them and wires the buttons. Once,
    // on the owned view.
    void awakeFromNib();

    const std::shared_ptr<UIView>& bgView() const { return m_bgView; }
    const std::shared_ptr<UIButton>& closeBtn() const { return m_closeBtn; }
    const std::shared_ptr<UIView>& contentView() const { return m_contentView; }
    const std::shared_ptr<UILabel>& titleLb() const { return m_titleLb; }
    const std::shared_ptr<UILabel>& contentLb() const { return m_contentLb; }
    const std::shared_ptr<UIButton>& pureBtn() const { return m_pureBtn; }
    const std::shared_ptr<UIButton>& knowBtn() const { return m_knowBtn; }

    // Set by the presenter; the teen-mode button runs it first.
    std::function<void()> callBlock;

    // The home page's check: while the prompt has not been answered, a prompt over the whole key
    // window whose teen-mode button pushes a settings page on the host's navigation stack. None
    // when it has been answered or there is no key window.
    static std::shared_ptr<ZV_PureAlertView> showIfNeeded(const std::shared_ptr<UIViewController>& host);

private:
    void buildLayout();
    // Marks the prompt answered (unless only closing) and takes it off the screen.
    void finish(bool answered);

    std::shared_ptr<UIView> m_bgView;
    std::shared_ptr<UIButton> m_closeBtn;
    std::shared_ptr<UIView> m_contentView;
    std::shared_ptr<UILabel> m_titleLb;
    std::shared_ptr<UILabel> m_contentLb;
    std::shared_ptr<UIButton> m_pureBtn;
    std::shared_ptr<UIButton> m_knowBtn;
    bool m_awake = false;
};
