#pragma once

#include "platform/ui/UIView.h"

#include <functional>
#include <memory>

class UIButton;
class UILabel;

// What the full player shows when its asset cannot play: black, a message, a button that opens
// the asset again and a back button. Owners may cover it with views of their own. Main thread.
class SJLoadFailedControlLayer : public UIView {
public:
    SJLoadFailedControlLayer();

    std::string className() const override { return "SJLoadFailedControlLayer"; }

    const std::shared_ptr<UILabel>& promptLabel() const { return m_promptLabel; }
    const std::shared_ptr<UIButton>& reloadButton() const { return m_reloadButton; }
    const std::shared_ptr<UIButton>& backButton() const { return m_backButton; }

    std::function<void()> onReload;
    std::function<void()> onBack;

    void layoutSubviews() override;
    void didMoveToSuperview() override;

private:
    void attachParts();

    bool m_attached = false;
    std::shared_ptr<UILabel> m_promptLabel;
    std::shared_ptr<UIButton> m_reloadButton;
    std::shared_ptr<UIButton> m_backButton;
};
