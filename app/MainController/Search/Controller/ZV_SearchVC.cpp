#include "app/MainController/Search/Controller/ZV_SearchVC.h"

#include "app/BaseController/BaseCollectionReusableView.h"
#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Helpers/Debounce.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Core/Storage/StoreData.h"
#include "app/Extensions/BaseCollectionViewLeftAlignedLayout.h"
#include "app/Extensions/CellRegistration.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ViewTapAction.h"
#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"
#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "app/MainController/Other/View/ZV_AdvertCollCell.h"
#include "app/MainController/Other/View/ZV_ShowBottomView.h"
#include "app/MainController/Search/View/ZV_SearchCell.h"
#include "app/MainController/Search/View/ZV_SearchCompleteCell.h"
#include "app/MainController/Search/View/ZV_SearchEmptyView.h"
#include "app/MainController/Search/View/ZV_SearchHeaderReusableView.h"
#include "app/MainController/Search/View/ZV_SearchMovieCell.h"
#include "app/MainController/Search/View/ZV_SearchNavView.h"
#include "app/MainController/Search/View/ZV_SearchRankingCell.h"
#include "app/MainController/Search/View/ZV_SearchTagCell.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/lists/UICollectionViewLayoutAttributes.h"

#include <algorithm>

namespace {

constexpr const char* kCollectNotification = "collect";

// The title id a "collect" notice carries: text, as the API client posts it.
std::optional<std::string> titleIdOf(const std::any& object)
{
    if (const auto* json = std::any_cast<JSON>(&object))
        return json->string();
    if (const auto* text = std::any_cast<std::string>(&object))
        return *text;
    return std::nullopt;
}

}

// ---- History ----

std::vector<std::string> ZV_SearchVC::history()
{
    std::optional<PropertyList> stored = StoreData::value(StoreData::history);
    if (!stored)
        return {};
    return stored->stringArrayValue().value_or(std::vector<std::string> {});
}

void ZV_SearchVC::recordHistory(const std::string& keyword)
{
    std::vector<std::string> entries = history();
    std::erase(entries, keyword);
    entries.insert(entries.begin(), keyword);
    if (entries.size() > maximumHistoryCount)
        entries.resize(maximumHistoryCount);
    StoreData::set(PropertyList(entries), StoreData::history);
}

void ZV_SearchVC::clearHistory()
{
    StoreData::remove(StoreData::history);
}

// ---- Layout table ----

ZV_SearchVC::SectionLayout ZV_SearchVC::sectionLayout(ZV_SearchSectionType type, CGFloat w)
{
    switch (type) {
    case ZV_SearchSectionType::advert:
        return { { w - 48, (w - 48) * 122 / 342 }, { 0, 24, 12, 24 }, 12, 8, {} };
    case ZV_SearchSectionType::history:
    case ZV_SearchSectionType::screenList:
        return { { 100, 36 }, { 0, 24, 12, 24 }, 12, 8, { w, 44 } };
    case ZV_SearchSectionType::ranking:
        return { { w - 24, 525 }, { 20, 24, 12, 0 }, 12, 8, {} };
    case ZV_SearchSectionType::complete:
        return { { w - 48, 54 }, { 0, 24, 12, 24 }, 0, 0, {} };
    case ZV_SearchSectionType::movie:
        return { { w - 32, 146 }, { 0, 16, 12, 16 }, 0, 0, {} };
    case ZV_SearchSectionType::tag:
        return { { w - 32, 64 }, { 0, 16, 4, 16 }, 12, 8, {} };
    }
    return {};
}

// ---- Life ----

ZV_SearchVC::~ZV_SearchVC()
{
    NotificationCenter::defaultCenter().removeObservers(this);
}

std::weak_ptr<ZV_SearchVC> ZV_SearchVC::weakSelf()
{
    return std::static_pointer_cast<ZV_SearchVC>(sharedFromThis());
}

