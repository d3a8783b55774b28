#include "app/MainController/Home/Controller/ZV_HomeScreemVC.h"

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Extensions/CellRegistration.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"
#include "app/MainController/Home/View/ZV_HomeFilterCell.h"
#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "app/MainController/Other/View/ZV_AdvertCollCell.h"
#include "app/MainController/Other/View/ZV_HomeVideoCollCell.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUIHelper.h"
#include "platform/ui/refresh/MJRefreshAttachment.h"
#include "platform/ui/refresh/MJRefreshAutoStateFooter.h"

#include <cmath>

namespace {

bool isOptionRow(ZV_HomeScreemSectionType type)
{
    return type == ZV_HomeScreemSectionType::sort || type == ZV_HomeScreemSectionType::type
        || type == ZV_HomeScreemSectionType::area || type == ZV_HomeScreemSectionType::year;
}

// The filter advert, when the advert configuration has a picture for it.
std::optional<ZV_AdvertModel> screenAdvert()
{
    const auto& adverts = ConfigSingleton::shared().advertConfigModel;
    if (!adverts)
        return std::nullopt;
    return adverts->screen_index;
}

}

std::weak_ptr<ZV_HomeScreemVC> ZV_HomeScreemVC::weakSelf()
{
    return std::static_pointer_cast<ZV_HomeScreemVC>(sharedFromThis());
}

const std::shared_ptr<UICollectionView>& ZV_HomeScreemVC::collectionView()
{
    if (m_collectionView)
        return m_collectionView;
    auto layout = std::make_shared<UICollectionViewFlowLayout>();
    layout->setScrollDirection(UICollectionViewScrollDirection::vertical);
    m_collectionView = UIView::create<UICollectionView>(CGRect {}, layout);
    auto self = std::static_pointer_cast<ZV_HomeScreemVC>(sharedFromThis());
    m_collectionView->setDelegate(self);
    m_collectionView->setDataSource(self);
    m_collectionView->setBackgroundColor(UIColor::clear());
    m_collectionView->setAccessibilityIdentifier("home.filter");
    registerCell<ZV_HomeFilterCell>(*m_collectionView);
    registerCell<ZV_HomeVideoCollCell>(*m_collectionView);
    registerCell<ZV_AdvertCollCell>(*m_collectionView);
    registerCell<UICollectionViewCell>(*m_collectionView);
    registerSupplementaryView<UICollectionReusableView>(
        *m_collectionView, UICollectionElementKindSectionHeader);
    std::weak_ptr<ZV_HomeScreemVC> weak = self;
    addRefreshHeader(*m_collectionView, [weak] {
        if (auto screen = weak.lock())
            screen->refresh();
    });
    setMjFooter(*m_collectionView, std::make_shared<MJRefreshAutoStateFooter>([weak] {
        if (auto screen = weak.lock())
            screen->loadMore();
    }));
    return m_collectionView;
}

const std::shared_ptr<QMUILabel>& ZV_HomeScreemVC::tipLb()
{
    if (m_tipLb)
        return m_tipLb;
    m_tipLb = UIView::create<QMUILabel>();
    m_tipLb->setBackgroundColor(zvadaptive::surfaceColor(UIColor::white()));
    m_tipLb->setFont(UIFont::systemFont(14));
    m_tipLb->setContentEdgeInsets({ 0, 24, 0, 24 });
    m_tipLb->setHidden(true);
    return m_tipLb;
}

void ZV_HomeScreemVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    setupUI();
    if (auto header = mjHeader(*collectionView()))
        header->beginRefreshing();
    // The option rows stand before any title arrives.
    reloadSections();
}

void ZV_HomeScreemVC::setupUI()
{
    view()->addSubview(collectionView());
    snp(collectionView()).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    view()->addSubview(tipLb());
    snp(tipLb()).makeConstraints([](ConstraintMaker& make) {
        make.left().top().right().equalToSuperview();
        make.height().equalTo(42);
    });
}

void ZV_HomeScreemVC::reloadSections()
{
    sectionTypes.clear();
    if (!zv_sort.empty())
        sectionTypes.push_back(ZV_HomeScreemSectionType::sort);
    if (zv_filter) {
        if (!zv_filter->type.empty())
            sectionTypes.push_back(ZV_HomeScreemSectionType::type);
        if (!zv_filter->area.empty())
            sectionTypes.push_back(ZV_HomeScreemSectionType::area);
        if (!zv_filter->year.empty())
            sectionTypes.push_back(ZV_HomeScreemSectionType::year);
    }
    sectionTypes.push_back(ZV_HomeScreemSectionType::line);
    if (auto advert = screenAdvert(); advert && !advert->data.image.empty())
        sectionTypes.push_back(ZV_HomeScreemSectionType::advert);
    if (!modelList.empty())
        sectionTypes.push_back(ZV_HomeScreemSectionType::list);
    collectionView()->reloadData();
}

