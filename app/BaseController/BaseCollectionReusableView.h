#pragma once

#include "platform/ui/lists/UICollectionReusableView.h"

#include <string>

// Base of the app's section headers and footers; nothing of its own.
class BaseCollectionReusableView : public UICollectionReusableView {
public:
    using UICollectionReusableView::UICollectionReusableView;

    std::string className() const override { return "BaseCollectionReusableView"; }
};
