#include "app/MainController/Home/Controller/ZV_HomeViewController.h"

#include "app/Core/Helpers/LogText.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Core/Storage/DefaultsKey.h"
#include "app/Extensions/CellRegistration.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ViewTapAction.h"
#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"
#include "app/MainController/Home/View/ZV_HomeBannerCollCell.h"
#include "app/MainController/Home/View/ZV_HomeScrollCollCell.h"
#include "app/MainController/Home/View/ZV_HomeVideoReusableView.h"
#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "app/MainController/Other/View/ZV_AdvertCollCell.h"
#include "app/MainController/Other/View/ZV_HomeVideoCollCell.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/SFSafariViewController.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUIHelper.h"
#include "platform/ui/refresh/MJRefreshAttachment.h"

#include <algorithm>
#include <cmath>

namespace {

enum class SectionKind { carousel, playback, advert, grid };

SectionKind kindOf(const std::string& layout)
{
    if (layout == ZV_HomeRecommendModelData::carouselLayout)
        return SectionKind::carousel;
    if (layout == ZV_HomeRecommendModelData::playbackLayout)
        return SectionKind::playback;
    if (layout == ZV_HomeRecommendModelData::advertLayout)
        return SectionKind::advert;
    return SectionKind::grid;
}

bool isAdFree()
{
    return UserDefaults::standard().boolForKey(DefaultsKey::cleanAD);
}

}

std::weak_ptr<ZV_HomeViewController> ZV_HomeViewController::weakSelf()
{
    return std::static_pointer_cast<ZV_HomeViewController>(sharedFromThis());
}

const std::shared_ptr<UICollectionView>& ZV_HomeViewController::collectionView()
{
    if (m_collectionView)
        return m_collectionView;
    auto layout = std::make_shared<UICollectionViewFlowLayout>();
    layout->setScrollDirection(UICollectionViewScrollDirection::vertical);
    m_collectionView = UIView::create<UICollectionView>(CGRect {}, layout);
    auto self = std::static_pointer_cast<ZV_HomeViewController>(sharedFromThis());
    m_collectionView->setDelegate(self);
    m_collectionView->setDataSource(self);
    m_collectionView->setBackgroundColor(UIColor::clear());
    m_collectionView->setAccessibilityIdentifier("home.feed");
    registerCell<ZV_HomeBannerCollCell>(*m_collectionView);
    registerCell<ZV_HomeScrollCollCell>(*m_collectionView);
    registerCell<ZV_HomeVideoCollCell>(*m_collectionView);
    registerCell<ZV_AdvertCollCell>(*m_collectionView);
    registerSupplementaryView<ZV_HomeVideoReusableView>(
        *m_collectionView, UICollectionElementKindSectionHeader);
    std::weak_ptr<ZV_HomeViewController> weak = self;
    addRefreshHeader(*m_collectionView, [weak] {
        if (auto page = weak.lock())
            page->loadRecommend();
    });
    return m_collectionView;
}

void ZV_HomeViewController::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    setupUI();
}

void ZV_HomeViewController::setupUI()
{
    view()->addSubview(collectionView());
    snp(collectionView()).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    // The first load shows the pull-to-refresh animation.
    if (auto header = mjHeader(*collectionView()))
        header->beginRefreshing();
}

void ZV_HomeViewController::viewWillAppear(bool animated)
{
    BaseViewController::viewWillAppear(animated);
    // Back on the page: the strip of titles being watched may have changed meanwhile. The very
    // first appearance finds the feed empty; the refresh header loads it.
    if (modelList.empty())
        return;
    std::weak_ptr<ZV_HomeViewController> weak = weakSelf();
    DispatchQueue::main().asyncAfter(DispatchTime::now() + reappearReloadDelay, [weak] {
        if (auto page = weak.lock())
            page->loadRecommend();
    });
}

void ZV_HomeViewController::loadRecommend()
{
    std::weak_ptr<ZV_HomeViewController> weak = weakSelf();
    // An empty list of sections must reach the page as one: the client would hand the reply's
    // message instead, which says nothing about the feed.
    ZV_Network::shared().request(
        HTTPMethod::GET, BaseURLs::main_url(), "v1/movie/index_recommend", JSON::object(),
        [weak](std::optional<JSON> json, std::optional<NSError> error) {
            if (auto page = weak.lock())
                page->handleRecommend(json, error);
        },
        ZV_Network::SignInReplies::Silent, ZV_Network::EmptyData::AsIs);
}

