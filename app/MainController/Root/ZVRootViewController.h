#pragma once

#include "app/BaseController/BaseViewController.h"
#include "platform/ui/segmented/JXSegmentedListContainerView.h"
#include "platform/ui/segmented/JXSegmentedView.h"

#include <cstdint>
#include <memory>
#include <string>

class JXSegmentedIndicatorLineView;
class JXSegmentedTitleImageAndDotDataSource;
class UIImageView;
class ZV_ChatMainVC;
class ZV_MainHomeViewController;
class ZV_PersonalCenterVC;
class ZV_RankingMainVC;
class ZV_ShortPageVC;

// The screen under everything once the launch screen has gone: five pages (home, ranking, chat,
// short video, my) behind a bottom bar of icon-only tabs. Its first load also does the app's
// local start-up work (the default database, resuming unfinished downloads) and keeps two badges
// current: a dot on the "my" tab for unseen notices and the chat tab's unread count.
//
// Everything is made lazily on first use; the pages only when the container first shows them.
// Main thread only; it observes the default notification centre for the rest of the run.
class ZVRootViewController : public BaseViewController,
                             public JXSegmentedViewDelegate,
                             public JXSegmentedListContainerViewDataSource {
public:
    static constexpr int numberOfPages = 5;
    static constexpr int chatIndex = 2;
    static constexpr int mineIndex = 4;

    ZVRootViewController();
    ~ZVRootViewController() override;

    std::string className() const override { return "ZVRootViewController"; }

    void viewDidLoad() override;
    std::optional<bool> preferredNavigationBarHidden() const override { return true; }

    // Lazily made parts.
    const std::shared_ptr<ZV_MainHomeViewController>& mainHomeViewController();
    const std::shared_ptr<ZV_ShortPageVC>& shortPageVC();
    const std::shared_ptr<ZV_PersonalCenterVC>& personalCenterVC();
    const std::shared_ptr<ZV_RankingMainVC>& rankingVC();
    const std::shared_ptr<ZV_ChatMainVC>& chatVC();
    // The background picture that other screens show and hide ("explore_bg" at first, hidden).
    const std::shared_ptr<UIImageView>& imageBgView();
    const std::shared_ptr<JXSegmentedTitleImageAndDotDataSource>& dataSource();
    const std::shared_ptr<JXSegmentedIndicatorLineView>& indicator();
    const std::shared_ptr<JXSegmentedView>& segmentedView();
    const std::shared_ptr<JXSegmentedListContainerView>& listContainerView();

    void setupUI();
    // "noti": the "my" tab's dot follows hasNewNotice().
    void makeNoti();
    // The chat badge from the room's highest sequence number against the last stored message;
    // "chatNum" passes 0, which clears it.
    void makeChat(std::int64_t maxSeq);
    // Asks the server for the room's highest sequence number and sets the chat badge from it.
    void zv_roomMaxseqRequest();

    // The room's highest sequence number less the last stored message's (read without loading
    // the store, so it costs the same however many messages are kept).
    static std::int64_t chatUnreadCount(std::int64_t maxSeq);
    // Badge text for n unread messages: "" below 1, the number up to 99, else "99+".
    static std::string chatBadgeText(std::int64_t unread);

    // JXSegmentedViewDelegate
    void didSelectedItemAt(JXSegmentedView& segmentedView, int index) override;

    // JXSegmentedListContainerViewDataSource
    int numberOfLists(JXSegmentedListContainerView&) override { return numberOfPages; }
    std::shared_ptr<JXSegmentedListContainerViewListDelegate> initListAt(
        JXSegmentedListContainerView&, int index) override;

private:
    void setDefaultDatabase();
    void resumeDownloads();

    std::shared_ptr<ZV_MainHomeViewController> m_mainHomeViewController;
    std::shared_ptr<ZV_ShortPageVC> m_shortPageVC;
    std::shared_ptr<ZV_PersonalCenterVC> m_personalCenterVC;
    std::shared_ptr<ZV_RankingMainVC> m_rankingVC;
    std::shared_ptr<ZV_ChatMainVC> m_chatVC;
    std::shared_ptr<UIImageView> m_imageBgView;
    std::shared_ptr<JXSegmentedTitleImageAndDotDataSource> m_dataSource;
    std::shared_ptr<JXSegmentedIndicatorLineView> m_indicator;
    std::shared_ptr<JXSegmentedView> m_segmentedView;
    std::shared_ptr<JXSegmentedListContainerView> m_listContainerView;
};
