#include "app/MainController/Other/View/PhotoBrowserCell.h"

#include "platform/ui/imageloading/UIImageViewWebCache.h"

#include <algorithm>
#include <cmath>

namespace {

CGFloat finiteOrZero(CGFloat value)
{
    return std::isfinite(value) ? value : 0;
}

}

std::shared_ptr<PhotoBrowserCell> PhotoBrowserCell::create()
{
    auto cell = std::make_shared<PhotoBrowserCell>();
    cell->setUp();
    return cell;
}

PhotoBrowserCell::PhotoBrowserCell()
    : m_scrollView(std::make_shared<UIScrollView>())
    , m_imageView(std::make_shared<UIImageView>())
{
    m_scrollView->setShowsVerticalScrollIndicator(false);
    m_scrollView->setShowsHorizontalScrollIndicator(false);
    m_scrollView->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::never);
    m_scrollView->setMinimumZoomScale(minimumZoomScale);
    m_scrollView->setMaximumZoomScale(maximumZoomScale);
    contentView()->addSubview(m_scrollView);

    m_imageView->setUserInteractionEnabled(true);
    m_imageView->setContentMode(UIViewContentMode::scaleAspectFit);
    m_imageView->setFrame(bounds());
    m_scrollView->addSubview(m_imageView);
}

void PhotoBrowserCell::setUp()
{
    m_scrollView->setDelegate(std::static_pointer_cast<PhotoBrowserCell>(sharedFromThis()));
    std::weak_ptr<PhotoBrowserCell> weak = std::static_pointer_cast<PhotoBrowserCell>(sharedFromThis());

    m_doubleTap = std::make_shared<UITapGestureRecognizer>([weak](UIGestureRecognizer& tap) {
        if (auto self = weak.lock())
            self->imageViewDoubleClick(tap.location(self->contentView().get()));
    });
    m_doubleTap->numberOfTapsRequired = 2;
    m_singleTap = std::make_shared<UITapGestureRecognizer>([weak](UIGestureRecognizer&) {
        if (auto self = weak.lock(); self && self->imageClickBlock)
            self->imageClickBlock();
    });
    m_singleTap->requireToFail(m_doubleTap);
    contentView()->addGestureRecognizer(m_doubleTap);
    contentView()->addGestureRecognizer(m_singleTap);

    m_pan = std::make_shared<UIPanGestureRecognizer>([weak](UIGestureRecognizer& pan) {
        if (auto self = weak.lock())
            self->onPan(static_cast<UIPanGestureRecognizer&>(pan));
    });
    m_pan->shouldBegin = [weak](UIGestureRecognizer& pan) {
        auto self = weak.lock();
        return self && self->panShouldBegin(static_cast<UIPanGestureRecognizer&>(pan));
    };
    // The scroll view's own drag waits for this one, so that at the top of a tall image a
    // downward drag closes the browser rather than scrolling; any other drag it lets pass.
    m_scrollView->addGestureRecognizer(m_pan);
    m_scrollView->panGestureRecognizer()->requireToFail(m_pan);

    m_pinch = std::make_shared<UIPinchGestureRecognizer>([weak](UIGestureRecognizer& pinch) {
        if (auto self = weak.lock())
            self->onPinch(static_cast<UIPinchGestureRecognizer&>(pinch));
    });
    m_scrollView->addGestureRecognizer(m_pinch);
}

void PhotoBrowserCell::setURL(std::optional<std::string> url)
{
    m_url = std::move(url);
    resetZoom();
    if (!m_url)
        return;
    std::weak_ptr<PhotoBrowserCell> weak = std::static_pointer_cast<PhotoBrowserCell>(sharedFromThis());
    sd_setImage(*m_imageView, *m_url, std::nullopt, [weak](const ImageLoadResult& result) {
        auto self = weak.lock();
        if (!self || !result.image)
            return; // a failed load leaves the page black
        self->layoutImageView(result.image);
        self->m_downloadedImage = result.image;
    });
}

