#include "app/MainController/Other/View/PhotoBrowser.h"

#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Other/View/PhotoBrowserCell.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/layout/ConstraintMaker.h"

#include <algorithm>
#include <cmath>

std::shared_ptr<PhotoBrowser> PhotoBrowser::create(const CGRect&)
{
    auto browser = std::make_shared<PhotoBrowser>();
    browser->setFrame({ 0, 0, screenWidth(), screenHeight() });
    browser->setupViews();
    return browser;
}

PhotoBrowser::PhotoBrowser() = default;

void PhotoBrowser::setupViews()
{
    auto layout = std::make_shared<UICollectionViewFlowLayout>();
    layout->setScrollDirection(UICollectionViewScrollDirection::horizontal);
    m_collectionView
        = std::make_shared<UICollectionView>(CGRect { 0, 0, screenWidth(), screenHeight() }, layout);
    m_collectionView->setBackgroundColor(UIColor::black());
    m_collectionView->setShowsHorizontalScrollIndicator(false);
    m_collectionView->setPagingEnabled(true);
    // Pages cover the whole screen, safe area included; the list scrolls only sideways.
    m_collectionView->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::never);
    auto self = std::static_pointer_cast<PhotoBrowser>(sharedFromThis());
    m_collectionView->setDelegate(self);
    m_collectionView->setDataSource(self);
    m_collectionView->registerClass(
        UICollectionView::CellFactory([] { return PhotoBrowserCell::create(); }), cellIdentifier);
    m_collectionView->setContentInset({ 0, 0, 0, m_photoSpacing });

    m_numLabel = std::make_shared<UILabel>();
    m_numLabel->setFont(UIFont::systemFont(14));
    m_numLabel->setTextColor(UIColor::white());
    m_numLabel->setHidden(true);

    m_pageControl = std::make_shared<UIPageControl>();

    addSubview(m_collectionView);
    addSubview(m_numLabel);
    addSubview(m_pageControl);

    // Each page and the gap after it are one paging width: the list reaches past the right edge.
    snp(m_collectionView).makeConstraints([this](ConstraintMaker& make) {
        make.left().top().bottom().equalToSuperview();
        m_listRight = make.right().equalToSuperview().offset(m_photoSpacing).constraint();
    });
    snp(m_numLabel).makeConstraints([this](ConstraintMaker& make) {
        make.centerX().equalToSuperview();
        make.bottom().equalTo(snp(*this).safeAreaLayoutGuide()).offset(-36);
    });
    snp(m_pageControl).makeConstraints([this](ConstraintMaker& make) {
        make.centerX().equalToSuperview();
        make.bottom().equalTo(snp(*this).safeAreaLayoutGuide());
    });
}

void PhotoBrowser::setIsNumPage(bool isNumPage)
{
    m_isNumPage = isNumPage;
    m_numLabel->setHidden(!isNumPage);
    m_pageControl->setHidden(isNumPage);
}

void PhotoBrowser::setPhotoSpacing(CGFloat spacing)
{
    // The gap, the inset after the last page and the list's overhang stay one width, or the
    // pages would drift off the paging steps.
    m_photoSpacing = spacing;
    m_collectionView->setContentInset({ 0, 0, 0, spacing });
    if (m_listRight)
        m_listRight->updateOffset(spacing);
    m_collectionView->collectionViewLayout()->invalidateLayout();
    setNeedsLayout();
}

void PhotoBrowser::setImages(std::optional<std::vector<PhotoBrowserEntry>> images)
{
    m_images = std::move(images);
    int count = m_images ? static_cast<int>(m_images->size()) : 0;
    m_pageControl->setNumberOfPages(count);
    m_pageControl->setHidden(count == 1);
    m_collectionView->reloadData();
    // Opened on its first page the counter would otherwise stay blank until the first swipe.
    showPageNumber();
}

void PhotoBrowser::showPageNumber()
{
    int count = m_images ? static_cast<int>(m_images->size()) : 0;
    m_numLabel->setText(
        count ? std::to_string(m_selectedIndex + 1) + "/" + std::to_string(count) : std::string());
}

