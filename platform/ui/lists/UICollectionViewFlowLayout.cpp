#include "platform/ui/lists/UICollectionViewFlowLayout.h"

#include "platform/ui/lists/UICollectionView.h"

#include <algorithm>

namespace {

bool isZero(CGSize size)
{
    return size.width == 0 && size.height == 0;
}

// The flow-layout delegate's answer, when the collection view has such a delegate and it answers.
template<typename T, typename Ask>
std::optional<T> delegateAnswer(const UICollectionViewFlowLayout& layout, Ask ask)
{
    auto* view = layout.collectionView();
    if (!view)
        return std::nullopt;
    auto delegate = std::dynamic_pointer_cast<UICollectionViewDelegateFlowLayout>(view->delegate());
    if (!delegate)
        return std::nullopt;
    return ask(*delegate, *view, const_cast<UICollectionViewFlowLayout&>(layout));
}

}

// ---- Properties ----

void UICollectionViewFlowLayout::setScrollDirection(UICollectionViewScrollDirection direction)
{
    m_scrollDirection = direction;
    invalidateLayout();
}

void UICollectionViewFlowLayout::setItemSize(CGSize size)
{
    m_itemSize = size;
    invalidateLayout();
}

void UICollectionViewFlowLayout::setEstimatedItemSize(CGSize size)
{
    m_estimatedItemSize = size;
    invalidateLayout();
}

void UICollectionViewFlowLayout::setMinimumLineSpacing(CGFloat spacing)
{
    m_minimumLineSpacing = spacing;
    invalidateLayout();
}

void UICollectionViewFlowLayout::setMinimumInteritemSpacing(CGFloat spacing)
{
    m_minimumInteritemSpacing = spacing;
    invalidateLayout();
}

void UICollectionViewFlowLayout::setSectionInset(UIEdgeInsets insets)
{
    m_sectionInset = insets;
    invalidateLayout();
}

void UICollectionViewFlowLayout::setHeaderReferenceSize(CGSize size)
{
    m_headerReferenceSize = size;
    invalidateLayout();
}

void UICollectionViewFlowLayout::setFooterReferenceSize(CGSize size)
{
    m_footerReferenceSize = size;
    invalidateLayout();
}

// ---- Delegate answers ----

CGSize UICollectionViewFlowLayout::sizeForItem(const IndexPath& indexPath) const
{
    auto answer = delegateAnswer<CGSize>(
        *this, [&](auto& d, auto& v, auto& l) { return d.sizeForItem(v, l, indexPath); });
    if (!isZero(m_estimatedItemSize)) {
        if (auto it = m_preferredSizes.find(indexPath); it != m_preferredSizes.end())
            return it->second;
        return answer.value_or(m_estimatedItemSize);
    }
    return answer.value_or(m_itemSize);
}

UIEdgeInsets UICollectionViewFlowLayout::insetForSection(int section) const
{
    return delegateAnswer<UIEdgeInsets>(*this, [&](auto& d, auto& v, auto& l) {
        return d.insetForSection(v, l, section);
    }).value_or(m_sectionInset);
}

CGFloat UICollectionViewFlowLayout::minimumLineSpacingForSection(int section) const
{
    return delegateAnswer<CGFloat>(*this, [&](auto& d, auto& v, auto& l) {
        return d.minimumLineSpacingForSection(v, l, section);
    }).value_or(m_minimumLineSpacing);
}

CGFloat UICollectionViewFlowLayout::minimumInteritemSpacingForSection(int section) const
{
    return delegateAnswer<CGFloat>(*this, [&](auto& d, auto& v, auto& l) {
        return d.minimumInteritemSpacingForSection(v, l, section);
    }).value_or(m_minimumInteritemSpacing);
}

CGSize UICollectionViewFlowLayout::referenceSizeForHeader(int section) const
{
    return delegateAnswer<CGSize>(*this, [&](auto& d, auto& v, auto& l) {
        return d.referenceSizeForHeader(v, l, section);
    }).value_or(m_headerReferenceSize);
}

CGSize UICollectionViewFlowLayout::referenceSizeForFooter(int section) const
{
    return delegateAnswer<CGSize>(*this, [&](auto& d, auto& v, auto& l) {
        return d.referenceSizeForFooter(v, l, section);
    }).value_or(m_footerReferenceSize);
}

// ---- Layout pass ----

CGFloat UICollectionViewFlowLayout::crossExtent() const
{
    auto* view = collectionView();
    if (!view)
        return 0;
    CGSize size = view->bounds().size;
    UIEdgeInsets inset = view->adjustedContentInset();
    return isVertical() ? size.width - inset.left - inset.right : size.height - inset.top - inset.bottom;
}