void ZV_HomeViewController::handleRecommend(
    const std::optional<JSON>& json, const std::optional<NSError>& error)
{
    endRefreshing(*collectionView());
    // The server has nothing to recommend: an empty page, no failure and no picture.
    if (json && isEmptyFeed(*json)) {
        modelList.clear();
        collectionView()->reloadData();
        showEmptyView(false, emptyKindNothing);
        return;
    }
    if (json && isFeed(*json)) {
        std::vector<JSON> elements = json->arrayValue();
        auto strays = std::count_if(elements.begin(), elements.end(),
            [](const JSON& element) { return element.type() != JSON::Type::Object; });
        if (strays > 0) {
            Log::write("ZV_HomeViewController: " + std::to_string(strays)
                + " elements of the recommend feed are no sections and are left out");
        }
        modelList = sectionsFrom(*json, isAdFree());
        collectionView()->reloadData();
        showEmptyView(false, emptyKindNothing);
        return;
    }
    // Whatever failed, the sections on screen stay.
    std::string reason = error ? logText(error->domain) + " (" + std::to_string(error->code) + ")"
                               : std::string("the reply holds no sections");
    Log::write("ZV_HomeViewController: the recommend feed not loaded: " + reason);
    // A refusal of the server offers no retry; a request without a usable reply, or one whose
    // reply holds no feed, does.
    if (error && error->code != 404) {
        showEmptyView(false, emptyKindNothing);
        return;
    }
    std::weak_ptr<ZV_HomeViewController> weak = weakSelf();
    showEmptyView(true, emptyKindLoadFailed, {}, [weak] {
        if (auto page = weak.lock())
            page->loadRecommend();
    });
}

bool ZV_HomeViewController::isEmptyFeed(const JSON& reply)
{
    return reply.type() == JSON::Type::Array && reply.arrayValue().empty();
}

bool ZV_HomeViewController::isFeed(const JSON& reply)
{
    auto isFilled = [](const JSON& value) { return value.type() == JSON::Type::Object && !value.isEmpty(); };
    for (const JSON& element : reply.arrayValue()) {
        if (!isFilled(element))
            continue;
        if (element["layout"].stringValue() == ZV_HomeRecommendModelData::advertLayout) {
            if (isFilled(element["data"]))
                return true;
            continue;
        }
        // A section's header shows its title and link even when it lists nothing.
        if (element["title"].type() == JSON::Type::String && !element["title"].stringValue().empty())
            return true;
        std::vector<JSON> items = element["list"].arrayValue();
        if (std::any_of(items.begin(), items.end(), isFilled))
            return true;
    }
    return false;
}

void ZV_HomeViewController::openCarouselItem(const std::shared_ptr<ZV_HomeRecommendModelDataList>& item)
{
    if (!item)
        return;
    if (item->type == 3) {
        if (auto browser = SFSafariViewController::make(item->click))
            present(browser, true);
        return;
    }
    if (item->type == 1) {
        auto detail = std::make_shared<ZV_DetailVC>();
        detail->vod_id = item->click;
        show(detail);
    }
}

std::vector<std::shared_ptr<ZV_HomeRecommendModelData>> ZV_HomeViewController::sectionsFrom(
    const JSON& reply, bool adFree)
{
    std::vector<std::shared_ptr<ZV_HomeRecommendModelData>> sections;
    for (const JSON& element : reply.arrayValue()) {
        // A number or a text among the sections would only leave an empty header behind.
        if (element.type() != JSON::Type::Object)
            continue;
        auto section = std::make_shared<ZV_HomeRecommendModelData>(element);
        if (adFree && section->layout == ZV_HomeRecommendModelData::advertLayout)
            continue;
        sections.push_back(std::move(section));
    }
    return sections;
}

void ZV_HomeViewController::keepTitlesOnly(ZV_HomeRecommendModelData& carousel)
{
    std::erase_if(carousel.list, [](const auto& item) { return !item || item->type != 1; });
}

std::shared_ptr<ZV_HomeRecommendModelData> ZV_HomeViewController::section(int index) const
{
    if (index < 0 || index >= static_cast<int>(modelList.size()))
        return nullptr;
    return modelList[index];
}

int ZV_HomeViewController::numberOfItems(const ZV_HomeRecommendModelData& section)
{
    if (kindOf(section.layout) == SectionKind::grid)
        return static_cast<int>(section.list.size());
    return 1;
}

CGSize ZV_HomeViewController::itemSize(const std::string& layout, CGFloat width, bool isPad)
{
    switch (kindOf(layout)) {
    case SectionKind::carousel: {
        CGFloat height = (width - 48) * 190 / 342;
        return { width - 48, isPad ? height * 0.5 + 24 : height };
    }
    case SectionKind::playback:
        return { width - 48, 120 };
    case SectionKind::advert:
        return { width - 48, (width - 48) * 122 / 342 };
    case SectionKind::grid:
        break;
    }
    CGFloat item = isPad ? std::floor((width - 112) / 5) : std::floor((width - 80) / 3);
    return { item, item * 184 / 103 };
}

CGSize ZV_HomeViewController::headerSize(const std::string& layout, CGFloat width)
{
    switch (kindOf(layout)) {
    case SectionKind::carousel:
        return { 0, 0 };
    case SectionKind::advert:
        return { width, 20 };
    default:
        return { width, 70 };
    }
}

int ZV_HomeViewController::numberOfSections(UICollectionView&)
{
    return static_cast<int>(modelList.size());
}

