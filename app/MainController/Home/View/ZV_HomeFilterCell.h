#pragma once

#include "app/BaseController/BaseCollectionViewCell.h"
#include "app/MainController/Home/Model/ZV_FilterModel.h"
#include "app/MainController/Home/Model/ZV_HomeScreemSectionType.h"
#include "platform/ui/lists/UICollectionView.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One option row of a filter page: a sideways strip of chips (ZV_HomeFilterSubCell). The chip
// whose title equals the row's field of the page's filter model shows as chosen; while that
// field is absent or empty the first chip does. A tap writes the chip's title into the field and
// runs selectBlock, so the page loads again from its first page. The type row carries its first
// option twice (the page inserts it) and hides the second copy, which sits under the first in
// the row's second line.
class ZV_HomeFilterCell : public BaseCollectionViewCell,
                          public UICollectionViewDataSource,
                          public UICollectionViewDelegateFlowLayout {
public:
    ZV_HomeFilterCell();
    explicit ZV_HomeFilterCell(const CGRect& frame);

    std::string className() const override { return "ZV_HomeFilterCell"; }

    ZV_HomeScreemSectionType sectionType = ZV_HomeScreemSectionType::sort;
    // The page's own model; a fresh empty one until the page sets it.
    std::shared_ptr<ZV_FilterModel> zv_filterModel = std::make_shared<ZV_FilterModel>();
    std::function<void()> selectBlock;

    const std::vector<std::string>& list() const { return m_list; }
    // The page reloads collectionView() afterwards.
    void setList(std::vector<std::string> list);

    const std::shared_ptr<UICollectionView>& collectionView() const { return m_collectionView; }

    // The row's field of the model: none for sections that are not option rows.
    static std::optional<std::string>* field(ZV_FilterModel& model, ZV_HomeScreemSectionType section);

    // Strip data source and delegate.
    int numberOfItems(UICollectionView&, int section) override;
    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView&, const IndexPath&) override;
    void didSelectItem(UICollectionView&, const IndexPath&) override;

private:
    void connect();

    std::vector<std::string> m_list;
    std::shared_ptr<UICollectionView> m_collectionView;
    bool m_connected = false;
};
