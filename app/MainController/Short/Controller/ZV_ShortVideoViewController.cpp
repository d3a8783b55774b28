#include "app/MainController/Short/Controller/ZV_ShortVideoViewController.h"

#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Extensions/CellRegistration.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ParsableURL.h"
#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "app/MainController/Search/Controller/ZV_SearchVC.h"
#include "app/MainController/Short/Controller/ZV_ShortListViewController.h"
#include "app/MainController/Short/Controller/ZV_ShortShareViewController.h"
#include "app/MainController/Short/Model/ZV_ShortModel.h"
#include "app/MainController/Short/View/ZV_ShortVideoViewCell.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/media/SJMediaCacheServer.h"
#include "platform/media/SJViewIntersection.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/gestures/UISwipeGestureRecognizer.h"
#include "platform/ui/layout/ConstraintMaker.h"

ZV_ShortVideoViewController::ZV_ShortVideoViewController() = default;

ZV_ShortVideoViewController::~ZV_ShortVideoViewController()
{
    if (m_prePrefetchTask)
        m_prePrefetchTask->cancel();
    if (m_nextPrefetchTask)
        m_nextPrefetchTask->cancel();
}

std::weak_ptr<ZV_ShortVideoViewController> ZV_ShortVideoViewController::weakSelf()
{
    return std::static_pointer_cast<ZV_ShortVideoViewController>(sharedFromThis());
}

const std::shared_ptr<UICollectionView>& ZV_ShortVideoViewController::collectionView()
{
    if (!m_collectionView) {
        auto layout = std::make_shared<UICollectionViewFlowLayout>();
        layout->setSectionInset({});
        layout->setMinimumLineSpacing(0);
        layout->setMinimumInteritemSpacing(0);
        layout->setEstimatedItemSize({});
        layout->setScrollDirection(UICollectionViewScrollDirection::vertical);
        m_collectionView = UIView::create<UICollectionView>(CGRect {}, layout);
        auto self = std::static_pointer_cast<ZV_ShortVideoViewController>(sharedFromThis());
        m_collectionView->setDelegate(std::weak_ptr<UICollectionViewDelegate>(self));
        m_collectionView->setDataSource(std::weak_ptr<UICollectionViewDataSource>(self));
        m_collectionView->setScrollsToTop(false);
        m_collectionView->setPagingEnabled(true);
        m_collectionView->setShowsVerticalScrollIndicator(false);
        registerCell<ZV_ShortVideoViewCell>(*m_collectionView);
    }
    return m_collectionView;
}

const std::shared_ptr<UIButton>& ZV_ShortVideoViewController::zv_backBtn()
{
    if (!m_backBtn) {
        m_backBtn = std::make_shared<UIButton>();
        m_backBtn->setImage(UIImage::named("back"));
        m_backBtn->addAction(UIControlEventTouchUpInside, [weak = weakSelf()](UIControl&) {
            auto self = weak.lock();
            if (auto navigation = self ? self->navigationController() : nullptr)
                navigation->popViewController(true);
        });
    }
    return m_backBtn;
}

std::string ZV_ShortVideoViewController::assetIdentifier(const std::string& url)
{
    // As a path: the extension of the last component, whatever follows its last point.
    std::string text = url;
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    std::size_t slash = text.rfind('/');
    std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    std::size_t dot = text.rfind('.');
    if (dot == std::string::npos || dot <= start)
        return text;
    return text.substr(0, dot);
}

void ZV_ShortVideoViewController::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    setupUI();

    SJMediaCacheServer& cache = SJMediaCacheServer::shared();
    cache.setEnabledConsoleLog(false);
    cache.setResolveAssetIdentifier(&ZV_ShortVideoViewController::assetIdentifier);

    if (isShowFull) {
        DispatchQueue::main().asyncAfter(DispatchTime::now() + fullModeStartDelay, [weak = weakSelf()] {
            if (auto self = weak.lock())
                self->startFullMode();
        });
        return;
    }
    QMUITips::showLoadingInView(ZV_Tools::getCurrentVC()->view());
    loadData();
}

