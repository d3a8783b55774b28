#pragma once

#include "platform/ui/UIImageView.h"
#include "platform/ui/gestures/UIPanGestureRecognizer.h"
#include "platform/ui/gestures/UIPinchGestureRecognizer.h"
#include "platform/ui/gestures/UITapGestureRecognizer.h"
#include "platform/ui/lists/UICollectionViewCell.h"
#include "platform/ui/lists/UIScrollView.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

// One page of the photo browser: an image in a zooming scroll view (1x to 3x by pinch or double
// tap), closed by a single tap or by dragging the image down from the top of the page. Make it
// with create(): its recognisers and its scroll view's delegate need the cell's shared pointer.
class PhotoBrowserCell : public UICollectionViewCell, public UIScrollViewDelegate {
public:
    static constexpr CGFloat minimumZoomScale = 1.0;
    static constexpr CGFloat maximumZoomScale = 3.0;
    static constexpr double resetDuration = 0.25;
    // The smallest scale a drag shrinks the image to.
    static constexpr CGFloat minimumDragScale = 0.3;

    static std::shared_ptr<PhotoBrowserCell> create();
    PhotoBrowserCell();

    std::string className() const override { return "PhotoBrowserCell"; }

    const std::shared_ptr<UIScrollView>& scrollView() const { return m_scrollView; }
    const std::shared_ptr<UIImageView>& imageView() const { return m_imageView; }
    const std::optional<UIImage>& downloadedImage() const { return m_downloadedImage; }

    // Told the scale of a drag (0.3 ... 1) as it goes, and at its release whether it was moving down.
    std::function<void(CGFloat scale)> panChangedCallback;
    std::function<void(bool movingDown)> panReleasedCallback;
    std::function<void()> imageClickBlock;

    const std::optional<std::string>& url() const { return m_url; }
    // Resets the page, then loads the address into the image view (nothing for none).
    void setURL(std::optional<std::string> url);
    const std::optional<UIImage>& image() const { return m_image; }
    void setImage(std::optional<UIImage> image) { m_image = std::move(image); }

    // Zoom 1, content the cell's size, image view laid out for the image (or the downloaded one).
    void resetZoom();
    // Full width, centred when shorter than the page, scrolled to its middle when taller.
    void layoutImageView(const std::optional<UIImage>& image);

    // The image's size fitted to the scroll view (zero without a usable image).
    CGSize fitSize() const;
    CGPoint centerOfContentSize() const;
    // Where the image view goes for a drag with translation `translation` now at `point` (both in
    // the scroll view), and the scale it is shown at.
    struct PanResult {
        CGRect frame;
        CGFloat scale = 1;
    };
    PanResult panResult(CGPoint translation, CGPoint point) const;

    // The gestures' work, reachable for callers that drive the page without touches.
    void imageViewDoubleClick(CGPoint pointInContentView);
    bool panShouldBegin(UIPanGestureRecognizer& pan);

    // Forgets the previous page's address, images and pending load.
    void prepareForReuse() override;
    void layoutSubviews() override;

    // UIScrollViewDelegate
    std::shared_ptr<UIView> viewForZooming(UIScrollView&) override { return m_imageView; }
    void scrollViewDidZoom(UIScrollView& scrollView) override;

private:
    void setUp();
    void onPan(UIPanGestureRecognizer& pan);
    void onPinch(UIPinchGestureRecognizer& pinch);
    void resetImageViewPosition();
    void fitScrollViewToCell();

    std::shared_ptr<UIScrollView> m_scrollView;
    std::shared_ptr<UIImageView> m_imageView;
    std::shared_ptr<UITapGestureRecognizer> m_singleTap;
    std::shared_ptr<UITapGestureRecognizer> m_doubleTap;
    std::shared_ptr<UIPanGestureRecognizer> m_pan;
    std::shared_ptr<UIPinchGestureRecognizer> m_pinch;
    std::optional<UIImage> m_downloadedImage;
    std::optional<UIImage> m_image;
    std::optional<std::string> m_url;
    CGRect m_beganFrame;
    CGPoint m_beganTouch;
    CGFloat m_pinchStartScale = 1;
};