UITextField& ZV_SearchVC::field()
{
    return *zv_searchView()->zv_searchField();
}

void ZV_SearchVC::setKeyword(std::optional<std::string> keyword)
{
    m_keyword = std::move(keyword);
    field().setText(m_keyword.value_or(""));
    submitSearch(m_keyword);
}

const std::shared_ptr<ZV_SearchNavView>& ZV_SearchVC::zv_searchView()
{
    if (!m_searchView) {
        m_searchView = ZV_SearchNavView::create();
        const std::shared_ptr<UITextField>& searchField = m_searchView->zv_searchField();
        searchField->setDelegate(weakSelf());
        std::weak_ptr<ZV_SearchVC> weak = weakSelf();
        NotificationCenter::defaultCenter().addObserver(
            UITextFieldNotification::TextDidChange,
            [weak](const Notification& notification) {
                auto self = weak.lock();
                if (!self)
                    return;
                if (auto* const* posted = std::any_cast<UITextField*>(&notification.object))
                    self->greetingTextFieldChangedWithObj(**posted);
            },
            this, NotificationCenter::matchingObject(searchField.get()));
    }
    return m_searchView;
}

const std::shared_ptr<UIButton>& ZV_SearchVC::zv_cancelBtn()
{
    if (!m_cancelBtn) {
        m_cancelBtn = std::make_shared<UIButton>();
        m_cancelBtn->setTitle("取消", UIControlStateNormal);
        m_cancelBtn->setFont(UIFont::systemFont(14));
        m_cancelBtn->setTitleColor(zvadaptive::textColor(colorWithHex("1D1942")), UIControlStateNormal);
        std::weak_ptr<ZV_SearchVC> weak = weakSelf();
        m_cancelBtn->addAction(UIControlEventTouchUpInside, [weak](UIControl&) {
            if (auto self = weak.lock())
                self->cancelTapped();
        });
    }
    return m_cancelBtn;
}

const std::shared_ptr<UICollectionView>& ZV_SearchVC::zv_collectionView()
{
    if (!m_collectionView) {
        auto layout = std::make_shared<BaseCollectionViewLeftAlignedLayout>();
        layout->setEstimatedItemSize({ 100, 36 });
        m_collectionView = std::make_shared<UICollectionView>(CGRect {}, layout);
        m_collectionView->setBackgroundColor(UIColor::clear());
        m_collectionView->setContentInset({ 14, 0, 14, 0 });
        std::weak_ptr<ZV_SearchVC> weak = weakSelf();
        m_collectionView->setDataSource(weak);
        m_collectionView->setDelegate(weak);
        registerCell<ZV_AdvertCollCell>(*m_collectionView);
        registerCell<ZV_SearchCell>(*m_collectionView);
        m_collectionView->registerClass(
            UICollectionView::CellFactory([] { return ZV_SearchRankingCell::create(); }),
            reuseIdentifier<ZV_SearchRankingCell>());
        registerCell<ZV_SearchCompleteCell>(*m_collectionView);
        registerCell<ZV_SearchMovieCell>(*m_collectionView);
        m_collectionView->registerClass(
            UICollectionView::CellFactory([] { return ZV_SearchTagCell::create(); }),
            reuseIdentifier<ZV_SearchTagCell>());
        m_collectionView->registerClass(
            UICollectionView::SupplementaryFactory([] { return ZV_SearchHeaderReusableView::create(); }),
            UICollectionElementKindSectionHeader, reuseIdentifier<ZV_SearchHeaderReusableView>());
        registerSupplementaryView<BaseCollectionReusableView>(
            *m_collectionView, UICollectionElementKindSectionFooter);
    }
    return m_collectionView;
}

const std::shared_ptr<ZV_SearchEmptyView>& ZV_SearchVC::searchEmptyView()
{
    if (!m_searchEmptyView) {
        m_searchEmptyView = ZV_SearchEmptyView::create();
        m_searchEmptyView->setHidden(true);
        m_searchEmptyView->btnClickBlock = [] {
            auto sheet = std::make_shared<ZV_ShowBottomView>();
            sheet->show(4, nullptr, nullptr);
        };
    }
    return m_searchEmptyView;
}