void ZV_ShortVideoViewController::setupUI()
{
    setEdgesForExtendedLayout(UIRectEdgeNone);
    const std::shared_ptr<UIView>& root = view();
    root->setClipsToBounds(true);
    root->setBackgroundColor(UIColor::black());

    root->addSubview(collectionView());
    snp(collectionView()).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(root).safeAreaLayoutGuide().top());
        make.bottom().equalTo(snp(root).safeAreaLayoutGuide().bottom());
        make.left().right().equalToSuperview();
    });

    if (isShowFull) {
        root->addSubview(zv_backBtn());
        snp(zv_backBtn()).makeConstraints([&](ConstraintMaker& make) {
            make.left().equalToSuperview();
            make.size().equalTo(CGSize { 44, 44 });
            make.top().equalTo(snp(root).safeAreaLayoutGuide().top()).offset(10);
        });
        return;
    }
    auto swipe
        = std::make_shared<UISwipeGestureRecognizer>([weak = weakSelf()](UIGestureRecognizer& recognizer) {
              auto self = weak.lock();
              if (self && recognizer.state() == UIGestureRecognizerState::ended)
                  self->swipeRight();
          });
    swipe->direction = UISwipeGestureRecognizerDirectionLeft;
    root->addGestureRecognizer(swipe);
}

void ZV_ShortVideoViewController::startFullMode()
{
    if (index >= 0 && index < static_cast<int>(list.size()))
        collectionView()->scrollToItem(
            IndexPath(index, 0), UICollectionViewScrollPositionCenteredVertically, false);
    DispatchQueue::main().async([weak = weakSelf()] {
        if (auto self = weak.lock())
            self->playMostVisibleCell();
    });
}

void ZV_ShortVideoViewController::loadData()
{
    // One page at a time: the last clip shown again while a page is on its way asks for nothing.
    if (m_loadingPage)
        return;
    m_loadingPage = true;
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::short_url(), ZV_API::shortVideoList,
        JSON::object({ { "pageSize", pageSize } }), true,
        [weak = weakSelf()](std::optional<JSON> json, std::optional<NSError>) {
            auto self = weak.lock();
            if (!self)
                return;
            self->m_loadingPage = false;
            if (!json)
                return;
            std::size_t before = self->list.size();
            for (const JSON& item : (*json)["list"].arrayValue())
                self->list.push_back(std::make_shared<const ZV_ShortModel>(item));
            // A page that brought nothing changes nothing on screen. Reloading would display the
            // last clip again, which asks for the next page: a request storm at the feed's end.
            if (self->list.size() == before)
                return;
            self->collectionView()->reloadData();
            // Laid out now, so that the pages on screen exist when the most visible is sought.
            if (auto window = self->view()->window())
                window->layoutIfNeeded();
            self->playMostVisibleCell();
        });
}

void ZV_ShortVideoViewController::viewWillDisappear(bool animated)
{
    BaseViewController::viewWillDisappear(animated);
    if (auto player = curPlayer())
        player->pause();
}

// ---- Pages ----

int ZV_ShortVideoViewController::numberOfItems(UICollectionView&, int)
{
    return static_cast<int>(list.size());
}

std::shared_ptr<UICollectionViewCell> ZV_ShortVideoViewController::cellForItem(
    UICollectionView& collection, const IndexPath& indexPath)
{
    return dequeueCell<ZV_ShortVideoViewCell>(collection, indexPath);
}

std::optional<CGSize> ZV_ShortVideoViewController::sizeForItem(
    UICollectionView& collection, UICollectionViewLayout&, const IndexPath&)
{
    if (isShowFull)
        return CGSize { screenWidth(), screenHeight() - statusBarHeight() - bottomSafeAreaHeight() };
    return collection.frame().size;
}

void ZV_ShortVideoViewController::willDisplayCell(
    UICollectionView&, UICollectionViewCell& displayed, const IndexPath& indexPath)
{
    int item = indexPath.item;
    auto* cell = dynamic_cast<ZV_ShortVideoViewCell*>(&displayed);
    if (!cell || item < 0 || item >= static_cast<int>(list.size()))
        return;
    configure(*cell, list[item]);

    if (!curPlayer()) {
        m_curPlayer = cell->player();
        m_currentIndex = item;
        cell->player()->play();
    }

    if (m_prePrefetchTask)
        m_prePrefetchTask->cancel();
    if (m_nextPrefetchTask)
        m_nextPrefetchTask->cancel();
    m_prePrefetchTask = prefetch(item - 1);
    m_nextPrefetchTask = prefetch(item + 1);

    // The last clip is coming on screen: ask for more (again each time it does).
    if (item > static_cast<int>(list.size()) - 2)
        loadData();
}

