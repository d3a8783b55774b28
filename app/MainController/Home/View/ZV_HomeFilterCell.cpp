#include "app/MainController/Home/View/ZV_HomeFilterCell.h"

#include "app/Extensions/CellRegistration.h"
#include "app/MainController/Home/View/ZV_HomeFilterSubCell.h"
#include "platform/ui/layout/ConstraintMaker.h"

ZV_HomeFilterCell::ZV_HomeFilterCell()
    : ZV_HomeFilterCell(CGRect {})
{ }

ZV_HomeFilterCell::ZV_HomeFilterCell(const CGRect& frame)
    : BaseCollectionViewCell(frame)
{
    auto layout = std::make_shared<UICollectionViewFlowLayout>();
    layout->setScrollDirection(UICollectionViewScrollDirection::horizontal);
    // Chips size themselves to their titles.
    layout->setEstimatedItemSize({ 48, 28 });
    layout->setSectionInset({ 0, 24, 0, 24 });
    layout->setMinimumLineSpacing(8);
    layout->setMinimumInteritemSpacing(8);
    m_collectionView = std::make_shared<UICollectionView>(CGRect {}, layout);
    m_collectionView->setBackgroundColor(UIColor::clear());
    m_collectionView->setShowsHorizontalScrollIndicator(false);
    m_collectionView->setShowsVerticalScrollIndicator(false);
    registerCell<ZV_HomeFilterSubCell>(*m_collectionView);

    contentView()->addSubview(m_collectionView);
    snp(m_collectionView).makeConstraints([](ConstraintMaker& make) {
        make.left().right().equalToSuperview();
        make.top().equalToSuperview().offset(4);
        make.bottom().equalToSuperview().offset(-4);
    });
}

void ZV_HomeFilterCell::connect()
{
    // The strip holds its data source weakly: the cell can hand itself over only once it is owned.
    if (m_connected)
        return;
    m_connected = true;
    auto self = std::static_pointer_cast<ZV_HomeFilterCell>(sharedFromThis());
    m_collectionView->setDataSource(self);
    m_collectionView->setDelegate(self);
}

void ZV_HomeFilterCell::setList(std::vector<std::string> list)
{
    m_list = std::move(list);
    connect();
}

std::optional<std::string>* ZV_HomeFilterCell::field(ZV_FilterModel& model, ZV_HomeScreemSectionType section)
{
    switch (section) {
    case ZV_HomeScreemSectionType::sort:
        return &model.sort;
    case ZV_HomeScreemSectionType::type:
        return &model.type;
    case ZV_HomeScreemSectionType::area:
        return &model.area;
    case ZV_HomeScreemSectionType::year:
        return &model.year;
    default:
        return nullptr;
    }
}

int ZV_HomeFilterCell::numberOfItems(UICollectionView&, int)
{
    return static_cast<int>(m_list.size());
}

std::shared_ptr<UICollectionViewCell> ZV_HomeFilterCell::cellForItem(
    UICollectionView& view, const IndexPath& indexPath)
{
    auto cell = dequeueCell<ZV_HomeFilterSubCell>(view, indexPath);
    if (indexPath.item < 0 || indexPath.item >= static_cast<int>(m_list.size()))
        return cell;
    const std::string& title = m_list[indexPath.item];
    cell->titleLb()->setText(title);
    cell->setChipHidden(false);
    std::optional<std::string>* value = zv_filterModel ? field(*zv_filterModel, sectionType) : nullptr;
    if (!value) {
        cell->setSel(false);
        return cell;
    }
    cell->setSel(*value && **value == title);
    cell->setChipHidden(sectionType == ZV_HomeScreemSectionType::type && indexPath.item == 1);
    if ((!*value || (*value)->empty()) && indexPath.item == 0)
        cell->setSel(true);
    return cell;
}

void ZV_HomeFilterCell::didSelectItem(UICollectionView&, const IndexPath& indexPath)
{
    if (indexPath.item < 0 || indexPath.item >= static_cast<int>(m_list.size()))
        return;
    if (zv_filterModel) {
        if (std::optional<std::string>* value = field(*zv_filterModel, sectionType))
            *value = m_list[indexPath.item];
    }
    if (selectBlock)
        selectBlock();
}