void PhotoBrowser::setSelectedIndex(int index)
{
    if (index == m_selectedIndex)
        return;
    m_selectedIndex = index;
    showPageNumber();
    m_pageControl->setCurrentPage(index);
    if (selectedIndexBlock)
        selectedIndexBlock(index);
}

void PhotoBrowser::show()
{
    showOn(UIApplication::shared().keyWindow());
}

void PhotoBrowser::showOn(const std::shared_ptr<UIView>& view)
{
    if (view)
        view->addSubview(sharedFromThis());
    setAlpha(0);
    UIView::animate(fadeDuration, [this] { setAlpha(1); });
    layoutIfNeeded();
    m_collectionView->layoutIfNeeded();
    m_collectionView->setContentOffset({ (screenWidth() + m_photoSpacing) * m_selectedIndex, 0 });
}

void PhotoBrowser::dismiss()
{
    auto self = std::static_pointer_cast<PhotoBrowser>(sharedFromThis());
    UIView::animate(
        fadeDuration, [this] { setAlpha(0); },
        [self](bool) {
            self->removeFromSuperview();
            if (self->dismissBlock)
                self->dismissBlock();
        });
}

bool PhotoBrowser::accessibilityPerformEscape()
{
    if (!superview())
        return false;
    dismiss();
    return true;
}

int PhotoBrowser::numberOfItems(UICollectionView&, int)
{
    return m_images ? static_cast<int>(m_images->size()) : 0;
}

std::shared_ptr<UICollectionViewCell> PhotoBrowser::cellForItem(
    UICollectionView& view, const IndexPath& indexPath)
{
    auto cell = view.dequeueReusableCell<PhotoBrowserCell>(cellIdentifier, indexPath);
    int item = indexPath.item;
    if (m_images && item >= 0 && item < static_cast<int>(m_images->size())) {
        const auto& entry = (*m_images)[static_cast<std::size_t>(item)];
        if (const auto* url = std::get_if<std::string>(&entry)) {
            cell->setURL(*url);
        } else if (const auto* image = std::get_if<UIImage>(&entry)) {
            cell->setImage(*image);
            cell->resetZoom();
            cell->imageView()->setImage(*image);
        }
    }
    std::weak_ptr<PhotoBrowser> weak = std::static_pointer_cast<PhotoBrowser>(sharedFromThis());
    cell->imageClickBlock = [weak] {
        if (auto browser = weak.lock())
            browser->dismiss();
    };
    cell->panChangedCallback = [weak](CGFloat scale) {
        if (auto browser = weak.lock())
            browser->setAlpha(scale * scale);
    };
    cell->panReleasedCallback = [weak](bool movingDown) {
        auto browser = weak.lock();
        if (!browser)
            return;
        if (movingDown)
            browser->dismiss();
        else
            browser->setAlpha(1);
    };
    return cell;
}

void PhotoBrowser::willDisplayCell(UICollectionView&, UICollectionViewCell& cell, const IndexPath&)
{
    if (auto* page = dynamic_cast<PhotoBrowserCell*>(&cell))
        page->resetZoom();
}

void PhotoBrowser::scrollViewDidScroll(UIScrollView& scrollView)
{
    CGFloat width = scrollView.bounds().width();
    // No width yet, no page to tell.
    if (width <= 0)
        return;
    auto page = static_cast<int>(std::floor((scrollView.contentOffset().x + width / 2) / width));
    int last = std::max(0, numberOfItems(*m_collectionView, 0) - 1);
    setSelectedIndex(std::clamp(page, 0, last));
}

std::optional<CGSize> PhotoBrowser::sizeForItem(UICollectionView&, UICollectionViewLayout&, const IndexPath&)
{
    return CGSize { screenWidth(), screenHeight() };
}

std::optional<UIEdgeInsets> PhotoBrowser::insetForSection(UICollectionView&, UICollectionViewLayout&, int)
{
    return UIEdgeInsets {};
}

std::optional<CGFloat> PhotoBrowser::minimumLineSpacingForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return m_photoSpacing;
}

std::optional<CGFloat> PhotoBrowser::minimumInteritemSpacingForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return 0;
}
