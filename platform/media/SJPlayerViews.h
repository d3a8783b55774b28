#pragma once

#include "platform/ui/UILabel.h"
#include "platform/ui/UIView.h"
#include "platform/ui/text/NSAttributedString.h"

#include <memory>

// A layer of a player's view that lays nothing over what lies below: touches go through it
// except where one of its subviews is.
class SJPassThroughView : public UIView {
public:
    std::string className() const override { return "SJPassThroughView"; }
    std::shared_ptr<UIView> hitTest(CGPoint point, const UIEvent* event = nullptr) override;
};

// A layer of a player's view whose subviews all fill it (the picture, the controls, prompts).
class SJFillingView : public UIView {
public:
    std::string className() const override { return "SJFillingView"; }
    void layoutSubviews() override;
};

// One text on a dark rounded plate, as prompts and pop-ups show it.
class SJPopupTextView : public UIView {
public:
    SJPopupTextView(const NSAttributedString& text, UIEdgeInsets insets);

    std::string className() const override { return "SJPopupTextView"; }
    const std::shared_ptr<UILabel>& label() const { return m_label; }
    // The plate's size for a text no wider than `maxWidth` (insets included).
    CGSize sizeThatFits(CGSize size) const override;
    void layoutSubviews() override;
    void didMoveToSuperview() override;

private:
    std::shared_ptr<UILabel> m_label;
    UIEdgeInsets m_insets;
};