int ZV_HomeViewController::numberOfItems(UICollectionView&, int index)
{
    auto data = section(index);
    return data ? numberOfItems(*data) : 0;
}

std::shared_ptr<UICollectionViewCell> ZV_HomeViewController::cellForItem(
    UICollectionView& view, const IndexPath& indexPath)
{
    auto data = section(indexPath.section);
    if (!data)
        return std::make_shared<UICollectionViewCell>();
    switch (kindOf(data->layout)) {
    case SectionKind::carousel: {
        auto cell = dequeueCell<ZV_HomeBannerCollCell>(view, indexPath);
        // The section itself keeps only the titles, so later reloads show the same pages.
        if (isAdFree())
            keepTitlesOnly(*data);
        cell->setList(data->list);
        std::weak_ptr<ZV_HomeViewController> weak = weakSelf();
        cell->zv_homeRecommendModelDataListBlock
            = [weak](std::shared_ptr<ZV_HomeRecommendModelDataList> item) {
                  if (auto page = weak.lock())
                      page->openCarouselItem(item);
              };
        return cell;
    }
    case SectionKind::playback: {
        auto cell = dequeueCell<ZV_HomeScrollCollCell>(view, indexPath);
        cell->setList(data->list);
        cell->bannerView()->reloadView();
        ZV_HomeStripPlaces::Strip strip = ZV_HomeStripPlaces::strip(indexPath.section, *data);
        cell->setStripOffset(m_stripPlaces.offset(strip));
        m_shownStrips[indexPath.section] = std::move(strip);
        return cell;
    }
    case SectionKind::advert: {
        auto cell = dequeueCell<ZV_AdvertCollCell>(view, indexPath);
        cell->setModel(data->data);
        return cell;
    }
    case SectionKind::grid:
        break;
    }
    auto cell = dequeueCell<ZV_HomeVideoCollCell>(view, indexPath);
    if (indexPath.item >= 0 && indexPath.item < static_cast<int>(data->list.size()))
        cell->setModel(data->list[indexPath.item]);
    return cell;
}

std::shared_ptr<UICollectionReusableView> ZV_HomeViewController::viewForSupplementaryElement(
    UICollectionView& view, const std::string& kind, const IndexPath& indexPath)
{
    if (kind != UICollectionElementKindSectionHeader)
        return std::make_shared<UICollectionReusableView>();
    auto header = dequeueSupplementaryView<ZV_HomeVideoReusableView>(view, kind, indexPath);
    auto data = section(indexPath.section);
    if (!data)
        return header;
    header->setModel(data);
    std::weak_ptr<ZV_HomeViewController> weak = weakSelf();
    ZV_HomeRightModel right = data->right;
    addTapAction(*header, [weak, right](UITapGestureRecognizer&) {
        auto page = weak.lock();
        if (page && page->zv_homeRightModelBlock)
            page->zv_homeRightModelBlock(right);
    });
    return header;
}

std::optional<CGSize> ZV_HomeViewController::sizeForItem(
    UICollectionView&, UICollectionViewLayout&, const IndexPath& indexPath)
{
    auto data = section(indexPath.section);
    if (!data)
        return CGSize {};
    return itemSize(data->layout, screenWidth(), QMUIHelper::isIPad());
}

std::optional<UIEdgeInsets> ZV_HomeViewController::insetForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return UIEdgeInsets { 0, 24, 0, 24 };
}

std::optional<CGFloat> ZV_HomeViewController::minimumLineSpacingForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return 16;
}

std::optional<CGFloat> ZV_HomeViewController::minimumInteritemSpacingForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return 16;
}

std::optional<CGSize> ZV_HomeViewController::referenceSizeForHeader(
    UICollectionView&, UICollectionViewLayout&, int index)
{
    auto data = section(index);
    if (!data)
        return CGSize {};
    return headerSize(data->layout, screenWidth());
}

void ZV_HomeViewController::didEndDisplayingCell(
    UICollectionView&, UICollectionViewCell& cell, const IndexPath& indexPath)
{
    auto* strip = dynamic_cast<ZV_HomeScrollCollCell*>(&cell);
    auto shown = m_shownStrips.find(indexPath.section);
    if (!strip || shown == m_shownStrips.end())
        return;
    m_stripPlaces.remember(shown->second, strip->stripOffset());
    m_shownStrips.erase(shown);
}

void ZV_HomeViewController::didSelectItem(UICollectionView&, const IndexPath& indexPath)
{
    auto data = section(indexPath.section);
    if (!data)
        return;
    if (kindOf(data->layout) == SectionKind::advert) {
        if (auto browser = SFSafariViewController::make(data->data.data.url))
            present(browser, true);
        return;
    }
    if (indexPath.item < 0 || indexPath.item >= static_cast<int>(data->list.size()))
        return;
    auto detail = std::make_shared<ZV_DetailVC>();
    detail->vod_id = data->list[indexPath.item]->id;
    show(detail);
}
