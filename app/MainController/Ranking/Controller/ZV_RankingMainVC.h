#pragma once

#include "app/BaseController/BaseViewController.h"
#include "app/MainController/Ranking/Model/ZV_RankingModel.h"
#include "platform/ui/segmented/JXSegmentedIndicatorGradientLineView.h"
#include "platform/ui/segmented/JXSegmentedListContainerView.h"
#include "platform/ui/segmented/JXSegmentedTitleDataSource.h"
#include "platform/ui/segmented/JXSegmentedView.h"

#include <memory>
#include <vector>

// The ranking screen, page 1 of the root tabs: one top tab per ranking of "v1/movie/ranking/list"
// and, under the tabs, one page per ranking, made when first shown. While it shows, the root's
// background picture is "ranking_bg". It loads once; a failed load leaves it without tabs.
class ZV_RankingMainVC : public BaseViewController,
                         public JXSegmentedViewDelegate,
                         public JXSegmentedListContainerViewDataSource {
public:
    ZV_RankingMainVC() = default;

    std::string className() const override { return "ZV_RankingMainVC"; }

    // The rankings of the last reply, in reply order.
    std::vector<std::shared_ptr<ZV_RankingModel>> zv_modelList;

    // Made on first use.
    const std::shared_ptr<JXSegmentedTitleDataSource>& zv_dataSource();
    const std::shared_ptr<JXSegmentedIndicatorGradientLineView>& zv_indicator();
    const std::shared_ptr<JXSegmentedView>& zv_segmentedView();
    const std::shared_ptr<JXSegmentedListContainerView>& zv_listContainerView();

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    // Hides the root's background at once and again 0.1 s later.
    void viewWillDisappear(bool animated) override;

    void setupUI();
    // The rankings: an array replaces zv_modelList and the tabs; anything else changes nothing.
    void requestRankings();

    int numberOfLists(JXSegmentedListContainerView&) override;
    std::shared_ptr<JXSegmentedListContainerViewListDelegate> initListAt(
        JXSegmentedListContainerView&, int index) override;

private:
    std::shared_ptr<JXSegmentedTitleDataSource> m_dataSource;
    std::shared_ptr<JXSegmentedIndicatorGradientLineView> m_indicator;
    std::shared_ptr<JXSegmentedView> m_segmentedView;
    std::shared_ptr<JXSegmentedListContainerView> m_listContainerView;
};