void ZV_HomeScreemVC::refresh()
{
    // `page` follows the replies: until page 1 is in, the list on screen is still the old one.
    // A fresh start outdates every request before it.
    ++m_generation;
    m_refreshing = true;
    loadList(1);
}

void ZV_HomeScreemVC::loadMore()
{
    // The next page of a list that is being replaced would land behind the wrong titles.
    if (m_refreshing) {
        if (auto footer = mjFooter(*collectionView()))
            footer->endRefreshing();
        return;
    }
    loadList(page + 1);
}

JSON ZV_HomeScreemVC::listParameters(int pageNumber) const
{
    JSON parameters = JSON::object();
    parameters.set("type_id", type_id);
    if (zv_filterModel->sort && !zv_filterModel->sort->empty()) {
        for (const auto& option : zv_sort) {
            if (option.name == *zv_filterModel->sort) {
                parameters.set("sort", option.value);
                break;
            }
        }
    }
    if (zv_filterModel->type)
        parameters.set("class", *zv_filterModel->type);
    if (zv_filterModel->area)
        parameters.set("area", *zv_filterModel->area);
    if (zv_filterModel->year)
        parameters.set("year", *zv_filterModel->year);
    parameters.set("page", pageNumber);
    parameters.set("pageSize", pageSize);
    return parameters;
}

void ZV_HomeScreemVC::loadList(int pageNumber)
{
    unsigned generation = m_generation;
    std::weak_ptr<ZV_HomeScreemVC> weak = weakSelf();
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), ZV_API::movieScreenList,
        listParameters(pageNumber), true,
        [weak, pageNumber, generation](std::optional<JSON> json, std::optional<NSError> error) {
            if (auto screen = weak.lock())
                screen->handleList(json, error, pageNumber, generation);
        });
}

void ZV_HomeScreemVC::handleList(
    const std::optional<JSON>& json, const std::optional<NSError>& error, int pageNumber, unsigned generation)
{
    // A reply to a request that a fresh start has outdated (a chip chosen meanwhile) changes
    // nothing: the fresh start's own reply decides what the list shows.
    if (generation != m_generation)
        return;
    endRefreshing(*collectionView());
    if (pageNumber == 1)
        m_refreshing = false;
    if (!json) {
        if (error)
            ZV_Network::shared().ui().showToast(error->domain);
        return;
    }
    std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>> items = itemsFrom(*json);
    bool noMore = items.empty();
    page = pageNumber;
    if (pageNumber == 1)
        modelList = std::move(items);
    else
        modelList.insert(modelList.end(), items.begin(), items.end());
    reloadSections();
    if (noMore) {
        if (auto footer = mjFooter(*collectionView()))
            footer->endRefreshingWithNoMoreData();
    }
}

std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>> ZV_HomeScreemVC::itemsFrom(const JSON& data)
{
    std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>> items;
    for (const JSON& element : data["list"].arrayValue())
        items.push_back(std::make_shared<ZV_HomeRecommendModelDataList>(element));
    return items;
}

std::string ZV_HomeScreemVC::tipText() const
{
    std::string text;
    for (const auto* part : { &zv_filterModel->type, &zv_filterModel->area, &zv_filterModel->year }) {
        if (!*part)
            continue;
        if (!text.empty())
            text += " / ";
        text += **part;
    }
    return text;
}

std::optional<ZV_HomeScreemSectionType> ZV_HomeScreemVC::sectionType(int index) const
{
    if (index < 0 || index >= static_cast<int>(sectionTypes.size()))
        return std::nullopt;
    return sectionTypes[index];
}

CGSize ZV_HomeScreemVC::itemSize(ZV_HomeScreemSectionType section, CGFloat width, bool isPad)
{
    switch (section) {
    case ZV_HomeScreemSectionType::type:
        return { width, 72 };
    case ZV_HomeScreemSectionType::sort:
    case ZV_HomeScreemSectionType::area:
    case ZV_HomeScreemSectionType::year:
        return { width, 36 };
    case ZV_HomeScreemSectionType::advert:
        return { width - 48, (width - 48) * 122 / 342 };
    case ZV_HomeScreemSectionType::list: {
        CGFloat item = isPad ? std::floor((width - 112) / 5) : std::floor((width - 80) / 3);
        return { item, item * 184 / 103 };
    }
    case ZV_HomeScreemSectionType::line:
        break;
    }
    return { width, 0.5 };
}

int ZV_HomeScreemVC::numberOfSections(UICollectionView&)
{
    return static_cast<int>(sectionTypes.size());
}

int ZV_HomeScreemVC::numberOfItems(UICollectionView&, int index)
{
    auto type = sectionType(index);
    if (!type)
        return 0;
    return *type == ZV_HomeScreemSectionType::list ? static_cast<int>(modelList.size()) : 1;
}

