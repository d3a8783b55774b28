#pragma once

#include "platform/ui/UILabel.h"
#include "platform/ui/UIView.h"
#include "platform/ui/controls/UIPageControl.h"
#include "platform/ui/lists/UICollectionView.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

class Constraint;

// A page of the browser: a web address to load, or an image at hand.
using PhotoBrowserEntry = std::variant<std::string, UIImage>;

// A full-screen image viewer over the window: black, paging sideways between images with a gap
// of `photoSpacing` between pages, each page zoomable (PhotoBrowserCell) and closed by a tap, by
// dragging the image down or by the escape gesture, the browser fading as the image shrinks. Made with
// create(); set the images (and optionally the rest), then show() or showOn(). It is not reused.
class PhotoBrowser : public UIView,
                     public UICollectionViewDataSource,
                     public UICollectionViewDelegateFlowLayout {
public:
    static constexpr double fadeDuration = 0.25;
    static constexpr const char* cellIdentifier = "PhotoBrowserCell";

    // The frame is ignored: the browser covers the screen.
    static std::shared_ptr<PhotoBrowser> create(const CGRect& frame = {});
    PhotoBrowser();

    std::string className() const override { return "PhotoBrowser"; }

    const std::shared_ptr<UICollectionView>& collectionView() const { return m_collectionView; }
    const std::shared_ptr<UILabel>& numLabel() const { return m_numLabel; }
    const std::shared_ptr<UIPageControl>& pageControl() const { return m_pageControl; }

    // Shows the "2/5" label instead of the page control.
    bool isNumPage() const { return m_isNumPage; }
    void setIsNumPage(bool isNumPage);
    CGFloat photoSpacing() const { return m_photoSpacing; }
    void setPhotoSpacing(CGFloat spacing);
    const std::optional<std::vector<PhotoBrowserEntry>>& images() const { return m_images; }
    void setImages(std::optional<std::vector<PhotoBrowserEntry>> images);
    int selectedIndex() const { return m_selectedIndex; }
    // A different index updates the label and the page control and runs selectedIndexBlock.
    void setSelectedIndex(int index);

    // After the browser has closed.
    std::function<void()> dismissBlock;
    std::function<void(int index)> selectedIndexBlock;

    // showOn() with the application's key window.
    void show();
    // Adds the browser to the view (when given), fades it in and puts the list on the selected page.
    void showOn(const std::shared_ptr<UIView>& view);
    // Fades out, then leaves its superview and runs dismissBlock.
    void dismiss();
    // The escape gesture closes it as a tap does.
    bool accessibilityPerformEscape() override;

    // UICollectionViewDataSource
    int numberOfItems(UICollectionView&, int section) override;
    std::shared_ptr<UICollectionViewCell> cellForItem(
        UICollectionView& view, const IndexPath& indexPath) override;

    // UICollectionViewDelegateFlowLayout
    void willDisplayCell(UICollectionView&, UICollectionViewCell& cell, const IndexPath&) override;
    void scrollViewDidScroll(UIScrollView& scrollView) override;
    std::optional<CGSize> sizeForItem(UICollectionView&, UICollectionViewLayout&, const IndexPath&) override;
    std::optional<UIEdgeInsets> insetForSection(UICollectionView&, UICollectionViewLayout&, int) override;
    std::optional<CGFloat> minimumLineSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int) override;
    std::optional<CGFloat> minimumInteritemSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int) override;

private:
    void showPageNumber();
    void setupViews();

    std::shared_ptr<UICollectionView> m_collectionView;
    std::shared_ptr<UILabel> m_numLabel;
    std::shared_ptr<UIPageControl> m_pageControl;
    std::shared_ptr<Constraint> m_listRight;
    bool m_isNumPage = false;
    CGFloat m_photoSpacing = 30.0;
    std::optional<std::vector<PhotoBrowserEntry>> m_images;
    int m_selectedIndex = 0;
};
