#include "app/MainController/Search/View/ZV_SearchRankingCell.h"

#include "app/Extensions/CellRegistration.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Search/View/ZV_SearchRankingSubCell.h"
#include "platform/ui/layout/ConstraintMaker.h"

std::shared_ptr<ZV_SearchRankingCell> ZV_SearchRankingCell::create()
{
    auto cell = std::make_shared<ZV_SearchRankingCell>();
    cell->m_collectionView->setDataSource(cell);
    cell->m_collectionView->setDelegate(cell);
    return cell;
}

ZV_SearchRankingCell::ZV_SearchRankingCell()
{
    auto layout = std::make_shared<UICollectionViewFlowLayout>();
    layout->setScrollDirection(UICollectionViewScrollDirection::horizontal);
    layout->setItemSize({ 230, 525 });
    layout->setSectionInset({});
    layout->setMinimumLineSpacing(16);
    layout->setMinimumInteritemSpacing(16);
    m_collectionView = std::make_shared<UICollectionView>(CGRect {}, layout);
    m_collectionView->setBackgroundColor(UIColor::clear());
    m_collectionView->setShowsVerticalScrollIndicator(false);
    m_collectionView->setShowsHorizontalScrollIndicator(false);
    m_collectionView->registerClass(
        UICollectionView::CellFactory([] { return ZV_SearchRankingSubCell::create(); }),
        ::reuseIdentifier<ZV_SearchRankingSubCell>());

    contentView()->addSubview(m_collectionView);
    snp(m_collectionView).makeConstraints([](ConstraintMaker& make) {
        make.edges().equalToSuperview();
        make.width().equalTo(screenWidth() - 24);
        make.height().equalTo(525);
    });
}

int ZV_SearchRankingCell::numberOfItems(UICollectionView&, int)
{
    return static_cast<int>(zv_rankingList.size());
}

std::shared_ptr<UICollectionViewCell> ZV_SearchRankingCell::cellForItem(
    UICollectionView& collectionView, const IndexPath& indexPath)
{
    auto cell = dequeueCell<ZV_SearchRankingSubCell>(collectionView, indexPath);
    cell->keywordBlock = keywordBlock;
    cell->setRankingModel(
        indexPath.item < static_cast<int>(zv_rankingList.size()) ? zv_rankingList[indexPath.item] : nullptr);
    return cell;
}