std::shared_ptr<UICollectionViewCell> ZV_HomeScreemVC::cellForItem(
    UICollectionView& view, const IndexPath& indexPath)
{
    auto type = sectionType(indexPath.section);
    if (!type)
        return std::make_shared<UICollectionViewCell>();
    if (isOptionRow(*type)) {
        auto cell = dequeueCell<ZV_HomeFilterCell>(view, indexPath);
        cell->sectionType = *type;
        cell->zv_filterModel = zv_filterModel;
        std::vector<std::string> options;
        if (*type == ZV_HomeScreemSectionType::sort) {
            for (const auto& option : zv_sort)
                options.push_back(option.name);
        } else if (zv_filter) {
            options = *type == ZV_HomeScreemSectionType::type ? zv_filter->type
                : *type == ZV_HomeScreemSectionType::area     ? zv_filter->area
                                                              : zv_filter->year;
        }
        cell->setList(std::move(options));
        std::weak_ptr<ZV_HomeScreemVC> weak = weakSelf();
        cell->selectBlock = [weak] {
            if (auto screen = weak.lock())
                screen->refresh();
        };
        cell->collectionView()->reloadData();
        return cell;
    }
    if (*type == ZV_HomeScreemSectionType::advert) {
        auto cell = dequeueCell<ZV_AdvertCollCell>(view, indexPath);
        cell->setModel(screenAdvert());
        return cell;
    }
    if (*type == ZV_HomeScreemSectionType::list) {
        auto cell = dequeueCell<ZV_HomeVideoCollCell>(view, indexPath);
        if (indexPath.item >= 0 && indexPath.item < static_cast<int>(modelList.size()))
            cell->setModel(modelList[indexPath.item]);
        return cell;
    }
    return dequeueCell<UICollectionViewCell>(view, indexPath);
}

std::shared_ptr<UICollectionReusableView> ZV_HomeScreemVC::viewForSupplementaryElement(
    UICollectionView& view, const std::string& kind, const IndexPath& indexPath)
{
    if (kind != UICollectionElementKindSectionHeader)
        return std::make_shared<UICollectionReusableView>();
    return dequeueSupplementaryView<UICollectionReusableView>(view, kind, indexPath);
}

std::optional<CGSize> ZV_HomeScreemVC::sizeForItem(
    UICollectionView&, UICollectionViewLayout&, const IndexPath& indexPath)
{
    auto type = sectionType(indexPath.section);
    if (!type)
        return CGSize {};
    return itemSize(*type, screenWidth(), QMUIHelper::isIPad());
}

std::optional<UIEdgeInsets> ZV_HomeScreemVC::insetForSection(UICollectionView&, UICollectionViewLayout&, int)
{
    return UIEdgeInsets { 0, 24, 0, 24 };
}

std::optional<CGFloat> ZV_HomeScreemVC::minimumLineSpacingForSection(
    UICollectionView&, UICollectionViewLayout&, int index)
{
    return sectionType(index) == ZV_HomeScreemSectionType::list ? 16 : 0;
}

std::optional<CGFloat> ZV_HomeScreemVC::minimumInteritemSpacingForSection(
    UICollectionView&, UICollectionViewLayout&, int index)
{
    return sectionType(index) == ZV_HomeScreemSectionType::list ? 16 : 0;
}

std::optional<CGSize> ZV_HomeScreemVC::referenceSizeForHeader(
    UICollectionView&, UICollectionViewLayout&, int index)
{
    auto type = sectionType(index);
    if (type == ZV_HomeScreemSectionType::advert || type == ZV_HomeScreemSectionType::list)
        return CGSize { screenWidth(), 20 };
    return CGSize {};
}

void ZV_HomeScreemVC::didSelectItem(UICollectionView&, const IndexPath& indexPath)
{
    auto type = sectionType(indexPath.section);
    if (type == ZV_HomeScreemSectionType::advert) {
        if (auto advert = screenAdvert())
            openSafari(advert->data.url);
        return;
    }
    if (type != ZV_HomeScreemSectionType::list)
        return;
    if (indexPath.item < 0 || indexPath.item >= static_cast<int>(modelList.size()))
        return;
    auto detail = std::make_shared<ZV_DetailVC>();
    detail->vod_id = modelList[indexPath.item]->id;
    show(detail);
}

void ZV_HomeScreemVC::willDisplayCell(UICollectionView&, UICollectionViewCell&, const IndexPath& indexPath)
{
    if (sectionType(indexPath.section) == ZV_HomeScreemSectionType::line)
        tipLb()->setHidden(true);
}

void ZV_HomeScreemVC::didEndDisplayingCell(
    UICollectionView&, UICollectionViewCell&, const IndexPath& indexPath)
{
    if (sectionType(indexPath.section) != ZV_HomeScreemSectionType::line)
        return;
    std::string text = tipText();
    tipLb()->setText(text);
    tipLb()->setHidden(text.empty());
}