void PhotoBrowserCell::prepareForReuse()
{
    UICollectionViewCell::prepareForReuse();
    // Nothing of the previous page may shape the next one: its pending load, its images.
    sd_cancelCurrentImageLoad(*m_imageView);
    m_url.reset();
    m_image.reset();
    m_downloadedImage.reset();
    m_imageView->setImage(std::nullopt);
}

void PhotoBrowserCell::layoutSubviews()
{
    UICollectionViewCell::layoutSubviews();
    fitScrollViewToCell();
}

void PhotoBrowserCell::fitScrollViewToCell()
{
    CGRect target { {}, bounds().size };
    if (m_scrollView->frame() != target)
        m_scrollView->setFrame(target);
}

void PhotoBrowserCell::resetZoom()
{
    fitScrollViewToCell();
    m_scrollView->setZoomScale(1.0);
    m_scrollView->setContentSize(bounds().size);
    layoutImageView(m_image ? m_image : m_downloadedImage);
    CGRect frame = m_imageView->frame();
    frame.origin.x = 0;
    m_imageView->setFrame(frame);
}

void PhotoBrowserCell::layoutImageView(const std::optional<UIImage>& image)
{
    if (!image)
        return;
    CGSize cell = bounds().size;
    CGSize size = image->size();
    CGFloat height = size.width > 0 ? size.height * cell.width / size.width : 0;
    CGRect frame = m_imageView->frame();
    frame.size = { cell.width, height };
    frame.origin.y = std::max<CGFloat>((cell.height - height) / 2, 0);
    m_imageView->setFrame(frame);
    m_scrollView->setContentSize({ cell.width, std::max(cell.height, height) });
    m_scrollView->setContentOffset({ 0, std::max<CGFloat>((height - cell.height) / 2, 0) });
}

CGSize PhotoBrowserCell::fitSize() const
{
    const auto& image = m_imageView->image();
    if (!image)
        return {};
    CGSize box = m_scrollView->bounds().size;
    CGSize size = image->size();
    if (size.width <= 0 || size.height <= 0)
        return {};
    if (box.width < box.height)
        return { box.width, box.width * size.height / size.width };
    CGFloat width = box.height * size.width / size.height;
    if (width <= box.width)
        return { width, box.height };
    return { box.width, box.width * size.height / size.width };
}

CGPoint PhotoBrowserCell::centerOfContentSize() const
{
    CGSize cell = bounds().size;
    CGSize content = m_scrollView->contentSize();
    return { std::max<CGFloat>((cell.width - content.width) / 2, 0) + content.width / 2,
        std::max<CGFloat>((cell.height - content.height) / 2, 0) + content.height / 2 };
}

PhotoBrowserCell::PanResult PhotoBrowserCell::panResult(CGPoint translation, CGPoint point) const
{
    CGFloat height = bounds().height();
    CGFloat scale = height > 0 ? std::clamp<CGFloat>(1 - translation.y / height, minimumDragScale, 1.0) : 1.0;
    const CGRect& began = m_beganFrame;
    CGFloat width = began.width() * scale;
    CGFloat newHeight = began.height() * scale;
    // The point under the finger stays under the finger.
    CGFloat x = finiteOrZero(point.x - width * (m_beganTouch.x - began.origin.x) / began.size.width);
    CGFloat y = finiteOrZero(point.y - newHeight * (m_beganTouch.y - began.origin.y) / began.size.height);
    return { { x, y, width, newHeight }, scale };
}

void PhotoBrowserCell::imageViewDoubleClick(CGPoint pointInContentView)
{
    if (!m_downloadedImage && !m_image)
        return;
    CGFloat factor = m_scrollView->zoomScale() > 1.0 ? 1.0 : maximumZoomScale;
    CGSize size = m_scrollView->bounds().size;
    CGSize zoomed { size.width / factor, size.height / factor };
    // Around the touched point of the image, wherever the image lies on the page.
    CGPoint center = m_imageView->convertFrom(pointInContentView, contentView().get());
    m_scrollView->zoomTo(
        { center.x - zoomed.width / 2, center.y - zoomed.height / 2, zoomed.width, zoomed.height }, true);
}