void ZV_SearchVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    const std::shared_ptr<UIView>& root = view();
    root->setBackgroundColor(zvadaptive::pageColor(UIColor::white()));
    root->addSubview(zv_searchView());
    root->addSubview(zv_cancelBtn());
    root->addSubview(zv_collectionView());
    root->addSubview(searchEmptyView());
    snp(zv_searchView()).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(24);
        make.top().equalToSuperview().offset(statusBarHeight() + 10);
        make.height().equalTo(46);
    });
    snp(zv_cancelBtn()).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(snp(m_searchView).right());
        make.right().equalToSuperview();
        make.width().equalTo(70);
        make.centerY().equalTo(snp(m_searchView).centerY());
    });
    snp(zv_collectionView()).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_searchView).bottom());
        make.left().right().bottom().equalToSuperview();
    });
    // The top follows the result-type strip as laid out (placeSearchEmptyView).
    snp(searchEmptyView()).makeConstraints([this](ConstraintMaker& make) {
        m_searchEmptyViewTop = make.top().equalTo(snp(m_collectionView).top()).constraint();
        make.left().right().bottom().equalToSuperview();
    });

    requestHotWords();
    requestRankings();

    std::weak_ptr<ZV_SearchVC> weak = weakSelf();
    NotificationCenter::defaultCenter().addObserver(
        kCollectNotification,
        [weak](const Notification& notification) {
            if (auto self = weak.lock())
                self->collectUpdate(notification);
        },
        this);

    searchDebouncer = debounce(suggestionInterval, DispatchQueue::main(), [weak] {
        auto self = weak.lock();
        if (!self || self->m_suggestionsDropped)
            return;
        self->loadComplete(self->field().text());
    });
}

void ZV_SearchVC::viewDidLayoutSubviews()
{
    BaseViewController::viewDidLayoutSubviews();
    placeSearchEmptyView();
}

void ZV_SearchVC::scrollViewDidScroll(UIScrollView&)
{
    // Placed at the next layout: the collection view may be in the middle of its own.
    if (!searchEmptyView()->isHidden() && isViewLoaded())
        view()->setNeedsLayout();
}

void ZV_SearchVC::placeSearchEmptyView()
{
    if (!m_searchEmptyViewTop || searchEmptyView()->isHidden())
        return;
    // Below the strip, and the advert above it, as the collection view lays them out and shows
    // them: a person can still switch to the cast, and the advert stays whole. Without a strip
    // it covers the whole list.
    CGFloat top = 0;
    auto strip = std::find(sectionTypes.begin(), sectionTypes.end(), ZV_SearchSectionType::tag);
    if (strip != sectionTypes.end()) {
        const std::shared_ptr<UICollectionView>& list = zv_collectionView();
        int section = static_cast<int>(strip - sectionTypes.begin());
        if (auto attributes = list->layoutAttributesForItem(IndexPath::forItem(0, section)))
            top = std::max<CGFloat>(0, attributes->frame.maxY() - list->contentOffset().y);
    }
    if (top == m_searchEmptyViewTop->layoutConstraints().front()->constant())
        return;
    m_searchEmptyViewTop->updateOffset(top);
    // Once more with the new top; the next pass finds it in place and stops.
    view()->layoutIfNeeded();
}

// ---- Typing and keys ----

void ZV_SearchVC::greetingTextFieldChangedWithObj(UITextField& changed)
{
    if (changed.markedTextRange())
        return;
    if (changed.text().empty())
        return;
    m_suggestionsDropped = false;
    if (searchDebouncer)
        searchDebouncer();
}

bool ZV_SearchVC::textFieldShouldReturn(UITextField& returned)
{
    zv_searchView()->endEditing(true);
    if (!returned.text().empty())
        submitSearch(returned.text());
    return true;
}

