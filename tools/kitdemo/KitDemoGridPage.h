#pragma once

#include "platform/ui/UIViewController.h"
#include "platform/ui/lists/UICollectionView.h"
#include "platform/ui/segmented/JXSegmentedListContainerView.h"

#include <memory>
#include <string>
#include <vector>

class ImageLoader;
class PhotoBrowser;

// A page of the demo: a three-column grid of pictures, each loaded from its own address through
// the image loader, with a placeholder until it arrives. Cells are reused while scrolling. A tap
// on a picture opens the photo browser on it, paging through `browserURLs`.
class KitDemoGridPage : public UIViewController,
                        public JXSegmentedListContainerViewListDelegate,
                        public UICollectionViewDataSource,
                        public UICollectionViewDelegateFlowLayout {
public:
    KitDemoGridPage(std::shared_ptr<ImageLoader> loader, std::vector<std::string> urls,
        std::vector<std::string> browserURLs);

    std::string className() const override { return "KitDemoGridPage"; }
    std::shared_ptr<UIView> listView() override { return view(); }

    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;

    int numberOfItems(UICollectionView&, int section) override;
    std::shared_ptr<UICollectionViewCell> cellForItem(
        UICollectionView& view, const IndexPath& indexPath) override;
    std::optional<CGSize> sizeForItem(
        UICollectionView& view, UICollectionViewLayout&, const IndexPath&) override;
    void didSelectItem(UICollectionView&, const IndexPath& indexPath) override;

private:
    std::shared_ptr<ImageLoader> m_loader;
    std::vector<std::string> m_urls;
    std::vector<std::string> m_browserURLs;
    std::shared_ptr<UICollectionView> m_grid;
    std::shared_ptr<PhotoBrowser> m_browser;
};
