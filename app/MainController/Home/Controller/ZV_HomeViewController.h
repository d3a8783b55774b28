#pragma once

#include "app/BaseController/BaseViewController.h"
#include "app/Core/Models/ZV_HomeRecommendModelData.h"
#include "app/MainController/Home/Model/ZV_HomeStripPlaces.h"
#include "platform/foundation/NSError.h"
#include "platform/json/JSON.h"
#include "platform/ui/lists/UICollectionView.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The recommend feed of a home tab ("v1/movie/index_recommend"): one list of sections in server
// order, each laid out by its `layout`: a carousel, the strip of titles being watched, a
// self-served advert, or else a grid of posters, most of them under a header whose "more" link
// goes back to the home root. Every load replaces the whole feed; the feed loads again half a
// second after each return to the page. The stored flag "cleanAD" drops the advert sections and
// the carousel items that are not titles.
class ZV_HomeViewController : public BaseViewController,
                              public UICollectionViewDataSource,
                              public UICollectionViewDelegateFlowLayout {
public:
    using RightBlock = std::function<void(const ZV_HomeRightModel&)>;

    // Seconds between a return to the page and the request it makes.
    static constexpr double reappearReloadDelay = 0.5;

    ZV_HomeViewController() = default;

    std::string className() const override { return "ZV_HomeViewController"; }

    std::vector<std::shared_ptr<ZV_HomeRecommendModelData>> modelList;
    RightBlock zv_homeRightModelBlock;

    const std::shared_ptr<UICollectionView>& collectionView();

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    virtual void setupUI();
    void loadRecommend();
    void handleRecommend(const std::optional<JSON>& json, const std::optional<NSError>& error);
    // A carousel page's tap: a title (type 1) opens its page, a web link (type 3) the in-app
    // browser; anything else, or a link that does not open, does nothing.
    void openCarouselItem(const std::shared_ptr<ZV_HomeRecommendModelDataList>& item);

    // The sections of a reply (the objects of an array; anything else gives none), in server
    // order; ad-free drops the advert sections.
    static std::vector<std::shared_ptr<ZV_HomeRecommendModelData>> sectionsFrom(
        const JSON& reply, bool adFree);
    // An empty array: the server recommends nothing, and the page shows nothing, without failing.
    static bool isEmptyFeed(const JSON& reply);
    // Whether a reply is a feed: an array with at least one section that has something to show
    // (a header title, an item that is a filled object, or an advert section's filled advert);
    // its elements that are no objects are left out. Any other reply, an empty feed aside, is a
    // failed load.
    static bool isFeed(const JSON& reply);
    // Ad-free: a carousel keeps only its titles (type 1), for good.
    static void keepTitlesOnly(ZV_HomeRecommendModelData& carousel);

    // Sizes by section layout, from the screen width only.
    static int numberOfItems(const ZV_HomeRecommendModelData& section);
    static CGSize itemSize(const std::string& layout, CGFloat screenWidth, bool isPad);
    static CGSize headerSize(const std::string& layout, CGFloat screenWidth);

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
    // A strip of titles being watched that leaves the screen (or the feed reloads) leaves its
    // place behind for when its section comes back.
    void didEndDisplayingCell(UICollectionView&, UICollectionViewCell&, const IndexPath&) override;

private:
    std::shared_ptr<ZV_HomeRecommendModelData> section(int index) const;
    std::weak_ptr<ZV_HomeViewController> weakSelf();

    std::shared_ptr<UICollectionView> m_collectionView;
    ZV_HomeStripPlaces m_stripPlaces;
    // What each strip cell on screen shows, by section: when a reply replaced the sections, the
    // cells that leave still show the strips of the one before.
    std::map<int, ZV_HomeStripPlaces::Strip> m_shownStrips;
};
