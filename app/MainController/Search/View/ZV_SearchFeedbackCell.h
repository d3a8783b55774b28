#pragma once

#include "app/BaseController/BaseCollectionViewCell.h"
#include "app/Core/Models/ZV_ConfigDataFeedback.h"
#include "platform/ui/UILabel.h"

#include <memory>
#include <optional>

// An option chip of the request form (and of the chat's mute picker): a rounded box with a
// centred label. Its owner sets the text and the background of the content view.
class ZV_SearchFeedbackCell : public BaseCollectionViewCell {
public:
    ZV_SearchFeedbackCell();
    explicit ZV_SearchFeedbackCell(const CGRect& frame);

    std::string className() const override { return "ZV_SearchFeedbackCell"; }

    std::optional<ZV_ConfigDataFeedback> model;

    const std::shared_ptr<UILabel>& titleLb() const { return m_titleLb; }

    void layoutSubviews() override;

private:
    std::shared_ptr<UILabel> m_titleLb;
};
