#pragma once

#include "app/BaseController/BaseViewController.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/swipe/ZLSwipeableView.h"

#include <memory>
#include <string>
#include <vector>

class JSON;
struct ZV_MovieExploreModel;

// The explore page ("探剧"): suggested titles as a stack of swipe cards, one batch from the server
// at a time, with a skip and a like button under the stack. Swiping is the stack's; what a right
// swipe means (a favourite) is the owner's, through the stack's did-swipe handler. While the page
// shows, the root screen's background shows "explore_bg". Main thread only.
class ZV_ExploreVC : public BaseViewController {
public:
    static constexpr unsigned activeCards = 3;
    // The background is hidden once more this long after the page went.
    static constexpr double backgroundHideRepeatDelay = 0.1;

    ZV_ExploreVC();

    // The card stack on a screen `width` wide: inset from both sides, and as high as its cards of
    // 354 wide to 500 high.
    static CGFloat cardInset(bool isPad) { return isPad ? 100 : 18; }
    static CGFloat cardHeight(CGFloat width, bool isPad)
    {
        return (width - 2 * cardInset(isPad)) * 500 / 354;
    }

    std::string className() const override { return "ZV_ExploreVC"; }

    // The current batch of titles.
    std::vector<std::shared_ptr<const ZV_MovieExploreModel>> zv_modelList;
    const std::shared_ptr<ZLSwipeableView>& zv_swipeableView();
    const std::shared_ptr<UIStackView>& zv_stackView();
    const std::shared_ptr<UIButton>& zv_closeBtn();
    const std::shared_ptr<UIButton>& zv_collectBtn();
    // Where in the batch the next card's title is.
    int index = 0;

    // The stack's next card: the title at `index` (none past the end of the batch, when a new
    // batch is asked for and dealing starts over at 0).
    virtual std::shared_ptr<UIView> loadData();

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    std::optional<bool> preferredNavigationBarHidden() const override { return true; }

private:
    void requestBatch();
    void batchArrived(const JSON& json);

    std::shared_ptr<ZLSwipeableView> m_swipeableView;
    std::shared_ptr<UIStackView> m_stackView;
    std::shared_ptr<UIButton> m_closeBtn;
    std::shared_ptr<UIButton> m_collectBtn;
};
