#pragma once

#include "app/MainController/Short/View/ZV_SVideoCollectionViewCell.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUILabel.h"

#include <memory>
#include <string>

// A page of the short-video feed: the inline player with, over it, the clip's name and its
// "播放正片" button above the description at the bottom, and a share button at the top right.
// The feed fills the texts and gives both buttons their actions.
class ZV_ShortVideoViewCell : public ZV_SVideoCollectionViewCell {
public:
    ZV_ShortVideoViewCell();
    explicit ZV_ShortVideoViewCell(const CGRect& frame);

    std::string className() const override { return "ZV_ShortVideoViewCell"; }

    const std::shared_ptr<QMUIButton>& allButton();
    const std::shared_ptr<QMUIButton>& shareButton();
    const std::shared_ptr<QMUILabel>& nameLabel();
    const std::shared_ptr<QMUILabel>& descLabel();

    virtual void setupUI();

    // Keeps the button a capsule at whatever height it gets.
    void layoutSubviews() override;

private:
    std::shared_ptr<QMUIButton> m_allButton;
    std::shared_ptr<QMUIButton> m_shareButton;
    std::shared_ptr<QMUILabel> m_nameLabel;
    std::shared_ptr<QMUILabel> m_descLabel;
};
