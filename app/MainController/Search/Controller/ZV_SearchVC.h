#pragma once

#include "app/BaseController/BaseViewController.h"
#include "app/Core/Models/ZV_AdvertModel.h"
#include "app/MainController/Ranking/Model/ZV_RankingModel.h"
#include "app/MainController/Search/Controller/ZV_SearchSectionType.h"
#include "app/MainController/Search/Model/ZV_SearchCompleteModel.h"
#include "app/MainController/Search/Model/ZV_SearchMovieModel.h"
#include "app/MainController/Search/Model/ZV_WordsModel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UITextField.h"
#include "platform/ui/lists/UICollectionView.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct Notification;
class Constraint;
class UITextField;
class ZV_SearchEmptyView;
class ZV_SearchNavView;

// The search screen. Before anything is typed it shows the history, the hot words and the
// search rankings; while the viewer types, suggestions for the typed text (asked at most once per
// 0.7 s); once a keyword is submitted, the results with a strip that switches between matching by
// title and by cast, or, when nothing matched, a view leading to the request form, which covers
// the list from the strip's bottom down (the strip and any advert above it stay whole and in
// reach). One collection view holds everything; its sections are rebuilt from the lists
// (reloadSections) whenever a list changes. An advert may stand at the top of every state.
//
// Suggestions never replace results: submitting or cancelling drops pending suggestion checks,
// and a suggestion reply is used only when it was asked after the last submission for the text
// the field still holds. Other replies are applied as they arrive.
//
// Main thread only. Made with std::make_shared; the history lives in StoreData.history.
class ZV_SearchVC : public BaseViewController,
                    public UICollectionViewDataSource,
                    public UICollectionViewDelegateFlowLayout,
                    public UITextFieldDelegate {
public:
    static constexpr std::size_t maximumHistoryCount = 10;
    static constexpr double suggestionInterval = 0.7;

    // One section's geometry for a screen width, as the layout asks for it.
    struct SectionLayout {
        CGSize itemSize;
        UIEdgeInsets insets;
        CGFloat lineSpacing = 0;
        CGFloat itemSpacing = 0;
        CGSize headerSize; // zero: no header
    };
    static SectionLayout sectionLayout(ZV_SearchSectionType type, CGFloat screenWidth);

    // ---- The stored history: newest first, no two equal, at most ten ----
    // Anything stored that is not a list of texts reads as none.
    static std::vector<std::string> history();
    // Moves (or puts) the keyword to the front and keeps the first ten.
    static void recordHistory(const std::string& keyword);
    static void clearHistory();

    ZV_SearchVC() = default;
    ~ZV_SearchVC() override;

    std::string className() const override { return "ZV_SearchVC"; }

    // ---- State ----
    const std::optional<std::string>& keyword() const { return m_keyword; }
    // Writes the keyword into the field and submits it at once (before the view loads, too).
    void setKeyword(std::optional<std::string> keyword);
    int page = 1; // only the first page of results is ever asked for
    std::string resType = "by_movie_name";
    std::vector<ZV_SearchSectionType> sectionTypes;
    std::vector<std::shared_ptr<ZV_SearchMovieModel>> zv_searchMovieList;
    std::vector<ZV_SearchCompleteModel> zv_completeList;
    std::vector<ZV_WordsModel> zv_wordsList;
    std::vector<std::shared_ptr<ZV_RankingModel>> zv_rankingList;
    // Made in viewDidLoad: asks for suggestions for the field's text at most once per 0.7 s.
    std::function<void()> searchDebouncer;

    // ---- Views, made on first use ----
    const std::shared_ptr<ZV_SearchNavView>& zv_searchView();
    const std::shared_ptr<UIButton>& zv_cancelBtn();
    const std::shared_ptr<UICollectionView>& zv_collectionView();
    const std::shared_ptr<ZV_SearchEmptyView>& searchEmptyView();

    // ---- Operations ----
    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;
    std::optional<bool> preferredNavigationBarHidden() const override { return true; }
    // Writes the keyword into the field and asks for the results ("v1/movie/search").
    void search(const std::optional<std::string>& keyword);
    // Asks for suggestions for the text ("v1/movie/search_complete").
    void loadComplete(const std::string& text);
    // Records the keyword, drops the suggestions (and pending checks for them) and searches.
    void submitSearch(const std::optional<std::string>& keyword);
    // Rebuilds sectionTypes from the lists and reloads the collection view.
    void reloadSections();
    // Asks the server to flip the result's favourite; the "collect" notice flips it here.
    void toggleFavourite(const std::shared_ptr<ZV_SearchMovieModel>& movie);
    // The field's text changed (typing).
    void greetingTextFieldChangedWithObj(UITextField& field);
    // "collect" with a title id: that result's favourite flips.
    void collectUpdate(const Notification& notification);
    // "取消": back to the start with text, leaves the page without.
    void cancelTapped();
    void requestHotWords();
    void requestRankings();

    // ---- Collection view ----
    int numberOfSections(UICollectionView&) override { return static_cast<int>(sectionTypes.size()); }
    int numberOfItems(UICollectionView&, int section) override;
    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView&, const IndexPath&) override;
    std::shared_ptr<UICollectionReusableView> viewForSupplementaryElement(
        UICollectionView&, const std::string& kind, const IndexPath&) override;
    void didSelectItem(UICollectionView&, const IndexPath&) override;
    std::optional<CGSize> sizeForItem(UICollectionView&, UICollectionViewLayout&, const IndexPath&) override;
    std::optional<UIEdgeInsets> insetForSection(UICollectionView&, UICollectionViewLayout&, int) override;
    std::optional<CGFloat> minimumLineSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int) override;
    std::optional<CGFloat> minimumInteritemSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int) override;
    std::optional<CGSize> referenceSizeForHeader(UICollectionView&, UICollectionViewLayout&, int) override;

    void scrollViewDidScroll(UIScrollView&) override;

    // ---- Return key ----
    bool textFieldShouldReturn(UITextField& field) override;

private:
    std::weak_ptr<ZV_SearchVC> weakSelf();
    UITextField& field();
    std::optional<ZV_SearchSectionType> sectionType(int section) const;
    // The advert for the current state: below the field without results, above them with.
    std::optional<ZV_AdvertModel> currentAdvert() const;
    void chooseWord(const std::optional<std::string>& word);
    void dropPendingSuggestions();
    // Puts the empty-result view's top at the strip's bottom as shown.
    void placeSearchEmptyView();

    std::optional<std::string> m_keyword;
    std::shared_ptr<ZV_SearchNavView> m_searchView;
    std::shared_ptr<UIButton> m_cancelBtn;
    std::shared_ptr<UICollectionView> m_collectionView;
    std::shared_ptr<ZV_SearchEmptyView> m_searchEmptyView;
    std::shared_ptr<Constraint> m_searchEmptyViewTop;
    // Set by a submission or cancel, cleared by the next keystroke: checks scheduled before it
    // ask for nothing.
    bool m_suggestionsDropped = false;
    // Counts submissions and cancels; a suggestion reply asked before the latest one is stale.
    std::uint64_t m_submissions = 0;
};
