#pragma once

#include "platform/ui/UIView.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class SJVideoPlayer;
class UIStackView;
class UIVisualEffectView;
class ZV_SourceContentListView;

// The playback rates over the full-screen player: one row per rate on a blurred panel, the
// player's rate marked. A tapped row sets the player's rate and hands its index to clickSelect.
class ZV_MultipleContentFullView : public UIView {
public:
    static constexpr int rateCount = 6;
    // 0.5 + 0.25 × index, except that the last row (1.75) plays at double speed.
    static double rateAt(int index);
    // "0.5X", "0.75X", "1.0X", "1.25X", "1.5X", "2.0X".
    static std::string rateTitle(int index);

    // Made and set up (subviews need an owner to hang from).
    static std::shared_ptr<ZV_MultipleContentFullView> make(const CGRect& frame);
    explicit ZV_MultipleContentFullView(const CGRect& frame);

    std::string className() const override { return "ZV_MultipleContentFullView"; }

    std::shared_ptr<SJVideoPlayer> player;
    std::function<void(int)> clickSelect;

    const std::shared_ptr<UIVisualEffectView>& blurView();
    const std::shared_ptr<UIStackView>& stackView();
    // The rate rows, top to bottom.
    std::vector<std::shared_ptr<ZV_SourceContentListView>> rows();

    virtual void setupUI();
    // One row per rate, from the player's rate at this moment.
    virtual void buildRows();
    // What a tap on row `index` does.
    void selectRate(int index);

private:
    std::shared_ptr<UIVisualEffectView> m_blurView;
    std::shared_ptr<UIStackView> m_stackView;
};
