#pragma once

#include "platform/ui/lists/UICollectionViewCell.h"

#include <memory>

class UILabel;

// An option chip of the feedback form (and of the chat's mute picker): a centred title on the
// rounded content view, whose colour the list sets.
class ZV_SearchFeedbackCell : public UICollectionViewCell {
public:
    ZV_SearchFeedbackCell();

    std::string className() const override { return "ZV_SearchFeedbackCell"; }

    const std::shared_ptr<UILabel>& titleLb();

private:
    std::shared_ptr<UILabel> m_titleLb;
};
