#include "app/MainController/Search/View/ZV_SearchRankingSubCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/CellRegistration.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Extensions/ViewGradient.h"
#include "app/MainController/Search/View/ZV_SearchRankingTextCell.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/CALayer.h"
#include "platform/ui/layout/ConstraintMaker.h"

std::shared_ptr<ZV_SearchRankingSubCell> ZV_SearchRankingSubCell::create()
{
    auto cell = std::make_shared<ZV_SearchRankingSubCell>();
    cell->m_collectionView->setDataSource(cell);
    cell->m_collectionView->setDelegate(cell);
    return cell;
}

ZV_SearchRankingSubCell::ZV_SearchRankingSubCell()
    : m_titleLb(std::make_shared<UILabel>())
{
    auto layout = std::make_shared<UICollectionViewFlowLayout>();
    layout->setScrollDirection(UICollectionViewScrollDirection::vertical);
    layout->setItemSize({ 198, 20 });
    m_collectionView = std::make_shared<UICollectionView>(CGRect {}, layout);
    m_collectionView->setBackgroundColor(UIColor::clear());
    m_collectionView->setShowsVerticalScrollIndicator(false);
    m_collectionView->setShowsHorizontalScrollIndicator(false);
    registerCell<ZV_SearchRankingTextCell>(*m_collectionView);

    m_titleLb->setTextAlignment(NSTextAlignment::left);
    m_titleLb->setFont(UIFont::systemFont(14, UIFont::Weight::medium));
    m_titleLb->setTextColor(colorWithHex("FF3D00"));
    m_titleLb->setBackgroundColor(UIColor::clear());

    const std::shared_ptr<UIView>& content = contentView();
    makeCorner(*content, 8);
    content->layer()->setBorderWidth(1);
    content->layer()->setBorderColor(UIColor::dynamic(colorWithHex("000000", 0.08), UIColor::white(1, 0.1)));
    content->addSubview(m_titleLb);
    content->addSubview(m_collectionView);
    snp(m_titleLb).makeConstraints([](ConstraintMaker& make) {
        make.left().top().equalToSuperview().offset(16);
        make.right().equalToSuperview().offset(-16);
        make.height().equalTo(20);
        make.width().equalTo(198);
    });
    snp(m_collectionView).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(16);
        make.right().equalToSuperview().offset(-16);
        make.top().equalTo(snp(m_titleLb).bottom()).offset(19);
        make.bottom().equalToSuperview().offset(-20);
        make.height().equalTo(450);
    });
}

void ZV_SearchRankingSubCell::setRankingModel(std::shared_ptr<ZV_RankingModel> model)
{
    m_rankingModel = std::move(model);
    m_titleLb->setText(m_rankingModel ? m_rankingModel->title : std::string {});
    m_collectionView->reloadData();
}

void ZV_SearchRankingSubCell::layoutSubviews()
{
    BaseCollectionViewCell::layoutSubviews();
    addVerticalGradient(*contentView(), gradientColors());
}

int ZV_SearchRankingSubCell::numberOfItems(UICollectionView&, int)
{
    return m_rankingModel ? static_cast<int>(m_rankingModel->list.size()) : 0;
}

std::shared_ptr<UICollectionViewCell> ZV_SearchRankingSubCell::cellForItem(
    UICollectionView& collectionView, const IndexPath& indexPath)
{
    auto cell = dequeueCell<ZV_SearchRankingTextCell>(collectionView, indexPath);
    cell->setRow(indexPath.item);
    if (m_rankingModel && indexPath.item < static_cast<int>(m_rankingModel->list.size())) {
        cell->model = m_rankingModel->list[indexPath.item];
        cell->zv_titleLb()->setText(cell->model->word);
    }
    return cell;
}

void ZV_SearchRankingSubCell::didSelectItem(UICollectionView&, const IndexPath& indexPath)
{
    if (!keywordBlock)
        return;
    std::optional<std::string> word;
    if (m_rankingModel && indexPath.item < static_cast<int>(m_rankingModel->list.size()))
        word = m_rankingModel->list[indexPath.item].word;
    keywordBlock(word);
}

std::optional<UIEdgeInsets> ZV_SearchRankingSubCell::insetForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return UIEdgeInsets { 0, 24, 0, 24 };
}

std::optional<CGFloat> ZV_SearchRankingSubCell::minimumLineSpacingForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return 10;
}

std::optional<CGFloat> ZV_SearchRankingSubCell::minimumInteritemSpacingForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return 10;
}

std::vector<UIColor> ZV_SearchRankingSubCell::gradientColors()
{
    // Peach to white; on the dark page a warm dark to the dark surface.
    return { UIColor::dynamic(colorWithHex("FFECE3"), colorWithHex("2A1C17")),
        zvadaptive::surfaceColor(colorWithHex("FFFFFF")) };
}
