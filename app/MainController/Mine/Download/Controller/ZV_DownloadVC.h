#pragma once

#include "app/BaseController/BaseViewController.h"
#include "platform/ui/segmented/JXSegmentedIndicatorLineView.h"
#include "platform/ui/segmented/JXSegmentedListContainerView.h"
#include "platform/ui/segmented/JXSegmentedTitleDataSource.h"
#include "platform/ui/segmented/JXSegmentedView.h"

#include <cstddef>
#include <memory>
#include <string>

class UIButton;
class ZV_DownloadedVC;
class ZV_DownloadingVC;

// The download centre: two tabs in the navigation bar, "已下载" (finished downloads) and "下载中"
// (the others, with their number when there are any), over a container showing the page of the
// selected tab. It holds no download logic: its pages load the records, retitle the tabs and put
// their edit button in its bar while they show.
class ZV_DownloadVC : public BaseViewController,
                      public JXSegmentedViewDelegate,
                      public JXSegmentedListContainerViewDataSource {
public:
    ZV_DownloadVC() = default;

    std::string className() const override { return "ZV_DownloadVC"; }

    // The centre holding a page of its container (the parent of the page's parent), if any.
    static std::shared_ptr<ZV_DownloadVC> holding(const UIViewController& page);

    const std::shared_ptr<JXSegmentedTitleDataSource>& zv_dataSource();
    const std::shared_ptr<JXSegmentedIndicatorLineView>& zv_indicator();
    const std::shared_ptr<JXSegmentedView>& zv_segmentedView();
    const std::shared_ptr<JXSegmentedListContainerView>& zv_listContainerView();
    const std::shared_ptr<ZV_DownloadedVC>& downloadedVC();
    const std::shared_ptr<ZV_DownloadingVC>& downloadingVC();

    void viewDidLoad() override;

    // "已下载" and "下载中" with the count of unfinished downloads; the tabs re-read their titles,
    // the pages stay.
    void setUnfinishedCount(std::size_t unfinished);
    // The page's edit button (none removes it) as the right item of this page's navigation bar,
    // only while the page shows: a page updating behind another screen changes no bar.
    void setEditButton(const UIViewController& page, const std::shared_ptr<UIButton>& button);

    // JXSegmentedListContainerViewDataSource
    int numberOfLists(JXSegmentedListContainerView&) override;
    std::shared_ptr<JXSegmentedListContainerViewListDelegate> initListAt(
        JXSegmentedListContainerView&, int index) override;

private:
    std::weak_ptr<ZV_DownloadVC> weakSelf();

    std::shared_ptr<JXSegmentedTitleDataSource> m_dataSource;
    std::shared_ptr<JXSegmentedIndicatorLineView> m_indicator;
    std::shared_ptr<JXSegmentedView> m_segmentedView;
    std::shared_ptr<JXSegmentedListContainerView> m_listContainerView;
    std::shared_ptr<ZV_DownloadedVC> m_downloadedVC;
    std::shared_ptr<ZV_DownloadingVC> m_downloadingVC;
};
