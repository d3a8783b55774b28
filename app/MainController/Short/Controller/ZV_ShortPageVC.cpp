#include "app/MainController/Short/Controller/ZV_ShortPageVC.h"

#include "app/Core/Helpers/ChosenStyle.h"
#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Helpers/WindowHelpers.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Extensions/ViewCorners.h"
#include "app/MainController/Explore/Controller/ZV_ExploreVC.h"
#include "app/MainController/Explore/Model/ZV_MovieExploreModel.h"
#include "app/MainController/Explore/View/ZV_ExploreView.h"
#include "app/MainController/Mine/Collect/ZV_CollectVC.h"
#include "app/MainController/Short/Controller/ZV_ShortVideoViewController.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/layout/ConstraintMaker.h"

ZV_ShortPageVC::ZV_ShortPageVC() = default;

std::weak_ptr<ZV_ShortPageVC> ZV_ShortPageVC::weakSelf()
{
    return std::static_pointer_cast<ZV_ShortPageVC>(sharedFromThis());
}

const std::shared_ptr<UIView>& ZV_ShortPageVC::zv_navView()
{
    if (!m_navView) {
        m_navView = std::make_shared<UIView>();
        m_navView->setBackgroundColor(UIColor::clear());
    }
    return m_navView;
}

const std::shared_ptr<UIButton>& ZV_ShortPageVC::zv_likeBtn()
{
    if (!m_likeBtn) {
        m_likeBtn = std::make_shared<UIButton>();
        m_likeBtn->setImage(UIImage::named("explore_like"));
        m_likeBtn->setHidden(true);
        m_likeBtn->addAction(UIControlEventTouchUpInside, [weak = weakSelf()](UIControl&) {
            if (auto self = weak.lock())
                self->show(std::make_shared<ZV_CollectVC>());
        });
    }
    return m_likeBtn;
}

const std::shared_ptr<QMUILabel>& ZV_ShortPageVC::numLb()
{
    if (!m_numLb) {
        m_numLb = std::make_shared<QMUILabel>();
        m_numLb->setHidden(true);
        m_numLb->setTextAlignment(NSTextAlignment::center);
        m_numLb->setFont(UIFont::systemFont(12));
        m_numLb->setTextColor(colorWithHex("1D1942", 1.0));
        m_numLb->setBackgroundColor(colorWithHex("03FFE1", 1.0));
        m_numLb->setContentEdgeInsets({ 2, 4, 2, 4 });
        makeCorner(*m_numLb, 10);
    }
    return m_numLb;
}

const std::shared_ptr<JXSegmentedTitleDataSource>& ZV_ShortPageVC::zv_dataSource()
{
    if (!m_dataSource) {
        m_dataSource = std::make_shared<JXSegmentedTitleDataSource>();
        m_dataSource->itemSpacing = 24;
        m_dataSource->isTitleZoomEnabled = false;
        m_dataSource->isTitleColorGradientEnabled = true;
        m_dataSource->titleNormalColor = UIColor::white();
        m_dataSource->titleSelectedColor = UIColor::white();
        m_dataSource->titleNormalFont = UIFont::systemFont(14, UIFont::Weight::medium);
        m_dataSource->titleSelectedFont = UIFont::systemFont(14, UIFont::Weight::medium);
    }
    return m_dataSource;
}

const std::shared_ptr<JXSegmentedIndicatorLineView>& ZV_ShortPageVC::zv_indicator()
{
    if (!m_indicator) {
        m_indicator = std::make_shared<JXSegmentedIndicatorLineView>();
        m_indicator->indicatorPosition = JXSegmentedIndicatorPosition::bottom;
        m_indicator->indicatorColor = colorWithHex("03FFE1", 1.0);
        m_indicator->indicatorHeight = 3;
        m_indicator->indicatorCornerRadius = 1.5;
    }
    return m_indicator;
}

const std::shared_ptr<JXSegmentedView>& ZV_ShortPageVC::zv_segmentedView()
{
    if (!m_segmentedView) {
        m_segmentedView = UIView::create<JXSegmentedView>();
        m_segmentedView->setDelegate(std::weak_ptr<JXSegmentedViewDelegate>(weakSelf()));
        m_segmentedView->setDataSource(zv_dataSource());
        m_segmentedView->setIndicators({ zv_indicator() });
        m_segmentedView->setListContainer(zv_listContainerView());
    }
    return m_segmentedView;
}

const std::shared_ptr<JXSegmentedListContainerView>& ZV_ShortPageVC::zv_listContainerView()
{
    if (!m_listContainerView) {
        m_listContainerView = UIView::create<JXSegmentedListContainerView>(
            std::weak_ptr<JXSegmentedListContainerViewDataSource>(weakSelf()),
            JXSegmentedListContainerType::scrollView);
    }
    return m_listContainerView;
}

const std::shared_ptr<ZV_ShortVideoViewController>& ZV_ShortPageVC::zv_shortVideoViewController()
{
    if (!m_shortVideoViewController)
        m_shortVideoViewController = std::make_shared<ZV_ShortVideoViewController>();
    return m_shortVideoViewController;
}

