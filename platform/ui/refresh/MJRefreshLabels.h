#pragma once

#include "platform/ui/UILabel.h"

#include <memory>

namespace detail {

// The look of the texts of the refresh controls.
inline std::shared_ptr<UILabel> makeRefreshLabel()
{
    auto label = std::make_shared<UILabel>();
    label->setFont(UIFont::boldSystemFont(14));
    label->setTextColor(UIColor(90.0 / 255, 90.0 / 255, 90.0 / 255, 1));
    label->setTextAlignment(NSTextAlignment::center);
    label->setBackgroundColor(UIColor::clear());
    return label;
}

}
