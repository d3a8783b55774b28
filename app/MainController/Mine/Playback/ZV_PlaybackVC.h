#pragma once

#include "app/BaseController/BaseViewController.h"
#include "app/Core/Models/ZV_HomeRecommendModelData.h"
#include "app/MainController/Mine/Playback/EditModeParts.h"
#include "app/MainController/Mine/Playback/FullWidthRows.h"
#include "platform/json/JSON.h"
#include "platform/ui/lists/UICollectionView.h"

#include <memory>
#include <optional>
#include <vector>

class UIButton;
class ZV_AdvertView;

// "播放记录": what the viewer has watched, in the server's titled sections, each entry with its
// cover, episode and progress; a tap opens the title. In edit mode taps select entries, "全选"
// selects them all and the delete button removes the selected ones on the server after a
// confirmation. The list is asked for at load, after each sign-in and after a deletion.
class ZV_PlaybackVC : public BaseViewController, public UICollectionViewDataSource, public FullWidthRows {
public:
    static constexpr const char* deletePath = "v1/user/playback/delete";

    ZV_PlaybackVC() = default;
    ~ZV_PlaybackVC() override;

    std::string className() const override { return "ZV_PlaybackVC"; }

    void viewDidLoad() override;

    bool isEdit() const { return m_isEdit; }
    // Shows or hides the edit bar, flips the edit switch and places the list again.
    void setEdit(bool edit);
    const std::vector<std::shared_ptr<ZV_HomeRecommendModelData>>& zv_list() const { return m_list; }

    // Made on first use; the banner only when its placement has a picture.
    const std::shared_ptr<ZV_AdvertView>& zv_advertView() const { return m_advertView; }
    const std::shared_ptr<UICollectionView>& zv_collectionView();
    const std::shared_ptr<UIButton>& editBtn();
    const std::shared_ptr<UIView>& zv_bottomView();
    const std::shared_ptr<UIButton>& zv_allBtn();
    const std::shared_ptr<UIButton>& zv_delBtn();

    void zv_playbackListRequest();
    void listReceived(const std::optional<JSON>& json);
    // Every entry of every section, in list order.
    std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>> allEntries() const;

    // UICollectionViewDataSource
    int numberOfSections(UICollectionView&) override { return static_cast<int>(m_list.size()); }
    int numberOfItems(UICollectionView&, int section) override;
    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView&, const IndexPath& indexPath) override;
    std::shared_ptr<UICollectionReusableView> viewForSupplementaryElement(
        UICollectionView&, const std::string& kind, const IndexPath& indexPath) override;
    // UICollectionViewDelegateFlowLayout
    void didSelectItem(UICollectionView&, const IndexPath& indexPath) override;
    std::optional<CGSize> referenceSizeForHeader(
        UICollectionView&, UICollectionViewLayout&, int section) override;

private:
    std::shared_ptr<ZV_HomeRecommendModelDataList> entryAt(const IndexPath& indexPath) const;
    void selectAll();
    void confirmDelete();
    void deleteSelected();

    bool m_isEdit = false;
    std::vector<std::shared_ptr<ZV_HomeRecommendModelData>> m_list;
    std::shared_ptr<ZV_AdvertView> m_advertView;
    std::shared_ptr<UICollectionView> m_collectionView;
    std::shared_ptr<UIButton> m_editBtn;
    std::shared_ptr<UIView> m_bottomView;
    std::shared_ptr<UIButton> m_allBtn;
    std::shared_ptr<UIButton> m_delBtn;
};