void ZV_SearchVC::dropPendingSuggestions()
{
    m_suggestionsDropped = true;
    ++m_submissions;
}

void ZV_SearchVC::cancelTapped()
{
    if (field().text().empty()) {
        if (auto navigation = navigationController())
            navigation->popViewController(true);
        return;
    }
    dropPendingSuggestions();
    field().setText("");
    zv_completeList.clear();
    reloadSections();
    zv_searchMovieList.clear();
    searchEmptyView()->setHidden(true);
    reloadSections();
}

// ---- Requests ----

void ZV_SearchVC::submitSearch(const std::optional<std::string>& keyword)
{
    dropPendingSuggestions();
    if (keyword)
        recordHistory(*keyword);
    zv_completeList.clear();
    reloadSections();
    search(keyword);
}

void ZV_SearchVC::search(const std::optional<std::string>& keyword)
{
    field().setText(keyword.value_or(""));
    JSON parameters = JSON::object({ { "page", page }, { "res_type", resType } });
    if (keyword)
        parameters = JSON::object({ { "keyword", *keyword }, { "page", page }, { "res_type", resType } });
    std::weak_ptr<ZV_SearchVC> weak = weakSelf();
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), ZV_API::search, parameters, true,
        [weak](std::optional<JSON> json, std::optional<NSError>) {
            auto self = weak.lock();
            if (!self)
                return;
            endRefreshing(*self->zv_collectionView());
            if (!json)
                return;
            std::vector<std::shared_ptr<ZV_SearchMovieModel>> results;
            for (const JSON& element : (*json)["list"].arrayValue())
                results.push_back(std::make_shared<ZV_SearchMovieModel>(element));
            self->zv_searchMovieList = std::move(results);
            self->searchEmptyView()->setHidden(!self->zv_searchMovieList.empty());
            // The strip heads the list (under an advert): a list scrolled down would hide it.
            const std::shared_ptr<UICollectionView>& list = self->zv_collectionView();
            if (self->zv_searchMovieList.empty())
                list->setContentOffset(list->minimumContentOffset());
            self->reloadSections();
        });
}

void ZV_SearchVC::loadComplete(const std::string& text)
{
    std::weak_ptr<ZV_SearchVC> weak = weakSelf();
    std::uint64_t askedAfter = m_submissions;
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), "v1/movie/search_complete",
        JSON::object({ { "keyword", text } }),
        [weak, text, askedAfter](std::optional<JSON> json, std::optional<NSError>) {
            auto self = weak.lock();
            if (!self)
                return;
            // Asked before a submission, or for a text the field no longer holds: stale.
            if (askedAfter != self->m_submissions || self->field().text() != text)
                return;
            endRefreshing(*self->zv_collectionView());
            if (!json) {
                self->zv_completeList.clear();
                self->reloadSections();
                return;
            }
            self->zv_searchMovieList.clear();
            std::vector<ZV_SearchCompleteModel> suggestions;
            for (const JSON& element : json->arrayValue())
                suggestions.emplace_back(element);
            self->zv_completeList = std::move(suggestions);
            self->reloadSections();
            self->searchEmptyView()->setHidden(true);
        });
}

void ZV_SearchVC::requestHotWords()
{
    std::weak_ptr<ZV_SearchVC> weak = weakSelf();
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), ZV_API::searchLatelyWords,
        JSON::object(), true, [weak](std::optional<JSON> json, std::optional<NSError>) {
            auto self = weak.lock();
            if (!self)
                return;
            endRefreshing(*self->zv_collectionView());
            if (!json)
                return;
            std::vector<ZV_WordsModel> words;
            for (const JSON& element : json->arrayValue())
                words.emplace_back(element);
            self->zv_wordsList = std::move(words);
            self->reloadSections();
        });
}