void UICollectionViewFlowLayout::prepare()
{
    m_sections.clear();
    m_contentSize = {};
    auto* view = collectionView();
    if (!view)
        return;
    const bool vertical = isVertical();
    const CGFloat cross = std::max<CGFloat>(0, crossExtent());
    m_preparedCrossExtent = cross;
    // Rectangles are built in (along, across) terms and turned into x/y here.
    auto rect = [vertical](CGFloat along, CGFloat across, CGFloat alongLength, CGFloat acrossLength) {
        return vertical ? CGRect(across, along, acrossLength, alongLength)
                        : CGRect(along, across, alongLength, acrossLength);
    };
    auto alongOf = [vertical](CGSize s) { return vertical ? s.height : s.width; };
    auto acrossOf = [vertical](CGSize s) { return vertical ? s.width : s.height; };

    CGFloat position = 0;
    const int sections = view->numberOfSections();
    m_sections.resize(static_cast<std::size_t>(std::max(0, sections)));
    for (int s = 0; s < sections; ++s) {
        Section& section = m_sections[static_cast<std::size_t>(s)];
        const CGFloat sectionStart = position;
        UIEdgeInsets inset = insetForSection(s);
        CGFloat lineSpacing = minimumLineSpacingForSection(s);
        CGFloat itemSpacing = minimumInteritemSpacingForSection(s);
        CGFloat insetBefore = vertical ? inset.top : inset.left;
        CGFloat insetAfter = vertical ? inset.bottom : inset.right;
        CGFloat acrossStart = vertical ? inset.left : inset.top;
        CGFloat available = cross - acrossStart - (vertical ? inset.right : inset.bottom);

        if (CGFloat length = alongOf(referenceSizeForHeader(s)); length > 0) {
            section.header = rect(position, 0, length, cross);
            position += length;
        }
        position += insetBefore;

        const int count = view->numberOfItems(s);
        std::vector<CGSize> sizes;
        sizes.reserve(static_cast<std::size_t>(std::max(0, count)));
        for (int i = 0; i < count; ++i)
            sizes.push_back(sizeForItem({ i, s }));
        section.items.resize(sizes.size());

        int first = 0;
        while (first < count) {
            // Fill the line.
            CGFloat used = acrossOf(sizes[static_cast<std::size_t>(first)]);
            CGFloat thickness = alongOf(sizes[static_cast<std::size_t>(first)]);
            int end = first + 1;
            while (end < count) {
                CGFloat next = acrossOf(sizes[static_cast<std::size_t>(end)]);
                if (used + itemSpacing + next > available)
                    break;
                used += itemSpacing + next;
                thickness = std::max(thickness, alongOf(sizes[static_cast<std::size_t>(end)]));
                ++end;
            }
            // Place it: spread over the line, a lone item centred (or at the start when too big).
            int inLine = end - first;
            CGFloat across = acrossStart;
            CGFloat gap = itemSpacing;
            if (inLine == 1) {
                CGFloat spare = available - used;
                if (spare > 0)
                    across += spare / 2;
            } else {
                CGFloat widths = used - itemSpacing * (inLine - 1);
                gap = (available - widths) / (inLine - 1);
                gap = std::max(gap, itemSpacing);
            }
            for (int i = first; i < end; ++i) {
                CGSize size = sizes[static_cast<std::size_t>(i)];
                CGFloat offset = (thickness - alongOf(size)) / 2;
                section.items[static_cast<std::size_t>(i)]
                    = rect(position + offset, across, alongOf(size), acrossOf(size));
                across += acrossOf(size) + gap;
            }
            section.lines.push_back({ position, position + thickness, first });
            position += thickness;
            first = end;
            if (first < count)
                position += lineSpacing;
        }
        position += insetAfter;

        if (CGFloat length = alongOf(referenceSizeForFooter(s)); length > 0) {
            section.footer = rect(position, 0, length, cross);
            position += length;
        }
        section.frame = rect(sectionStart, 0, position - sectionStart, cross);
    }
    m_contentSize = vertical ? CGSize { cross, position } : CGSize { position, cross };
}

CGSize UICollectionViewFlowLayout::collectionViewContentSize()
{
    return m_contentSize;
}

UICollectionViewLayoutAttributesPtr UICollectionViewFlowLayout::itemAttributes(int section, int item) const
{
    auto attributes = makeLayoutAttributes();
    attributes->indexPath = { item, section };
    attributes->frame = m_sections[static_cast<std::size_t>(section)].items[static_cast<std::size_t>(item)];
    return attributes;
}