const std::shared_ptr<ZV_ExploreVC>& ZV_ShortPageVC::zv_exploreVC()
{
    if (!m_exploreVC) {
        m_exploreVC = std::make_shared<ZV_ExploreVC>();
        m_exploreVC->zv_swipeableView()->didSwipe = [weak = weakSelf()](const std::shared_ptr<UIView>& view,
                                                        ZLSwipeableViewDirection direction, CGVector) {
            auto self = weak.lock();
            if (!self || direction != ZLSwipeableViewDirection::right)
                return;
            auto card = std::dynamic_pointer_cast<ZV_ExploreView>(view);
            if (card && card->model())
                self->like(card->model()->id);
        };
    }
    return m_exploreVC;
}

void ZV_ShortPageVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    const std::shared_ptr<UIView>& root = view();
    root->setBackgroundColor(UIColor::clear());

    root->addSubview(zv_navView());
    snp(zv_navView()).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(root).safeAreaLayoutGuide().top());
        make.left().right().equalToSuperview();
        make.height().equalTo(44);
    });
    zv_navView()->addSubview(zv_likeBtn());
    snp(zv_likeBtn()).makeConstraints([](ConstraintMaker& make) {
        make.right().equalToSuperview().offset(-20);
        make.centerY().equalToSuperview();
        make.size().equalTo(CGSize { 24, 24 });
    });
    zv_navView()->addSubview(zv_segmentedView());
    snp(zv_segmentedView()).makeConstraints([](ConstraintMaker& make) {
        make.top().bottom().equalToSuperview();
        make.centerX().equalToSuperview();
        make.width().equalTo(150);
    });
    zv_likeBtn()->addSubview(numLb());
    snp(numLb()).makeConstraints([this](ConstraintMaker& make) {
        make.centerX().equalTo(snp(zv_likeBtn()).right());
        make.centerY().equalTo(snp(zv_likeBtn()).top());
        make.height().equalTo(20);
        make.width().greaterThanOrEqualTo(20);
    });
    // Pages change by their titles only: a sideways drag belongs to the page under it (the
    // feed's swipe to its grid, the cards' swipes).
    zv_listContainerView()->scrollView()->setScrollEnabled(false);
    root->addSubview(zv_listContainerView());
    snp(zv_listContainerView()).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(zv_navView()).bottom()).offset(10);
        make.left().right().bottom().equalToSuperview();
    });

    zv_dataSource()->titles = { "短视频", "探剧" };
    zv_segmentedView()->reloadData();
}

void ZV_ShortPageVC::viewWillAppear(bool animated)
{
    BaseViewController::viewWillAppear(animated);
    // Held, not only set: the viewer's style key swaps the app's choice while the page shows,
    // and the page's white titles over a clear top need the dark behind them whatever is chosen.
    m_darkLook.emplace(activeKeyWindow(), UIUserInterfaceStyle::dark);
    loadLikeCount();
}

void ZV_ShortPageVC::viewWillDisappear(bool animated)
{
    BaseViewController::viewWillDisappear(animated);
    std::weak_ptr<UIWindow> held = m_darkLook ? m_darkLook->window() : std::weak_ptr<UIWindow>();
    m_darkLook.reset();
    auto showChosen = [held] {
        if (auto window = held.lock())
            ChosenStyle::show(*window);
    };
    showChosen();
    // What is chosen then, and the page's look again if it is back by then.
    DispatchQueue::main().asyncAfter(DispatchTime::now() + styleRestoreRepeatDelay, showChosen);
}

void ZV_ShortPageVC::didSelectedItemAt(JXSegmentedView&, int index)
{
    zv_likeBtn()->setHidden(index == 0);
}

int ZV_ShortPageVC::numberOfLists(JXSegmentedListContainerView&)
{
    return zv_dataSource()->numberOfItems();
}

std::shared_ptr<JXSegmentedListContainerViewListDelegate> ZV_ShortPageVC::initListAt(
    JXSegmentedListContainerView&, int index)
{
    if (index == 0)
        return zv_shortVideoViewController();
    return zv_exploreVC();
}

// ---- Favourites ----

void ZV_ShortPageVC::loadLikeCount(std::function<void()> then)
{
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), "v1/user/movie_collect/list",
        JSON::object({ { "page", 1 }, { "pageSize", 1 } }),
        [weak = weakSelf(), then = std::move(then)](std::optional<JSON> json, std::optional<NSError>) {
            auto self = weak.lock();
            if (self && json)
                self->showLikeCount((*json)["total"].intValue());
            if (then)
                then();
        });
}

void ZV_ShortPageVC::showLikeCount(std::int64_t total)
{
    numLb()->setHidden(total == 0);
    numLb()->setText(std::to_string(total));
}

void ZV_ShortPageVC::like(const std::string& movieId)
{
    ZV_Network::shared().request(HTTPMethod::POST, BaseURLs::main_url(), "v1/movie/collect/action",
        JSON::object({ { "movie_id", movieId }, { "state", 1 } }),
        [weak = weakSelf()](std::optional<JSON> json, std::optional<NSError> error) {
            if (!json) {
                if (error)
                    QMUITips::showError(error->domain);
                return;
            }
            std::string text = json->string().value_or("");
            auto self = weak.lock();
            if (!self) {
                QMUITips::showSucceed(text);
                return;
            }
            // The server knows whether the title was a favourite already: it counts, not we.
            // The tip follows the count, whose reply would otherwise take it down at once.
            self->loadLikeCount([text] { QMUITips::showSucceed(text); });
        });
}
