#pragma once

#include "app/Core/Models/ZV_DownLoadModel.h"
#include "platform/media/MCSAssetExporter.h"
#include "platform/dispatch/DispatchGroup.h"
#include "platform/ui/UIView.h"
#include "platform/ui/lists/UICollectionView.h"
#include "platform/ui/segmented/JXSegmentedListContainerView.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QMUIButton;
class UIStackView;
struct ZV_DetailModel;
struct ZV_DetailDataListPlayFromListModel;

// One page of the episode sheet: a grid of chips, the playing one marked. In choice mode a tap
// hands the episode's id to clickIndexWithEpisodeId. In download mode the chips are check boxes:
// an episode of the title that has a download record (not a failed one) is marked downloaded and
// cannot be chosen; the bar under the grid offers "全选", "立即下载" with the number chosen, and
// "查看全部下载".
//
// "立即下载" starts a batch: each chosen episode's playlist address (its own when ready to play,
// else resolved by "v1/movie_addr/parse") is handed to the media cache's exporter and a download
// record is written; the record then follows the export's status. An episode whose address
// cannot be had, is no web address or gets no exporter leaves no record, and the batch's closing
// tip says so. The batch always ends, whatever the replies; the button stays disabled until then.
class ZV_SelectEpisodeContentListView : public UIView,
                                        public UICollectionViewDataSource,
                                        public UICollectionViewDelegateFlowLayout,
                                        public JXSegmentedListContainerViewListDelegate {
public:
    using Episodes = std::vector<std::shared_ptr<ZV_DetailDataListPlayFromListModel>>;

    static constexpr CGFloat downloadBarHeight = 134;
    static constexpr const char* preparingText = "准备下载中...";
    static constexpr const char* startedText = "开始下载";
    static constexpr const char* downloadTitle = "立即下载";

    static std::shared_ptr<ZV_SelectEpisodeContentListView> make(const CGRect& frame = {});
    explicit ZV_SelectEpisodeContentListView(const CGRect& frame);

    std::string className() const override { return "ZV_SelectEpisodeContentListView"; }

    bool isMore = false; // the sheet has more than one page
    bool isOneRow = false; // one chip per line: a name is too wide for two columns
    bool isDownload = false;
    std::string episodeId; // the episode playing
    std::shared_ptr<ZV_DetailModel> model;
    std::vector<ZV_DownLoadModel> downloadList; // every download record, as last read
    Episodes selectList; // chosen for download, in the order chosen
    std::function<void(const std::string&)> clickIndexWithEpisodeId;

    const Episodes& list() const { return m_list; }
    // The page's episodes: measures the names, reloads the grid and (download mode) reads the
    // records.
    void setList(Episodes list);

    const std::shared_ptr<UICollectionView>& collectionView() const { return m_collectionView; }
    const std::shared_ptr<UIView>& downloadView() const { return m_downloadView; }
    const std::shared_ptr<QMUIButton>& downloadAllBtn() const { return m_downloadAllBtn; }
    const std::shared_ptr<UIStackView>& downloadStackView() const { return m_downloadStackView; }
    const std::shared_ptr<QMUIButton>& downloadBtn() const { return m_downloadBtn; }
    const std::shared_ptr<QMUIButton>& lookBtn() const { return m_lookBtn; }
    // The group of the batch being started; none between batches.
    const std::optional<DispatchGroup>& group() const { return m_group; }

    virtual void setupUI();
    virtual void toggleSelectAll();
    virtual void startDownload();
    // Writes the episode's record and starts its export; the episode then leaves the batch.
    virtual void exportEpisode(const std::string& url, const std::shared_ptr<ZV_DetailDataListPlayFromListModel>& episode);
    void zv_clickAllSelect() { toggleSelectAll(); }
    void clickDownload() { startDownload(); }
    void clickLookDownload();

    // Whether a record marks the episode of this title as downloaded (a failed one does not).
    bool isDownloaded(const ZV_DetailDataListPlayFromListModel& episode) const;
    // The page's episodes that can still be chosen.
    Episodes availableEpisodes() const;
    // The record state an export status stands for; none for the others.
    static std::optional<std::string> recordState(MCSAssetExportStatus status);

    // UICollectionViewDataSource, UICollectionViewDelegateFlowLayout
    int numberOfItems(UICollectionView&, int) override { return static_cast<int>(m_list.size()); }
    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView&, const IndexPath&) override;
    std::optional<CGSize> sizeForItem(UICollectionView&, UICollectionViewLayout&, const IndexPath&) override;
    std::optional<UIEdgeInsets> insetForSection(UICollectionView&, UICollectionViewLayout&, int) override;
    void didSelectItem(UICollectionView&, const IndexPath&) override;
    // JXSegmentedListContainerViewListDelegate
    std::shared_ptr<UIView> listView() override { return sharedFromThis(); }

private:
    void updateDownloadBar();
    void reloadRecords();
    void leaveBatch(bool started);
    void batchStarted();

    Episodes m_list;
    std::shared_ptr<UICollectionView> m_collectionView;
    std::shared_ptr<UIView> m_downloadView;
    std::shared_ptr<QMUIButton> m_downloadAllBtn;
    std::shared_ptr<UIStackView> m_downloadStackView;
    std::shared_ptr<QMUIButton> m_downloadBtn;
    std::shared_ptr<QMUIButton> m_lookBtn;
    std::optional<DispatchGroup> m_group;
    int m_batchStarted = 0; // episodes of the running batch handed to an exporter
    int m_batchFailed = 0; // and those that could not be
};
