#include "platform/ui/banner/JXBanner.h"

JXBanner::JXBanner()
    : m_pageControl(std::make_shared<UIPageControl>())
{
    m_pageControl->setUserInteractionEnabled(false);
}

void JXBanner::reloadView()
{
    reload();
}

JXBanner::Settings JXBanner::carouselSettings()
{
    m_params = {};
    m_layoutParams = {};
    if (auto source = dataSource()) {
        JXBannerCellRegister registration = source->registerCell(*this);
        if (registration.type && !registration.reuseIdentifier.empty()) {
            registerCell(registration.type, registration.reuseIdentifier);
            m_reuseIdentifier = registration.reuseIdentifier;
        }
        m_params = source->params(*this, m_params);
        m_layoutParams = source->layoutParams(*this, m_layoutParams);
    }
    Settings settings;
    settings.itemSize = m_layoutParams.itemSize;
    settings.itemSpacing = m_layoutParams.itemSpacing;
    settings.alignment = detail::CarouselAlignment::leading;
    settings.contentInset = m_params.contentInset;
    settings.infinite = m_params.cycleWay == JXBannerCycleWay::forward;
    settings.paging = m_params.isPagingEnabled;
    settings.slideInterval = m_params.isAutoPlay ? m_params.timeInterval : 0;
    settings.animatesBackToStart = m_params.cycleWay == JXBannerCycleWay::rollingBack;
    return settings;
}

int JXBanner::carouselNumberOfItems()
{
    auto source = dataSource();
    return source ? source->numberOfItems(*this) : 0;
}

std::shared_ptr<UICollectionViewCell> JXBanner::carouselCell(int index)
{
    auto source = dataSource();
    auto cell = m_reuseIdentifier.empty() ? nullptr : dequeueCell(m_reuseIdentifier);
    if (!source || !cell)
        return cell;
    return source->cellForItemAt(*this, index, cell);
}

void JXBanner::carouselDidSelect(int index)
{
    if (auto d = delegate())
        d->didSelectItemAt(*this, index);
}

void JXBanner::carouselDidScroll()
{
    updatePageControl();
}

void JXBanner::updatePageControl()
{
    m_pageControl->setNumberOfPages(itemCount());
    m_pageControl->setCurrentPage(currentIndex());
    m_pageControl->setHidden(!m_params.isShowPageControl || itemCount() < 2);
}

void JXBanner::layoutSubviews()
{
    CarouselView::layoutSubviews();
    if (m_pageControl->superview().get() != this)
        addSubview(m_pageControl);
    CGRect b = bounds();
    m_pageControl->setFrame({ b.minX(), b.maxY() - UIPageControl::height, b.width(), UIPageControl::height });
    bringSubviewToFront(m_pageControl.get());
    updatePageControl();
}