void ZV_SearchVC::requestRankings()
{
    std::weak_ptr<ZV_SearchVC> weak = weakSelf();
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), ZV_API::searchRanking, JSON::object(),
        true, [weak](std::optional<JSON> json, std::optional<NSError>) {
            auto self = weak.lock();
            if (!self)
                return;
            endRefreshing(*self->zv_collectionView());
            if (!json)
                return;
            self->zv_rankingList = ZV_RankingModel::rankingsFrom(*json);
            self->reloadSections();
        });
}

void ZV_SearchVC::toggleFavourite(const std::shared_ptr<ZV_SearchMovieModel>& movie)
{
    if (!movie)
        return;
    JSON parameters = JSON::object({ { "movie_id", movie->id }, { "state", !movie->is_collect } });
    ZV_Network::shared().request(HTTPMethod::POST, BaseURLs::main_url(), ZV_API::movieCollectAction,
        parameters, true, [](std::optional<JSON> json, std::optional<NSError> error) {
            if (error) {
                QMUITips::showError(error->domain);
                return;
            }
            QMUITips::showSucceed(json ? json->stringValue() : std::string {});
        });
}

void ZV_SearchVC::collectUpdate(const Notification& notification)
{
    std::optional<std::string> id = titleIdOf(notification.object);
    if (!id)
        return;
    auto found = std::find_if(zv_searchMovieList.begin(), zv_searchMovieList.end(),
        [&](const std::shared_ptr<ZV_SearchMovieModel>& movie) { return movie->id == *id; });
    if (found == zv_searchMovieList.end())
        return;
    (*found)->is_collect = !(*found)->is_collect;
    zv_collectionView()->reloadData();
}

// ---- Sections ----

std::optional<ZV_AdvertModel> ZV_SearchVC::currentAdvert() const
{
    const auto& adverts = ConfigSingleton::shared().advertConfigModel;
    if (!adverts)
        return std::nullopt;
    return zv_searchMovieList.empty() ? adverts->search_input_under : adverts->search_result_up;
}

void ZV_SearchVC::reloadSections()
{
    sectionTypes.clear();
    const auto& adverts = ConfigSingleton::shared().advertConfigModel;
    if (adverts && !adverts->search_input_under.data.image.empty())
        sectionTypes.push_back(ZV_SearchSectionType::advert);
    if (!zv_completeList.empty()) {
        sectionTypes.push_back(ZV_SearchSectionType::complete);
    } else if (zv_searchMovieList.empty()) {
        if (!searchEmptyView()->isHidden())
            sectionTypes.push_back(ZV_SearchSectionType::tag);
        if (!history().empty())
            sectionTypes.push_back(ZV_SearchSectionType::history);
        if (!zv_wordsList.empty())
            sectionTypes.push_back(ZV_SearchSectionType::screenList);
        if (!zv_rankingList.empty())
            sectionTypes.push_back(ZV_SearchSectionType::ranking);
    } else {
        sectionTypes.push_back(ZV_SearchSectionType::tag);
        sectionTypes.push_back(ZV_SearchSectionType::movie);
    }
    zv_collectionView()->reloadData();
    // The empty-result view follows the strip, which the new sections may have moved.
    if (isViewLoaded())
        view()->setNeedsLayout();
}

std::optional<ZV_SearchSectionType> ZV_SearchVC::sectionType(int section) const
{
    if (section < 0 || section >= static_cast<int>(sectionTypes.size()))
        return std::nullopt;
    return sectionTypes[section];
}

int ZV_SearchVC::numberOfItems(UICollectionView&, int section)
{
    auto type = sectionType(section);
    if (!type)
        return 0;
    switch (*type) {
    case ZV_SearchSectionType::advert:
    case ZV_SearchSectionType::ranking:
    case ZV_SearchSectionType::tag:
        return 1;
    case ZV_SearchSectionType::history:
        return static_cast<int>(history().size());
    case ZV_SearchSectionType::screenList:
        return static_cast<int>(zv_wordsList.size());
    case ZV_SearchSectionType::complete:
        return static_cast<int>(zv_completeList.size());
    case ZV_SearchSectionType::movie:
        return static_cast<int>(zv_searchMovieList.size());
    }
    return 0;
}