void PhotoBrowserCell::onPinch(UIPinchGestureRecognizer& pinch)
{
    if (!m_imageView->image())
        return;
    if (pinch.state() == UIGestureRecognizerState::began)
        m_pinchStartScale = m_scrollView->zoomScale();
    if (pinch.state() != UIGestureRecognizerState::began && pinch.state() != UIGestureRecognizerState::changed
        && pinch.state() != UIGestureRecognizerState::ended)
        return;
    CGFloat scale = std::clamp(m_pinchStartScale * pinch.scale(), minimumZoomScale, maximumZoomScale);
    CGSize size = m_scrollView->bounds().size;
    CGPoint fingers = pinch.location(m_scrollView.get());
    CGPoint offset = m_scrollView->contentOffset();
    // The image point under the fingers, and where on the page the fingers are: the zoomed
    // rectangle is placed so that this point stays there.
    CGPoint focus = m_imageView->convertFrom(fingers, m_scrollView.get());
    CGPoint onPage { fingers.x - offset.x, fingers.y - offset.y };
    CGPoint center { focus.x + (size.width / 2 - onPage.x) / scale,
        focus.y + (size.height / 2 - onPage.y) / scale };
    CGSize zoomed { size.width / scale, size.height / scale };
    m_scrollView->zoomTo(
        { center.x - zoomed.width / 2, center.y - zoomed.height / 2, zoomed.width, zoomed.height }, false);
}

void PhotoBrowserCell::scrollViewDidZoom(UIScrollView& scrollView)
{
    CGPoint center = scrollView.center();
    CGSize content = scrollView.contentSize();
    CGSize frame = scrollView.frame().size;
    if (content.width > frame.width)
        center.x = content.width / 2;
    if (content.height > frame.height)
        center.y = content.height / 2;
    m_imageView->setCenter(center);
}

bool PhotoBrowserCell::panShouldBegin(UIPanGestureRecognizer& pan)
{
    CGPoint velocity = pan.velocity(this);
    if (velocity.y < 0)
        return false;
    if (static_cast<long long>(std::abs(velocity.x)) > static_cast<long long>(velocity.y))
        return false;
    return m_scrollView->contentOffset().y <= 0;
}

void PhotoBrowserCell::onPan(UIPanGestureRecognizer& pan)
{
    if (!m_imageView->image())
        return;
    switch (pan.state()) {
    case UIGestureRecognizerState::began:
        m_beganFrame = m_imageView->frame();
        m_beganTouch = pan.location(m_scrollView.get());
        break;
    case UIGestureRecognizerState::changed: {
        auto result = panResult(pan.translation(m_scrollView.get()), pan.location(m_scrollView.get()));
        m_imageView->setFrame(result.frame);
        if (panChangedCallback)
            panChangedCallback(result.scale);
        break;
    }
    case UIGestureRecognizerState::ended:
    case UIGestureRecognizerState::cancelled: {
        auto result = panResult(pan.translation(m_scrollView.get()), pan.location(m_scrollView.get()));
        m_imageView->setFrame(result.frame);
        bool movingDown = pan.velocity(this).y > 0;
        if (panReleasedCallback)
            panReleasedCallback(movingDown);
        if (!movingDown)
            resetImageViewPosition();
        break;
    }
    default:
        resetImageViewPosition();
        break;
    }
}

void PhotoBrowserCell::resetImageViewPosition()
{
    CGSize fit = fitSize();
    CGRect frame = m_imageView->frame();
    bool resize = frame.width() < fit.width || frame.height() < fit.height;
    UIView::animate(resetDuration, [&] {
        // Size first: a size set after the centre would keep the origin and move the image off it.
        if (resize)
            m_imageView->setFrame({ frame.origin, fit });
        m_imageView->setCenter(centerOfContentSize());
    });
}