UICollectionViewLayoutAttributesPtr UICollectionViewFlowLayout::supplementaryAttributes(
    const std::string& kind, int section) const
{
    if (section < 0 || section >= static_cast<int>(m_sections.size()))
        return nullptr;
    const Section& s = m_sections[static_cast<std::size_t>(section)];
    const std::optional<CGRect>& frame = kind == UICollectionElementKindSectionHeader ? s.header
        : kind == UICollectionElementKindSectionFooter                                ? s.footer
                                                       : std::optional<CGRect> {};
    if (!frame)
        return nullptr;
    auto attributes = makeLayoutAttributes();
    attributes->setRepresentedElementKind(kind);
    attributes->indexPath = { 0, section };
    attributes->frame = *frame;
    return attributes;
}

bool UICollectionViewFlowLayout::isEarlierLine(const Line& line, const CGRect& rect) const
{
    return line.end < (isVertical() ? rect.minY() : rect.minX());
}

bool UICollectionViewFlowLayout::isLaterLine(const Line& line, const CGRect& rect) const
{
    return line.start > (isVertical() ? rect.maxY() : rect.maxX());
}

std::vector<UICollectionViewLayoutAttributesPtr> UICollectionViewFlowLayout::layoutAttributesForElements(
    const CGRect& rect)
{
    std::vector<UICollectionViewLayoutAttributesPtr> result;
    for (std::size_t s = 0; s < m_sections.size(); ++s) {
        const Section& section = m_sections[s];
        if (!section.frame.intersects(rect))
            continue;
        int sectionIndex = static_cast<int>(s);
        if (section.header && section.header->intersects(rect))
            result.push_back(supplementaryAttributes(UICollectionElementKindSectionHeader, sectionIndex));
        // Lines run in order along the scroll direction: skip to the first that reaches the rectangle.
        auto line = std::partition_point(section.lines.begin(), section.lines.end(),
            [&](const Line& l) { return isEarlierLine(l, rect); });
        for (; line != section.lines.end() && !isLaterLine(*line, rect); ++line) {
            int end = (line + 1 == section.lines.end()) ? static_cast<int>(section.items.size())
                                                        : (line + 1)->firstItem;
            for (int i = line->firstItem; i < end; ++i) {
                if (section.items[static_cast<std::size_t>(i)].intersects(rect))
                    result.push_back(itemAttributes(sectionIndex, i));
            }
        }
        if (section.footer && section.footer->intersects(rect))
            result.push_back(supplementaryAttributes(UICollectionElementKindSectionFooter, sectionIndex));
    }
    return result;
}

UICollectionViewLayoutAttributesPtr UICollectionViewFlowLayout::layoutAttributesForItem(
    const IndexPath& indexPath)
{
    if (indexPath.section < 0 || indexPath.section >= static_cast<int>(m_sections.size()))
        return nullptr;
    const Section& section = m_sections[static_cast<std::size_t>(indexPath.section)];
    if (indexPath.item < 0 || indexPath.item >= static_cast<int>(section.items.size()))
        return nullptr;
    return itemAttributes(indexPath.section, indexPath.item);
}

UICollectionViewLayoutAttributesPtr UICollectionViewFlowLayout::layoutAttributesForSupplementaryView(
    const std::string& kind, const IndexPath& indexPath)
{
    return supplementaryAttributes(kind, indexPath.section);
}

bool UICollectionViewFlowLayout::shouldInvalidateLayoutForBoundsChange(const CGRect& newBounds)
{
    auto* view = collectionView();
    if (!view)
        return false;
    UIEdgeInsets inset = view->adjustedContentInset();
    CGFloat cross = isVertical() ? newBounds.size.width - inset.left - inset.right
                                 : newBounds.size.height - inset.top - inset.bottom;
    return std::max<CGFloat>(0, cross) != m_preparedCrossExtent;
}

void UICollectionViewFlowLayout::prepareForDataReload()
{
    m_preferredSizes.clear();
}

bool UICollectionViewFlowLayout::wantsPreferredLayoutAttributes() const
{
    return !isZero(m_estimatedItemSize);
}

bool UICollectionViewFlowLayout::shouldInvalidateLayoutForPreferredAttributes(
    const UICollectionViewLayoutAttributes& preferred, const UICollectionViewLayoutAttributes& original)
{
    return wantsPreferredLayoutAttributes()
        && preferred.representedElementCategory() == UICollectionElementCategory::cell
        && preferred.frame.size != original.frame.size;
}

void UICollectionViewFlowLayout::invalidateLayoutForPreferredAttributes(
    const UICollectionViewLayoutAttributes& preferred)
{
    m_preferredSizes[preferred.indexPath] = preferred.frame.size;
    invalidateLayout();
}