std::shared_ptr<UICollectionViewCell> ZV_SearchVC::cellForItem(
    UICollectionView& collectionView, const IndexPath& indexPath)
{
    ZV_SearchSectionType type = sectionType(indexPath.section).value_or(ZV_SearchSectionType::advert);
    std::size_t item = static_cast<std::size_t>(indexPath.item);
    std::weak_ptr<ZV_SearchVC> weak = weakSelf();
    switch (type) {
    case ZV_SearchSectionType::advert: {
        auto cell = dequeueCell<ZV_AdvertCollCell>(collectionView, indexPath);
        cell->setAutomaticSize(true);
        cell->setModel(currentAdvert());
        return cell;
    }
    case ZV_SearchSectionType::history: {
        auto cell = dequeueCell<ZV_SearchCell>(collectionView, indexPath);
        std::vector<std::string> entries = history();
        cell->titleLb()->setText(item < entries.size() ? entries[item] : std::string {});
        ZV_SearchCell::ChipColors colors = ZV_SearchCell::historyColors();
        cell->titleLb()->setTextColor(colors.text);
        cell->contentView()->setBackgroundColor(colors.background);
        return cell;
    }
    case ZV_SearchSectionType::screenList: {
        auto cell = dequeueCell<ZV_SearchCell>(collectionView, indexPath);
        cell->titleLb()->setText(item < zv_wordsList.size() ? zv_wordsList[item].word : std::string {});
        ZV_SearchCell::ChipColors colors = ZV_SearchCell::hotWordColors(item);
        cell->titleLb()->setTextColor(colors.text);
        cell->contentView()->setBackgroundColor(colors.background);
        return cell;
    }
    case ZV_SearchSectionType::ranking: {
        auto cell = dequeueCell<ZV_SearchRankingCell>(collectionView, indexPath);
        cell->zv_rankingList = zv_rankingList;
        cell->keywordBlock = [weak](const std::optional<std::string>& word) {
            if (auto self = weak.lock())
                self->chooseWord(word);
        };
        cell->zv_collectionView()->reloadData();
        return cell;
    }
    case ZV_SearchSectionType::complete: {
        auto cell = dequeueCell<ZV_SearchCompleteCell>(collectionView, indexPath);
        cell->keyword = field().text();
        cell->setModel(item < zv_completeList.size() ? std::optional(zv_completeList[item]) : std::nullopt);
        return cell;
    }
    case ZV_SearchSectionType::movie: {
        auto cell = dequeueCell<ZV_SearchMovieCell>(collectionView, indexPath);
        std::shared_ptr<ZV_SearchMovieModel> movie
            = item < zv_searchMovieList.size() ? zv_searchMovieList[item] : nullptr;
        cell->keyword = field().text();
        cell->setModel(movie);
        // One action per button however often the cell is reused.
        cell->zv_collectBtn()->removeActions(UIControlEventTouchUpInside);
        cell->zv_collectBtn()->addAction(UIControlEventTouchUpInside, [weak, movie](UIControl&) {
            if (auto self = weak.lock())
                self->toggleFavourite(movie);
        });
        return cell;
    }
    case ZV_SearchSectionType::tag: {
        auto cell = dequeueCell<ZV_SearchTagCell>(collectionView, indexPath);
        cell->titleLb()->setText("共 " + std::to_string(zv_searchMovieList.size()) + " 条搜索结果");
        cell->resTypeBlock = [weak](const std::string& type) {
            auto self = weak.lock();
            if (!self)
                return;
            self->resType = type;
            self->search(self->field().text());
        };
        return cell;
    }
    }
    return nullptr;
}

