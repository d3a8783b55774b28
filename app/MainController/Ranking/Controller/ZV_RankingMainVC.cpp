#include "app/MainController/Ranking/Controller/ZV_RankingMainVC.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/MainController/Ranking/Controller/ZV_RankingChildrenVC.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/ui/layout/ConstraintMaker.h"

namespace {

constexpr double kRootBackgroundHideDelay = 0.1;

}

const std::shared_ptr<JXSegmentedTitleDataSource>& ZV_RankingMainVC::zv_dataSource()
{
    if (!m_dataSource) {
        m_dataSource = std::make_shared<JXSegmentedTitleDataSource>();
        m_dataSource->itemSpacing = 26;
        m_dataSource->isItemSpacingAverageEnabled = false;
        m_dataSource->isTitleZoomEnabled = false;
        m_dataSource->isTitleColorGradientEnabled = true;
        m_dataSource->titleNormalColor = zvadaptive::textColor(colorWithHex("1D1942", 0.5));
        m_dataSource->titleNormalFont = UIFont::systemFont(16);
        m_dataSource->titleSelectedColor = zvadaptive::textColor(colorWithHex("1D1942"));
        m_dataSource->titleSelectedFont = UIFont::systemFont(24, UIFont::Weight::medium);
    }
    return m_dataSource;
}

const std::shared_ptr<JXSegmentedIndicatorGradientLineView>& ZV_RankingMainVC::zv_indicator()
{
    if (!m_indicator) {
        m_indicator = std::make_shared<JXSegmentedIndicatorGradientLineView>();
        m_indicator->colors = { colorWithHex("01FFF7"), colorWithHex("01FFF7", 0) };
        m_indicator->indicatorWidthIncrement = 20;
        m_indicator->indicatorHeight = 8;
        m_indicator->indicatorCornerRadius = 0;
        m_indicator->indicatorPosition = JXSegmentedIndicatorPosition::bottom;
        m_indicator->verticalOffset = 10;
    }
    return m_indicator;
}

const std::shared_ptr<JXSegmentedView>& ZV_RankingMainVC::zv_segmentedView()
{
    if (!m_segmentedView) {
        m_segmentedView = UIView::create<JXSegmentedView>();
        m_segmentedView->setDelegate(std::static_pointer_cast<ZV_RankingMainVC>(sharedFromThis()));
        m_segmentedView->setDataSource(zv_dataSource());
        m_segmentedView->setIndicators({ zv_indicator() });
        m_segmentedView->setListContainer(zv_listContainerView());
    }
    return m_segmentedView;
}

const std::shared_ptr<JXSegmentedListContainerView>& ZV_RankingMainVC::zv_listContainerView()
{
    if (!m_listContainerView) {
        std::weak_ptr<JXSegmentedListContainerViewDataSource> source
            = std::static_pointer_cast<ZV_RankingMainVC>(sharedFromThis());
        m_listContainerView
            = UIView::create<JXSegmentedListContainerView>(source, JXSegmentedListContainerType::scrollView);
    }
    return m_listContainerView;
}

void ZV_RankingMainVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    setupUI();
    requestRankings();
}

void ZV_RankingMainVC::setupUI()
{
    const std::shared_ptr<UIView>& root = view();
    // The root's ranking picture is this page's backdrop.
    root->setBackgroundColor(UIColor::clear());
    root->addSubview(zv_segmentedView());
    root->addSubview(zv_listContainerView());
    snp(zv_segmentedView()).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(root).safeAreaLayoutGuide().top());
        make.left().right().equalToSuperview();
        make.height().equalTo(54);
    });
    snp(zv_listContainerView()).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_segmentedView).bottom());
        make.left().right().bottom().equalToSuperview();
    });
}

void ZV_RankingMainVC::viewWillAppear(bool animated)
{
    BaseViewController::viewWillAppear(animated);
    showRootBackground("ranking_bg");
}

void ZV_RankingMainVC::viewWillDisappear(bool animated)
{
    BaseViewController::viewWillDisappear(animated);
    hideRootBackground();
    auto self = std::static_pointer_cast<ZV_RankingMainVC>(sharedFromThis());
    DispatchQueue::main().asyncAfter(
        DispatchTime::now() + kRootBackgroundHideDelay, [self] { self->hideRootBackground(); });
}

void ZV_RankingMainVC::requestRankings()
{
    std::weak_ptr<ZV_RankingMainVC> weak = std::static_pointer_cast<ZV_RankingMainVC>(sharedFromThis());
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), "v1/movie/ranking/list",
        JSON::object(), [weak](std::optional<JSON> json, std::optional<NSError>) {
            auto self = weak.lock();
            if (!self || !json || !json->array())
                return;
            self->zv_modelList = ZV_RankingModel::rankingsFrom(*json);
            std::vector<std::string> titles;
            for (const auto& ranking : self->zv_modelList)
                titles.push_back(ranking->title);
            self->zv_dataSource()->titles = std::move(titles);
            self->zv_segmentedView()->reloadData();
        });
}

int ZV_RankingMainVC::numberOfLists(JXSegmentedListContainerView&)
{
    return zv_dataSource()->numberOfItems();
}

std::shared_ptr<JXSegmentedListContainerViewListDelegate> ZV_RankingMainVC::initListAt(
    JXSegmentedListContainerView&, int index)
{
    auto page = std::make_shared<ZV_RankingChildrenVC>();
    if (index < 0 || index >= static_cast<int>(zv_modelList.size()))
        return page;
    page->model = zv_modelList[index];
    if (!page->model->movie_data.empty())
        page->zv_collectionView()->reloadData();
    else
        page->loadData();
    return page;
}
