#pragma once

#include "app/BaseController/BaseViewController.h"
#include "app/Core/Helpers/ChosenStyle.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/qmui/QMUILabel.h"
#include "platform/ui/segmented/JXSegmentedIndicatorLineView.h"
#include "platform/ui/segmented/JXSegmentedListContainerView.h"
#include "platform/ui/segmented/JXSegmentedTitleDataSource.h"
#include "platform/ui/segmented/JXSegmentedView.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class ZV_ExploreVC;
class ZV_ShortVideoViewController;

// Page 3 of the root tabs: a clear page with two tabs in a 44-point bar, "短视频" (the short-video
// feed) and "探剧" (the explore cards), and on the explore tab a favourites button with the count
// of the viewer's favourites. A card swiped right becomes a favourite from here. While the page
// shows, the window is held dark (ChosenStyle::Hold), whatever style is chosen meanwhile; leaving
// gives it the chosen style back. Main thread only.
class ZV_ShortPageVC : public BaseViewController,
                       public JXSegmentedViewDelegate,
                       public JXSegmentedListContainerViewDataSource {
public:
    // The window's style is set once more this long after the page went.
    static constexpr double styleRestoreRepeatDelay = 0.1;

    ZV_ShortPageVC();

    std::string className() const override { return "ZV_ShortPageVC"; }

    const std::shared_ptr<UIView>& zv_navView();
    const std::shared_ptr<UIButton>& zv_likeBtn();
    const std::shared_ptr<QMUILabel>& numLb();
    const std::shared_ptr<JXSegmentedTitleDataSource>& zv_dataSource();
    const std::shared_ptr<JXSegmentedIndicatorLineView>& zv_indicator();
    const std::shared_ptr<JXSegmentedView>& zv_segmentedView();
    const std::shared_ptr<JXSegmentedListContainerView>& zv_listContainerView();
    const std::shared_ptr<ZV_ShortVideoViewController>& zv_shortVideoViewController();
    // Made with the handler that turns right swipes of its cards into favourites.
    const std::shared_ptr<ZV_ExploreVC>& zv_exploreVC();

    // Asks the server how many favourites the viewer has and shows it on the badge (hidden at 0);
    // `then` runs once the reply or the failure is in.
    void loadLikeCount(std::function<void()> then = {});
    // Makes the title a favourite, asks for the count again, then shows the server's word.
    void like(const std::string& movieId);

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    std::optional<bool> preferredNavigationBarHidden() const override { return true; }

    // JXSegmentedViewDelegate
    void didSelectedItemAt(JXSegmentedView& segmentedView, int index) override;
    // JXSegmentedListContainerViewDataSource
    int numberOfLists(JXSegmentedListContainerView&) override;
    std::shared_ptr<JXSegmentedListContainerViewListDelegate> initListAt(
        JXSegmentedListContainerView&, int index) override;

private:
    void showLikeCount(std::int64_t total);
    std::weak_ptr<ZV_ShortPageVC> weakSelf();

    std::shared_ptr<UIView> m_navView;
    std::shared_ptr<UIButton> m_likeBtn;
    std::shared_ptr<QMUILabel> m_numLb;
    std::shared_ptr<JXSegmentedTitleDataSource> m_dataSource;
    std::shared_ptr<JXSegmentedIndicatorLineView> m_indicator;
    std::shared_ptr<JXSegmentedView> m_segmentedView;
    std::shared_ptr<JXSegmentedListContainerView> m_listContainerView;
    std::shared_ptr<ZV_ShortVideoViewController> m_shortVideoViewController;
    std::shared_ptr<ZV_ExploreVC> m_exploreVC;
    // While the page shows.
    std::optional<ChosenStyle::Hold> m_darkLook;
};
