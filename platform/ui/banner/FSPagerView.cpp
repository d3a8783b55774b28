#include "platform/ui/banner/FSPagerView.h"

FSPagerView::FSPagerView() = default;

void FSPagerView::registerClass(CellFactory factory, const std::string& reuseIdentifier)
{
    registerCell(std::move(factory), reuseIdentifier);
}

std::shared_ptr<FSPagerViewCell> FSPagerView::dequeueReusableCell(
    const std::string& reuseIdentifier, int index)
{
    if (m_asking != index)
        return nullptr;
    return std::dynamic_pointer_cast<FSPagerViewCell>(dequeueCell(reuseIdentifier));
}

FSPagerView::Settings FSPagerView::carouselSettings()
{
    Settings settings;
    settings.itemSize = itemSize;
    settings.itemSpacing = interitemSpacing;
    settings.alignment = detail::CarouselAlignment::center;
    settings.infinite = isInfinite;
    settings.paging = true;
    settings.slideInterval = automaticSlidingInterval;
    if (transformer) {
        auto look = transformer;
        settings.transform = [look](UICollectionViewLayoutAttributes& attributes, CGFloat position) {
            look->applyTransform(attributes, position);
        };
    }
    return settings;
}

int FSPagerView::carouselNumberOfItems()
{
    auto source = dataSource();
    return source ? source->numberOfItemsInPagerView(*this) : 0;
}

std::shared_ptr<UICollectionViewCell> FSPagerView::carouselCell(int index)
{
    auto source = dataSource();
    if (!source)
        return nullptr;
    m_asking = index;
    auto cell = source->cellForItemAtIndex(*this, index);
    m_asking.reset();
    return cell;
}

void FSPagerView::carouselDidSelect(int index)
{
    if (auto d = delegate())
        d->didSelectItemAtIndex(*this, index);
}

void FSPagerView::carouselDidScroll()
{
    if (auto d = delegate())
        d->pagerViewDidScroll(*this);
}

void FSPagerView::carouselDidEndScrollAnimation()
{
    if (auto d = delegate())
        d->pagerViewDidEndScrollAnimation(*this);
}
