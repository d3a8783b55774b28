#pragma once

#include "app/BaseController/BaseViewController.h"
#include "platform/media/MCSPrefetchTask.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/lists/UICollectionView.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ZV_ShortModel;
class ZV_ShortVideoViewCell;
class ZV_SVideoPlayer;

// The vertical feed of short videos: one clip per page, the most visible one playing by itself,
// its neighbours prefetched into the media cache. Embedded (the short-video tab's first page) it
// fetches its own clips, 16 at a time, and a left swipe opens the grid of them; full
// (isShowFull, opened from that grid) it starts at `index` of the `list` it was given and has a
// back button. Both ask for more clips whenever the last one comes on screen, one page at a time.
// Main thread only.
class ZV_ShortVideoViewController : public BaseViewController,
                                    public UICollectionViewDataSource,
                                    public UICollectionViewDelegateFlowLayout {
public:
    static constexpr int pageSize = 16;
    // Bytes prefetched of each neighbour of the clip on screen.
    static constexpr std::uint64_t preloadSize = 104857600;
    // Full mode waits this long before jumping to its start clip.
    static constexpr double fullModeStartDelay = 0.1;

    ZV_ShortVideoViewController();
    ~ZV_ShortVideoViewController() override;

    std::string className() const override { return "ZV_ShortVideoViewController"; }

    const std::shared_ptr<UICollectionView>& collectionView();
    const std::shared_ptr<UIButton>& zv_backBtn();

    int index = 0;
    bool isShowFull = false;
    // The clips in feed order; the feed only ever appends to it.
    std::vector<std::shared_ptr<const ZV_ShortModel>> list;

    // The player last chosen to play, while its cell exists.
    std::shared_ptr<ZV_SVideoPlayer> curPlayer() const { return m_curPlayer.lock(); }
    // The item of that player's clip (0 before any).
    int currentIndex() const { return m_currentIndex; }
    const std::shared_ptr<MCSPrefetchTask>& prePrefetchTask() const { return m_prePrefetchTask; }
    const std::shared_ptr<MCSPrefetchTask>& nextPrefetchTask() const { return m_nextPrefetchTask; }

    virtual void setupUI();
    // Asks the short-video service for the next 16 clips and appends them; nothing while a
    // request is on its way. The list reloads only when clips were appended.
    virtual void loadData();

    // Plays the cell that shows the most of itself (the earlier one on a tie) unless the viewer
    // paused it, pausing the one that played before.
    void playMostVisibleCell();
    // Starts a prefetch of the clip at the index into the media cache; none outside the list or
    // for an address that does not parse.
    std::shared_ptr<MCSPrefetchTask> prefetch(int index);
    // Opens the grid of the feed's clips.
    void swipeRight();

    // The media cache's identity of an address: the whole text less its path extension
    // ("https://h/v/clip.mp4" gives "https://h/v/clip").
    static std::string assetIdentifier(const std::string& url);

    void viewDidLoad() override;
    void viewWillDisappear(bool animated) override;
    std::optional<bool> preferredNavigationBarHidden() const override { return true; }

    // UICollectionViewDataSource
    int numberOfItems(UICollectionView&, int section) override;
    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView&, const IndexPath&) override;
    // UICollectionViewDelegateFlowLayout
    std::optional<CGSize> sizeForItem(UICollectionView&, UICollectionViewLayout&, const IndexPath&) override;
    void willDisplayCell(UICollectionView&, UICollectionViewCell&, const IndexPath&) override;
    void scrollViewDidEndDragging(UIScrollView&, bool willDecelerate) override;
    void scrollViewDidEndDecelerating(UIScrollView&) override;
    void scrollViewDidScrollToTop(UIScrollView&) override;

private:
    void configure(ZV_ShortVideoViewCell& cell, const std::shared_ptr<const ZV_ShortModel>& clip);
    void openSearch(const std::string& keyword);
    void openShare(const std::shared_ptr<const ZV_ShortModel>& clip);
    void startFullMode();
    std::weak_ptr<ZV_ShortVideoViewController> weakSelf();

    std::shared_ptr<UICollectionView> m_collectionView;
    std::shared_ptr<UIButton> m_backBtn;
    std::weak_ptr<ZV_SVideoPlayer> m_curPlayer;
    int m_currentIndex = 0;
    bool m_loadingPage = false;
    std::shared_ptr<MCSPrefetchTask> m_prePrefetchTask;
    std::shared_ptr<MCSPrefetchTask> m_nextPrefetchTask;
};
