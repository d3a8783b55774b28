#include "app/MainController/Short/Controller/ZV_ShortListViewController.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/CellRegistration.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ParsableURL.h"
#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "app/MainController/Short/Controller/ZV_ShortVideoViewController.h"
#include "app/MainController/Short/Model/ZV_ShortModel.h"
#include "app/MainController/Short/View/ZV_ShortListViewCell.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/imageloading/UIImageViewWebCache.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUIHelper.h"
#include "platform/ui/refresh/MJRefreshAttachment.h"
#include "platform/ui/refresh/MJRefreshAutoNormalFooter.h"
#include "platform/ui/refresh/MJRefreshNormalHeader.h"

ZV_ShortListViewController::ZV_ShortListViewController() = default;

CGSize ZV_ShortListViewController::itemSize(CGFloat width, bool isPad)
{
    CGFloat itemWidth = isPad ? (width - 60) / 4 : (width - 50) / 2;
    return { itemWidth, itemWidth / 0.6 };
}

const std::shared_ptr<UIView>& ZV_ShortListViewController::zv_navView()
{
    if (!m_navView) {
        m_navView = std::make_shared<UIView>();
        m_navView->setBackgroundColor(colorWithHex("1C1B20", 1.0));
    }
    return m_navView;
}

const std::shared_ptr<QMUIButton>& ZV_ShortListViewController::zv_backBtn()
{
    if (!m_backBtn) {
        m_backBtn = std::make_shared<QMUIButton>();
        // The arrow is drawn dark, for light bars: its shape in white on this near-black one.
        if (std::optional<UIImage> back = UIImage::named("back"))
            m_backBtn->setImage(zvadaptive::darkStyleIcon(*back));
        std::weak_ptr<UIViewController> weak = weakFromThis();
        m_backBtn->addAction(UIControlEventTouchUpInside, [weak](UIControl&) {
            auto self = weak.lock();
            if (auto navigation = self ? self->navigationController() : nullptr)
                navigation->popViewController(true);
        });
    }
    return m_backBtn;
}

const std::shared_ptr<QMUILabel>& ZV_ShortListViewController::titleLabel()
{
    if (!m_titleLabel) {
        m_titleLabel = std::make_shared<QMUILabel>();
        m_titleLabel->setText("短视频");
        // Navy on the near-black bar cannot be read, in either style: white.
        m_titleLabel->setTextColor(titleColor());
        m_titleLabel->setFont(UIFont::systemFont(18));
    }
    return m_titleLabel;
}

const std::shared_ptr<UICollectionView>& ZV_ShortListViewController::collectionView()
{
    if (!m_collectionView) {
        bool isPad = QMUIHelper::isIPad();
        auto layout = std::make_shared<UICollectionViewFlowLayout>();
        layout->setScrollDirection(UICollectionViewScrollDirection::vertical);
        layout->setMinimumLineSpacing(10);
        layout->setMinimumInteritemSpacing(9);
        layout->setSectionInset({ 15, 15, 0, 15 });
        layout->setItemSize(itemSize(screenWidth(), isPad));
        m_collectionView = UIView::create<UICollectionView>(CGRect {}, layout);
        m_collectionView->setBackgroundColor(colorWithHex("28272C", 1.0));
        auto self = std::static_pointer_cast<ZV_ShortListViewController>(sharedFromThis());
        m_collectionView->setDelegate(std::weak_ptr<UICollectionViewDelegate>(self));
        m_collectionView->setDataSource(std::weak_ptr<UICollectionViewDataSource>(self));
        registerCell<ZV_ShortListViewCell>(*m_collectionView);
    }
    return m_collectionView;
}

void ZV_ShortListViewController::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    setupUI();
    if (auto header = mjHeader(*collectionView()))
        header->beginRefreshing();
}

void ZV_ShortListViewController::setupUI()
{
    const std::shared_ptr<UIView>& root = view();
    root->addSubview(collectionView());
    root->addSubview(zv_navView());
    zv_navView()->addSubview(zv_backBtn());
    zv_navView()->addSubview(titleLabel());

    snp(zv_navView()).makeConstraints([](ConstraintMaker& make) {
        make.top().left().right().equalToSuperview();
        make.height().equalTo(statusBarHeight() + 44);
    });
    snp(zv_backBtn()).makeConstraints([](ConstraintMaker& make) {
        make.left().bottom().equalToSuperview();
        make.size().equalTo(CGSize { 44, 44 });
    });
    snp(titleLabel()).makeConstraints([this](ConstraintMaker& make) {
        make.centerX().equalToSuperview();
        make.centerY().equalTo(snp(zv_backBtn()).centerY());
    });
    snp(collectionView()).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(zv_navView()).bottom());
        make.left().right().bottom().equalToSuperview();
    });

    std::weak_ptr<UIViewController> weak = weakFromThis();
    setMjHeader(*collectionView(), std::make_shared<MJRefreshNormalHeader>([weak] {
        if (auto self = std::static_pointer_cast<ZV_ShortListViewController>(weak.lock()))
            self->refresh();
    }));
    // Everything the feed had came at once: nothing more can come from below.
    setMjFooter(*collectionView(), std::make_shared<MJRefreshAutoNormalFooter>([weak] {
        if (auto self = std::static_pointer_cast<ZV_ShortListViewController>(weak.lock()))
            endFooterRefreshing(*self->collectionView(), false);
    }));
}

void ZV_ShortListViewController::refresh()
{
    UICollectionView& grid = *collectionView();
    if (auto footer = mjFooter(grid))
        footer->resetNoMoreData();
    grid.reloadData();
    endRefreshing(grid);
    if (!m_shownIndex && index >= 0 && index < static_cast<int>(list.size())) {
        m_shownIndex = true;
        // Centred on the grid's own height, which it must have by now.
        if (auto window = view()->window())
            window->layoutIfNeeded();
        grid.scrollToItem(IndexPath(index, 0), UICollectionViewScrollPositionCenteredVertically, false);
    }
}

int ZV_ShortListViewController::numberOfItems(UICollectionView&, int)
{
    return static_cast<int>(list.size());
}

std::shared_ptr<UICollectionViewCell> ZV_ShortListViewController::cellForItem(
    UICollectionView& collection, const IndexPath& indexPath)
{
    auto cell = dequeueCell<ZV_ShortListViewCell>(collection, indexPath);
    if (indexPath.item < 0 || indexPath.item >= static_cast<int>(list.size()))
        return cell;
    const ZV_ShortModel& clip = *list[indexPath.item];
    std::string cover = clip.cover.value_or("");
    if (parsesAsURL(cover))
        sd_setImage(*cell->zv_coverView(), cover, placeholderImage());
    cell->name()->setText(clip.desc.value_or(""));
    return cell;
}

void ZV_ShortListViewController::didSelectItem(UICollectionView&, const IndexPath& indexPath)
{
    auto feed = std::make_shared<ZV_ShortVideoViewController>();
    feed->index = indexPath.item;
    feed->isShowFull = true;
    feed->list = list;
    show(feed);
}

UIColor ZV_ShortListViewController::titleColor()
{
    return UIColor::white();
}
