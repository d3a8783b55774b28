#pragma once

#include "platform/ui/UIView.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/segmented/JXSegmentedListContainerView.h"
#include "platform/ui/segmented/JXSegmentedView.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class JXSegmentedIndicatorLineView;
class JXSegmentedTitleDataSource;
class QMUIButton;
struct ZV_DetailModel;
struct ZV_DetailDataListPlayFromListModel;

// The episodes of the source in use in a bottom sheet: the source's name (a tap asks for the
// source picker) and a close button over pages of chips. More than 50 episodes are split into
// pages of 50 under tabs titled by range ("1-50集", "51-100集"...). In choice mode a chip hands
// its episode id to clickIndexWithEpisodeId; in download mode (isDownload) chips are check boxes
// with a download bar (ZV_SelectEpisodeContentListView).
class ZV_SelectEpisodeContentView : public UIView,
                                    public JXSegmentedViewDelegate,
                                    public JXSegmentedListContainerViewDataSource {
public:
    using Episodes = std::vector<std::shared_ptr<ZV_DetailDataListPlayFromListModel>>;

    static constexpr int pageSize = 50;

    static std::shared_ptr<ZV_SelectEpisodeContentView> make(const CGRect& frame = {});
    explicit ZV_SelectEpisodeContentView(const CGRect& frame);

    std::string className() const override { return "ZV_SelectEpisodeContentView"; }

    int row = 0; // whole pages of 50
    int remainder = 0; // episodes after the last whole page
    bool isDownload = false;
    std::string episodeId; // the episode playing
    std::vector<std::string> filterList; // one per page: "1-50", ...; "" for the single page
    Episodes list; // every episode of the source shown
    std::function<void(const std::string&)> clickIndexWithEpisodeId;

    const std::shared_ptr<ZV_DetailModel>& model() const { return m_model; }
    // Takes the source in use: its episodes become `list` and the pages are built, its name
    // titles the sheet. A title without episodes builds nothing.
    void setModel(std::shared_ptr<ZV_DetailModel> model);

    const std::shared_ptr<QMUIButton>& sourceName() const { return m_sourceName; }
    const std::shared_ptr<QMUIButton>& closeBtn() const { return m_closeBtn; }
    const std::shared_ptr<JXSegmentedTitleDataSource>& zv_dataSource() const { return m_dataSource; }
    const std::shared_ptr<JXSegmentedIndicatorLineView>& zv_indicator() const { return m_indicator; }
    const std::shared_ptr<JXSegmentedView>& zv_segmentedView() const { return m_segmentedView; }
    const std::shared_ptr<JXSegmentedListContainerView>& zv_listContainerView() const { return m_listContainerView; }

    virtual void setupUI();
    // Builds the pages from `list`.
    virtual void reloadSegments();

    // The pages' ranges for n episodes: "" alone up to 50, else "1-50", "51-100"... and the rest.
    static std::vector<std::string> ranges(std::size_t count);
    // The episodes of the page of a range; the whole list when it has 50 or fewer.
    static Episodes pageEpisodes(const std::string& range, const Episodes& list);

    // JXSegmentedListContainerViewDataSource
    int numberOfLists(JXSegmentedListContainerView&) override { return static_cast<int>(filterList.size()); }
    std::shared_ptr<JXSegmentedListContainerViewListDelegate> initListAt(
        JXSegmentedListContainerView&, int index) override;

private:
    std::shared_ptr<ZV_DetailModel> m_model;
    std::shared_ptr<QMUIButton> m_sourceName;
    std::shared_ptr<QMUIButton> m_closeBtn;
    std::shared_ptr<JXSegmentedTitleDataSource> m_dataSource;
    std::shared_ptr<JXSegmentedIndicatorLineView> m_indicator;
    std::shared_ptr<JXSegmentedView> m_segmentedView;
    std::shared_ptr<JXSegmentedListContainerView> m_listContainerView;
    std::shared_ptr<Constraint> m_segmentHeight;
    std::shared_ptr<Constraint> m_containerTop;
};