std::shared_ptr<UICollectionReusableView> ZV_SearchVC::viewForSupplementaryElement(
    UICollectionView& collectionView, const std::string& kind, const IndexPath& indexPath)
{
    auto type = sectionType(indexPath.section);
    bool titled = type == ZV_SearchSectionType::history || type == ZV_SearchSectionType::screenList;
    if (kind != UICollectionElementKindSectionHeader || !titled)
        return dequeueSupplementaryView<BaseCollectionReusableView>(collectionView, kind, indexPath);
    auto header = dequeueSupplementaryView<ZV_SearchHeaderReusableView>(collectionView, kind, indexPath);
    header->setSectionType(*type);
    std::weak_ptr<ZV_SearchVC> weak = weakSelf();
    ZV_SearchSectionType shown = *type;
    // Replaces the previous use's action: one action per tap.
    addTapAction(*header, [weak, shown](UITapGestureRecognizer&) {
        auto self = weak.lock();
        if (!self)
            return;
        if (shown == ZV_SearchSectionType::screenList) {
            self->requestHotWords();
            return;
        }
        clearHistory();
        self->reloadSections();
    });
    return header;
}

void ZV_SearchVC::chooseWord(const std::optional<std::string>& word)
{
    submitSearch(word);
    view()->endEditing(true);
}

void ZV_SearchVC::didSelectItem(UICollectionView&, const IndexPath& indexPath)
{
    auto type = sectionType(indexPath.section);
    if (!type)
        return;
    std::size_t item = static_cast<std::size_t>(indexPath.item);
    switch (*type) {
    case ZV_SearchSectionType::advert:
        if (auto advert = currentAdvert())
            openSafari(advert->data.url);
        return;
    case ZV_SearchSectionType::history: {
        std::vector<std::string> entries = history();
        if (item < entries.size())
            chooseWord(entries[item]);
        return;
    }
    case ZV_SearchSectionType::screenList:
        if (item < zv_wordsList.size())
            chooseWord(zv_wordsList[item].word);
        return;
    case ZV_SearchSectionType::complete:
        if (item < zv_completeList.size())
            setKeyword(zv_completeList[item].name);
        return;
    case ZV_SearchSectionType::movie: {
        if (item >= zv_searchMovieList.size())
            return;
        auto detail = std::make_shared<ZV_DetailVC>();
        detail->vod_id = zv_searchMovieList[item]->id;
        show(detail);
        return;
    }
    case ZV_SearchSectionType::ranking:
    case ZV_SearchSectionType::tag:
        return;
    }
}

std::optional<CGSize> ZV_SearchVC::sizeForItem(
    UICollectionView&, UICollectionViewLayout&, const IndexPath& indexPath)
{
    auto type = sectionType(indexPath.section);
    if (!type)
        return std::nullopt;
    return sectionLayout(*type, screenWidth()).itemSize;
}

std::optional<UIEdgeInsets> ZV_SearchVC::insetForSection(
    UICollectionView&, UICollectionViewLayout&, int section)
{
    auto type = sectionType(section);
    if (!type)
        return std::nullopt;
    return sectionLayout(*type, screenWidth()).insets;
}

std::optional<CGFloat> ZV_SearchVC::minimumLineSpacingForSection(
    UICollectionView&, UICollectionViewLayout&, int section)
{
    auto type = sectionType(section);
    if (!type)
        return std::nullopt;
    return sectionLayout(*type, screenWidth()).lineSpacing;
}

std::optional<CGFloat> ZV_SearchVC::minimumInteritemSpacingForSection(
    UICollectionView&, UICollectionViewLayout&, int section)
{
    auto type = sectionType(section);
    if (!type)
        return std::nullopt;
    return sectionLayout(*type, screenWidth()).itemSpacing;
}

std::optional<CGSize> ZV_SearchVC::referenceSizeForHeader(
    UICollectionView&, UICollectionViewLayout&, int section)
{
    auto type = sectionType(section);
    if (!type)
        return std::nullopt;
    return sectionLayout(*type, screenWidth()).headerSize;
}
