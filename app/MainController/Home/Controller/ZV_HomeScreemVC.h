#pragma once

#include "app/BaseController/BaseViewController.h"
#include "app/Core/Models/ZV_ConfigDataMovie_screenFilter.h"
#include "app/Core/Models/ZV_ConfigDataMovie_screenSort.h"
#include "app/Core/Models/ZV_HomeRecommendModelDataList.h"
#include "app/MainController/Home/Model/ZV_FilterModel.h"
#include "app/MainController/Home/Model/ZV_HomeScreemSectionType.h"
#include "platform/foundation/NSError.h"
#include "platform/json/JSON.h"
#include "platform/ui/lists/UICollectionView.h"
#include "platform/ui/qmui/QMUILabel.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// The filter page of a category tab: rows of option chips (sort, class, area, year) over a paged
// grid of the category's titles ("v1/movie/screen/list", 18 a page), with the filter advert
// between them when one is configured. A chosen chip starts the list again at page 1; the footer
// appends the next page, and the first empty page ends the list. Once the option rows have
// scrolled away, a bar at the top sums up the chosen class, area and year.
//
// Pages move on only with a reply: a load-more that fails asks for the same page next time. A
// fresh start (a chosen chip, a pull) outdates the replies of every request before it, so a chip
// chosen while a page is on its way is not overtaken by that page. A failed request keeps what is
// on screen and shows the error's message.
class ZV_HomeScreemVC : public BaseViewController,
                        public UICollectionViewDataSource,
                        public UICollectionViewDelegateFlowLayout {
public:
    static constexpr int pageSize = 18;

    ZV_HomeScreemVC() = default;

    std::string className() const override { return "ZV_HomeScreemVC"; }

    // The page the list shows up to (the next load-more asks for the one after it).
    int page = 1;
    // Set by the home root before the view loads.
    std::int64_t type_id = 0;
    std::vector<ZV_ConfigDataMovie_screenSort> zv_sort;
    std::optional<ZV_ConfigDataMovie_screenFilter> zv_filter;

    const std::shared_ptr<ZV_FilterModel> zv_filterModel = std::make_shared<ZV_FilterModel>();
    std::vector<ZV_HomeScreemSectionType> sectionTypes;
    std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>> modelList;

    const std::shared_ptr<UICollectionView>& collectionView();
    const std::shared_ptr<QMUILabel>& tipLb();

    void viewDidLoad() override;

    void setupUI();
    void reloadSections();
    // Asks for page 1 again (pull to refresh, a chosen chip).
    void refresh();
    // Asks for the page after the one shown (the footer); nothing while page 1 is on its way.
    void loadMore();
    // The request's parameters for a page, from the current choice.
    JSON listParameters(int pageNumber) const;
    // A reply for the page asked for; `generation` counts the fresh starts up to its request.
    void handleList(const std::optional<JSON>& json, const std::optional<NSError>& error, int pageNumber,
        unsigned generation);
    // The titles of a page's reply ("list"; a missing or non-array one gives none), in order.
    static std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>> itemsFrom(const JSON& data);
    // The summary of the chosen class, area and year ("" when none is chosen).
    std::string tipText() const;

    // UICollectionViewDataSource
    int numberOfSections(UICollectionView&) override;
    int numberOfItems(UICollectionView&, int section) override;
    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView&, const IndexPath&) override;
    std::shared_ptr<UICollectionReusableView> viewForSupplementaryElement(
        UICollectionView&, const std::string& kind, const IndexPath&) override;
    // UICollectionViewDelegateFlowLayout
    std::optional<CGSize> sizeForItem(UICollectionView&, UICollectionViewLayout&, const IndexPath&) override;
    std::optional<UIEdgeInsets> insetForSection(UICollectionView&, UICollectionViewLayout&, int) override;
    std::optional<CGFloat> minimumLineSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int) override;
    std::optional<CGFloat> minimumInteritemSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int) override;
    std::optional<CGSize> referenceSizeForHeader(UICollectionView&, UICollectionViewLayout&, int) override;
    void didSelectItem(UICollectionView&, const IndexPath&) override;
    void willDisplayCell(UICollectionView&, UICollectionViewCell&, const IndexPath&) override;
    void didEndDisplayingCell(UICollectionView&, UICollectionViewCell&, const IndexPath&) override;

    // Item size of a section on a screen of that width.
    static CGSize itemSize(ZV_HomeScreemSectionType section, CGFloat screenWidth, bool isPad);

private:
    void loadList(int pageNumber);
    std::optional<ZV_HomeScreemSectionType> sectionType(int index) const;
    std::weak_ptr<ZV_HomeScreemVC> weakSelf();

    std::shared_ptr<UICollectionView> m_collectionView;
    std::shared_ptr<QMUILabel> m_tipLb;
    unsigned m_generation = 0;
    bool m_refreshing = false;
};
