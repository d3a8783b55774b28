#include "app/MainController/Detail/Cell/ZV_PlayerRelevantCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Models/ZV_HomeRecommendModelDataList.h"
#include "app/Extensions/CellRegistration.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"
#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "app/MainController/Other/View/ZV_HomeVideoCollCell.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUIHelper.h"
#include "platform/ui/qmui/QMUILabel.h"

#include <cmath>

CGSize ZV_PlayerRelevantCell::itemSize(CGFloat width, bool isPad)
{
    CGFloat itemWidth = isPad ? std::floor((width - 112) / 5) : std::floor((width - 80) / 3);
    return { itemWidth, itemWidth * 184 / 103 };
}

ZV_PlayerRelevantCell::ZV_PlayerRelevantCell(UITableViewCellStyle style, std::string reuseIdentifier)
    : UITableViewCell(style, std::move(reuseIdentifier))
    , m_title(UIView::create<QMUILabel>())
{
    setSelectionStyle(UITableViewCellSelectionStyle::none);
    m_title->setText("相关推荐");
    m_title->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    m_title->setFont(UIFont::systemFont(16, UIFont::Weight::medium));

    auto layout = std::make_shared<UICollectionViewFlowLayout>();
    layout->setItemSize(itemSize(screenWidth(), QMUIHelper::isIPad()));
    layout->setSectionInset({ 0, 24, 0, 24 });
    layout->setMinimumInteritemSpacing(16);
    layout->setMinimumLineSpacing(8);
    m_collectionView = UIView::create<UICollectionView>(CGRect {}, layout);
    m_collectionView->setBackgroundColor(zvadaptive::pageColor(UIColor::white()));
    m_collectionView->setScrollEnabled(false);
    m_collectionView->setAccessibilityIdentifier("detail.related");
    registerCell<ZV_HomeVideoCollCell>(*m_collectionView);

    const std::shared_ptr<UIView>& content = contentView();
    content->addSubview(m_title);
    content->addSubview(m_collectionView);
    snp(m_title).makeConstraints(
        [](ConstraintMaker& make) { make.top().left().equalToSuperview().offset(24); });
    snp(m_collectionView).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_title).bottom()).offset(24);
        make.left().right().bottom().equalToSuperview();
    });
}

void ZV_PlayerRelevantCell::setModelList(Titles titles)
{
    // The grid asks the cell itself, which is shared only once the table made it.
    if (!m_collectionView->dataSource()) {
        auto self = std::static_pointer_cast<ZV_PlayerRelevantCell>(sharedFromThis());
        m_collectionView->setDataSource(std::weak_ptr<UICollectionViewDataSource>(self));
        m_collectionView->setDelegate(std::weak_ptr<UICollectionViewDelegate>(self));
    }
    m_modelList = std::move(titles);
    m_collectionView->reloadData();
}

std::shared_ptr<UICollectionViewCell> ZV_PlayerRelevantCell::cellForItem(
    UICollectionView& collection, const IndexPath& indexPath)
{
    auto cell = dequeueCell<ZV_HomeVideoCollCell>(collection, indexPath);
    auto index = static_cast<std::size_t>(indexPath.item);
    if (index < m_modelList.size())
        cell->setModel(m_modelList[index]);
    return cell;
}

void ZV_PlayerRelevantCell::didSelectItem(UICollectionView&, const IndexPath& indexPath)
{
    auto index = static_cast<std::size_t>(indexPath.item);
    if (index >= m_modelList.size() || !m_modelList[index])
        return;
    auto detail = std::make_shared<ZV_DetailVC>();
    detail->vod_id = m_modelList[index]->id;
    ZV_Tools::getCurrentVC()->show(detail);
}
