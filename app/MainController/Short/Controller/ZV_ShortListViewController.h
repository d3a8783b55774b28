#pragma once

#include "app/BaseController/BaseViewController.h"
#include "platform/ui/lists/UICollectionView.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUILabel.h"

#include <memory>
#include <string>
#include <vector>

class ZV_ShortModel;

// The grid of short videos behind the feed: two columns on a phone (four on a pad) of covers and
// descriptions under a dark bar with a back button and "短视频". The feed that opens it hands over
// its clips and the one it shows; the grid brings that one into view, and a tap opens a feed of
// its own at the tapped clip. It asks the server for nothing: pulling down shows the clips again
// and ends, and there is never more to load at the bottom. Main thread only.
class ZV_ShortListViewController : public BaseViewController,
                                   public UICollectionViewDataSource,
                                   public UICollectionViewDelegateFlowLayout {
public:
    ZV_ShortListViewController();

    std::string className() const override { return "ZV_ShortListViewController"; }

    const std::shared_ptr<UIView>& zv_navView();
    const std::shared_ptr<QMUIButton>& zv_backBtn();
    const std::shared_ptr<QMUILabel>& titleLabel();
    // The bar's title and the clips' names, white on the page's near-black.
    static UIColor titleColor();
    const std::shared_ptr<UICollectionView>& collectionView();

    std::vector<std::shared_ptr<const ZV_ShortModel>> list;
    // The clip the feed showed; brought into view at the first refresh.
    int index = 0;

    // Width and height of an item for a screen width; four columns on a pad.
    static CGSize itemSize(CGFloat screenWidth, bool isPad);

    virtual void setupUI();
    // Shows `list` again and ends the pull-down refresh.
    void refresh();

    void viewDidLoad() override;
    std::optional<bool> preferredNavigationBarHidden() const override { return true; }

    // UICollectionViewDataSource
    int numberOfItems(UICollectionView&, int section) override;
    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView&, const IndexPath&) override;
    // UICollectionViewDelegate
    void didSelectItem(UICollectionView&, const IndexPath&) override;

private:
    std::shared_ptr<UIView> m_navView;
    std::shared_ptr<QMUIButton> m_backBtn;
    std::shared_ptr<QMUILabel> m_titleLabel;
    std::shared_ptr<UICollectionView> m_collectionView;
    bool m_shownIndex = false;
};
