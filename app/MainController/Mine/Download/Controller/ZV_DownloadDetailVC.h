#pragma once

#include "app/MainController/Mine/Download/Controller/DownloadListPage.h"

#include <string>
#include <vector>

// The finished episodes of one title, in plain name order, the way into offline playback: a tap
// plays the episode offline; edit mode deletes episodes with their media. Read again each time
// the page shows (a return from the player included).
class ZV_DownloadDetailVC : public DownloadListPage {
public:
    ZV_DownloadDetailVC();
    ~ZV_DownloadDetailVC() override;

    std::string className() const override { return "ZV_DownloadDetailVC"; }

    // The title, set by the opener.
    std::string vod_id;

    const std::vector<ZV_DownLoadModel>& zv_list() const { return m_list; }

    void viewWillAppear(bool animated) override;

    // The title's finished episodes; the page's title becomes the title's name.
    void loadList() override;

    // UICollectionViewDataSource
    int numberOfItems(UICollectionView&, int) override { return static_cast<int>(m_list.size()); }
    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView&, const IndexPath& indexPath) override;
    // UICollectionViewDelegateFlowLayout
    void didSelectItem(UICollectionView&, const IndexPath& indexPath) override;

protected:
    std::vector<ZV_DownLoadModel> listedRecords() const override { return m_list; }
    // The selected episode of this title only, with its media.
    std::vector<ZV_DownLoadModel> recordsToDelete(const ZV_DownLoadModel& selected) const override;

private:
    void setList(std::vector<ZV_DownLoadModel> list);

    std::vector<ZV_DownLoadModel> m_list;
};