void ZV_ShortVideoViewController::configure(
    ZV_ShortVideoViewCell& cell, const std::shared_ptr<const ZV_ShortModel>& clip)
{
    std::string address = clip->playAddr.value_or("");
    if (!parsesAsURL(address)) {
        // Nothing to play here; a reused cell must not go on with the clip it showed before.
        if (cell.player()->URLAsset())
            cell.player()->stop();
    } else if (!cell.player()->isConfiguredWith(address)) {
        // The same clip shown again (the list reloaded under it) plays on where it was.
        cell.player()->configureWithURL(address);
    }
    cell.setCoverUrl(clip->cover.value_or(""));
    cell.nameLabel()->setText(clip->title.value_or(""));
    cell.descLabel()->setText(clip->desc.value_or(""));

    cell.allButton()->removeActions(UIControlEventTouchUpInside);
    cell.allButton()->addAction(UIControlEventTouchUpInside, [weak = weakSelf(), clip](UIControl&) {
        if (auto self = weak.lock())
            self->openSearch(clip->title.value_or(""));
    });
    cell.shareButton()->removeActions(UIControlEventTouchUpInside);
    cell.shareButton()->addAction(UIControlEventTouchUpInside, [weak = weakSelf(), clip](UIControl&) {
        if (auto self = weak.lock())
            self->openShare(clip);
    });
}

void ZV_ShortVideoViewController::openSearch(const std::string& keyword)
{
    auto search = std::make_shared<ZV_SearchVC>();
    search->setKeyword(keyword);
    show(search);
}

void ZV_ShortVideoViewController::openShare(const std::shared_ptr<const ZV_ShortModel>& clip)
{
    auto share = std::make_shared<ZV_ShortShareViewController>();
    share->model = clip;
    // Over the tab, as a sheet would be: the page under it stays on screen, and dark.
    share->setModalPresentationStyle(UIModalPresentationStyle::overFullScreen);
    present(share, true);
}

// ---- Playing and prefetching ----

void ZV_ShortVideoViewController::playMostVisibleCell()
{
    UICollectionView& collection = *collectionView();
    std::shared_ptr<ZV_ShortVideoViewCell> candidate;
    CGFloat best = 0;
    for (const auto& visible : collection.visibleCells()) {
        auto cell = std::dynamic_pointer_cast<ZV_ShortVideoViewCell>(visible);
        if (!cell)
            continue;
        CGFloat height = intersectionWithView(*cell, collection).height();
        if (height > best) {
            best = height;
            candidate = cell;
        }
    }
    if (!candidate)
        return;

    std::shared_ptr<ZV_SVideoPlayer> player = candidate->player();
    std::shared_ptr<ZV_SVideoPlayer> previous = curPlayer();
    if (previous && previous != player)
        previous->pause();
    m_curPlayer = player;
    if (auto indexPath = collection.indexPathForCell(*candidate))
        m_currentIndex = indexPath->item;
    if (!player->isUserPaused())
        player->play();
}

std::shared_ptr<MCSPrefetchTask> ZV_ShortVideoViewController::prefetch(int item)
{
    if (item < 0 || item >= static_cast<int>(list.size()))
        return nullptr;
    std::string address = list[item]->playAddr.value_or("");
    if (!parsesAsURL(address))
        return nullptr;
    return SJMediaCacheServer::shared().prefetch(
        address, preloadSize, [](float) {}, nullptr);
}

void ZV_ShortVideoViewController::scrollViewDidEndDragging(UIScrollView&, bool willDecelerate)
{
    if (!willDecelerate)
        playMostVisibleCell();
}

void ZV_ShortVideoViewController::scrollViewDidEndDecelerating(UIScrollView&)
{
    playMostVisibleCell();
}

void ZV_ShortVideoViewController::scrollViewDidScrollToTop(UIScrollView&)
{
    playMostVisibleCell();
}

void ZV_ShortVideoViewController::swipeRight()
{
    auto grid = std::make_shared<ZV_ShortListViewController>();
    grid->list = list;
    grid->index = m_currentIndex;
    show(grid);
}
