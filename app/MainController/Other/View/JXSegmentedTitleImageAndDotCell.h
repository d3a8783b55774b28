#pragma once

#include "platform/ui/segmented/JXSegmentedTitleImageCell.h"

#include <memory>

class QMUILabel;

// A tab with an image (and title), a red dot with a white ring at the image's top right corner,
// and a number badge just outside that corner. Both start hidden; the data source shows them.
class JXSegmentedTitleImageAndDotCell : public JXSegmentedTitleImageCell {
public:
    JXSegmentedTitleImageAndDotCell();

    std::string className() const override { return "JXSegmentedTitleImageAndDotCell"; }

    // The white ring holding the dot; it is what is shown and hidden.
    const std::shared_ptr<UIView>& bgView();
    const std::shared_ptr<UIView>& dotView();
    const std::shared_ptr<QMUILabel>& numLb();

private:
    std::shared_ptr<UIView> m_bgView;
    std::shared_ptr<UIView> m_dotView;
    std::shared_ptr<QMUILabel> m_numLb;
};
