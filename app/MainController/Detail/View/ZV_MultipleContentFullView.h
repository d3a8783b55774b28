#pragma once

#include "platform/ui/UIView.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMUIButton;
class SJVideoPlayer;

// The playback rates over the full-screen player, one row per rate, the player's rate marked.
// A row sets the player's rate and hands its index to clickSelect.
class ZV_MultipleContentFullView : public UIView {
public:
    static constexpr int rateCount = 6;
    // 0.5, 0.75, 1.0, 1.25, 1.5, 2.0 for the indexes 0 to 5.
    static double rateAt(int index);

    explicit ZV_MultipleContentFullView(const CGRect& frame);

    std::string className() const override { return "ZV_MultipleContentFullView"; }

    std::shared_ptr<SJVideoPlayer> player;
    std::function<void(int)> clickSelect;

    const std::vector<std::shared_ptr<QMUIButton>>& rows() const { return m_rows; }

    // One row per rate.
    void buildRows();
    // What a tap on row `index` does.
    void selectRate(int index);

    void layoutSubviews() override;

private:
    std::vector<std::shared_ptr<QMUIButton>> m_rows;
};
