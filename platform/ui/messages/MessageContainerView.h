#pragma once

#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"

namespace MessageKit {

// The bubble of a message: its background colour in a rounded shape that clips what it holds
// (a photo fills it edge to edge).
class MessageContainerView : public UIImageView {
public:
    static constexpr CGFloat maximumCornerRadius = 16;

    MessageContainerView();

    std::string className() const override { return "MessageContainerView"; }

    void layoutSubviews() override;
};

// The text inside a bubble, kept `textInsets` away from the bubble's edges.
class MessageLabel : public UILabel {
public:
    MessageLabel();

    std::string className() const override { return "MessageLabel"; }

    UIEdgeInsets textInsets;

    void drawText(CGContext& context, const CGRect& rect) override;
};

}
