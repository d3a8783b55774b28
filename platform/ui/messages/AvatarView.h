#pragma once

#include "platform/ui/UIImageView.h"

namespace MessageKit {

// The sender's picture beside a bubble: round, grey until a picture is set.
class AvatarView : public UIImageView {
public:
    AvatarView();

    std::string className() const override { return "AvatarView"; }

    void layoutSubviews() override;
};

}
