#include "app/MainController/Ranking/Controller/ZV_RankingChildrenVC.h"

#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Extensions/CellRegistration.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"
#include "app/MainController/Ranking/Controller/ZV_RankingMainVC.h"
#include "app/MainController/Ranking/View/ZV_RankingCell.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/ui/layout/ConstraintMaker.h"

namespace {

constexpr double kBackgroundHideDelay = 0.2;

}

const std::shared_ptr<UICollectionView>& ZV_RankingChildrenVC::zv_collectionView()
{
    if (!m_collectionView) {
        auto layout = std::make_shared<UICollectionViewFlowLayout>();
        layout->setScrollDirection(UICollectionViewScrollDirection::vertical);
        m_collectionView = std::make_shared<UICollectionView>(CGRect {}, layout);
        std::weak_ptr<ZV_RankingChildrenVC> weak
            = std::static_pointer_cast<ZV_RankingChildrenVC>(sharedFromThis());
        m_collectionView->setDelegate(weak);
        m_collectionView->setDataSource(weak);
        m_collectionView->setBackgroundColor(UIColor::clear());
        m_collectionView->setContentInset({ 14, 0, 14, 0 });
        registerCell<ZV_RankingCell>(*m_collectionView);
    }
    return m_collectionView;
}

void ZV_RankingChildrenVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    view()->setBackgroundColor(UIColor::clear());
    view()->addSubview(zv_collectionView());
    snp(zv_collectionView()).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
}

bool ZV_RankingChildrenVC::isRankingTabOnScreen() const
{
    for (auto ancestor = parent(); ancestor; ancestor = ancestor->parent()) {
        if (std::dynamic_pointer_cast<ZV_RankingMainVC>(ancestor))
            return ancestor->isAppearing();
    }
    return false;
}

void ZV_RankingChildrenVC::viewDidDisappear(bool animated)
{
    BaseViewController::viewDidDisappear(animated);
    auto self = std::static_pointer_cast<ZV_RankingChildrenVC>(sharedFromThis());
    DispatchQueue::main().asyncAfter(DispatchTime::now() + kBackgroundHideDelay, [self] {
        if (!self->isRankingTabOnScreen())
            self->hideRootBackground();
    });
}

void ZV_RankingChildrenVC::loadData()
{
    JSON parameters = model ? JSON::object({ { "id", model->id } }) : JSON::object();
    std::weak_ptr<ZV_RankingChildrenVC> weak
        = std::static_pointer_cast<ZV_RankingChildrenVC>(sharedFromThis());
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), ZV_API::rankingData, parameters, true,
        [weak](std::optional<JSON> json, std::optional<NSError>) {
            auto self = weak.lock();
            if (!self || !json)
                return;
            if (self->model)
                self->model->movie_data = ZV_RankingModel::titlesFrom(*json);
            self->zv_collectionView()->reloadData();
        });
}

int ZV_RankingChildrenVC::numberOfItems(UICollectionView&, int)
{
    return model ? static_cast<int>(model->movie_data.size()) : 0;
}

std::shared_ptr<UICollectionViewCell> ZV_RankingChildrenVC::cellForItem(
    UICollectionView& collectionView, const IndexPath& indexPath)
{
    auto cell = dequeueCell<ZV_RankingCell>(collectionView, indexPath);
    cell->setRow(indexPath.item);
    if (model && indexPath.item < static_cast<int>(model->movie_data.size()))
        cell->setModel(model->movie_data[indexPath.item]);
    return cell;
}

void ZV_RankingChildrenVC::didSelectItem(UICollectionView&, const IndexPath& indexPath)
{
    if (!model || indexPath.item >= static_cast<int>(model->movie_data.size()))
        return;
    auto detail = std::make_shared<ZV_DetailVC>();
    detail->vod_id = model->movie_data[indexPath.item]->id.value_or("");
    show(detail);
}

std::optional<CGSize> ZV_RankingChildrenVC::sizeForItem(
    UICollectionView&, UICollectionViewLayout&, const IndexPath&)
{
    return CGSize { screenWidth() - 32, 111 };
}

std::optional<CGFloat> ZV_RankingChildrenVC::minimumLineSpacingForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return 24;
}
