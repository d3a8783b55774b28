#include "app/MainController/Mine/Download/Controller/ZV_DownloadVC.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/MainController/Mine/Download/Controller/DownloadRecords.h"
#include "app/MainController/Mine/Download/Controller/ZV_DownloadedVC.h"
#include "app/MainController/Mine/Download/Controller/ZV_DownloadingVC.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/ui/UIBarButtonItem.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UINavigationItem.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/layout/ConstraintMaker.h"

std::weak_ptr<ZV_DownloadVC> ZV_DownloadVC::weakSelf()
{
    return std::static_pointer_cast<ZV_DownloadVC>(sharedFromThis());
}

std::shared_ptr<ZV_DownloadVC> ZV_DownloadVC::holding(const UIViewController& page)
{
    std::shared_ptr<UIViewController> container = page.parent();
    return container ? std::dynamic_pointer_cast<ZV_DownloadVC>(container->parent()) : nullptr;
}

const std::shared_ptr<JXSegmentedTitleDataSource>& ZV_DownloadVC::zv_dataSource()
{
    if (!m_dataSource) {
        m_dataSource = std::make_shared<JXSegmentedTitleDataSource>();
        m_dataSource->titleNormalColor = zvadaptive::textColor(colorWithHex("222222"));
        m_dataSource->titleSelectedColor = zvadaptive::textColor(colorWithHex("222222"));
        m_dataSource->titleNormalFont = UIFont::systemFont(14, UIFont::Weight::medium);
        m_dataSource->titleSelectedFont = UIFont::systemFont(14, UIFont::Weight::medium);
        m_dataSource->isTitleColorGradientEnabled = true;
        m_dataSource->isTitleZoomEnabled = false;
    }
    return m_dataSource;
}

const std::shared_ptr<JXSegmentedIndicatorLineView>& ZV_DownloadVC::zv_indicator()
{
    if (!m_indicator) {
        m_indicator = std::make_shared<JXSegmentedIndicatorLineView>();
        m_indicator->indicatorColor = colorWithHex("03FFE1");
        m_indicator->indicatorHeight = 3;
        m_indicator->indicatorCornerRadius = 0;
        m_indicator->indicatorPosition = JXSegmentedIndicatorPosition::bottom;
    }
    return m_indicator;
}

const std::shared_ptr<JXSegmentedView>& ZV_DownloadVC::zv_segmentedView()
{
    if (!m_segmentedView) {
        m_segmentedView = UIView::create<JXSegmentedView>();
        m_segmentedView->setDelegate(std::weak_ptr<JXSegmentedViewDelegate>(weakSelf()));
        m_segmentedView->setDataSource(zv_dataSource());
        m_segmentedView->setIndicators({ zv_indicator() });
        m_segmentedView->setListContainer(zv_listContainerView());
        m_segmentedView->setAccessibilityIdentifier("download.tabs");
    }
    return m_segmentedView;
}

const std::shared_ptr<JXSegmentedListContainerView>& ZV_DownloadVC::zv_listContainerView()
{
    if (!m_listContainerView) {
        m_listContainerView = UIView::create<JXSegmentedListContainerView>(
            std::weak_ptr<JXSegmentedListContainerViewDataSource>(weakSelf()),
            JXSegmentedListContainerType::scrollView);
    }
    return m_listContainerView;
}

const std::shared_ptr<ZV_DownloadedVC>& ZV_DownloadVC::downloadedVC()
{
    if (!m_downloadedVC)
        m_downloadedVC = std::make_shared<ZV_DownloadedVC>();
    return m_downloadedVC;
}

const std::shared_ptr<ZV_DownloadingVC>& ZV_DownloadVC::downloadingVC()
{
    if (!m_downloadingVC)
        m_downloadingVC = std::make_shared<ZV_DownloadingVC>();
    return m_downloadingVC;
}

void ZV_DownloadVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    setEdgesForExtendedLayout(UIRectEdgeNone);
    zv_segmentedView()->setFrame({ 0, 0, 200, 40 });
    navigationItem().setTitleView(zv_segmentedView());
    view()->addSubview(zv_listContainerView());
    snp(zv_listContainerView()).makeConstraints([](ConstraintMaker& make) {
        make.edges().equalToSuperview();
    });
    zv_dataSource()->titles = { downloads::downloadedTitle, downloads::downloadingTitle(0) };
    zv_segmentedView()->reloadData();
}

void ZV_DownloadVC::setUnfinishedCount(std::size_t unfinished)
{
    zv_dataSource()->titles = { downloads::downloadedTitle, downloads::downloadingTitle(unfinished) };
    zv_segmentedView()->reloadDataWithoutListContainer();
}

void ZV_DownloadVC::setEditButton(const UIViewController& page, const std::shared_ptr<UIButton>& button)
{
    if (!page.isAppearing())
        return;
    navigationItem().setRightBarButtonItem(button ? UIBarButtonItem::withCustomView(button) : nullptr);
}

int ZV_DownloadVC::numberOfLists(JXSegmentedListContainerView&)
{
    return zv_dataSource()->numberOfItems();
}

std::shared_ptr<JXSegmentedListContainerViewListDelegate> ZV_DownloadVC::initListAt(
    JXSegmentedListContainerView&, int index)
{
    if (index == 0)
        return downloadedVC();
    return downloadingVC();
}
