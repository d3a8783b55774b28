#include "platform/ui/controls/UIStackView.h"

#include "platform/ui/layout/UIViewLayout.h"

#include <algorithm>
#include <numeric>

namespace {

UIStackView::Measure& measureSlot()
{
    static UIStackView::Measure measure;
    return measure;
}

}

UIStackView::UIStackView()
    : UIStackView(CGRect {})
{ }

UIStackView::UIStackView(const CGRect& frame)
    : UIView(frame)
{ }

UIStackView::UIStackView(std::vector<std::shared_ptr<UIView>> arrangedSubviews)
    : UIView(CGRect {})
{
    // Subviews can only join once the stack is owned; layoutSubviews adds any still missing.
    m_arranged = std::move(arrangedSubviews);
    std::erase(m_arranged, nullptr);
}

void UIStackView::setMeasure(Measure measure)
{
    measureSlot() = std::move(measure);
}

CGSize UIStackView::naturalSize(UIView& view)
{
    if (const auto& measure = measureSlot())
        return measure(view);
    // A view placed by constraints measures with them (a height constraint beats the intrinsic
    // height), as arranged views do on the phone.
    if (!translatesAutoresizingMaskIntoConstraints(view))
        return systemLayoutSizeFitting(view, UILayoutFittingCompressedSize);
    CGSize intrinsic = view.intrinsicContentSize();
    CGSize frame = view.frame().size;
    return { intrinsic.width == UIView::noIntrinsicMetric ? frame.width : intrinsic.width,
        intrinsic.height == UIView::noIntrinsicMetric ? frame.height : intrinsic.height };
}

void UIStackView::arrangementDidChange()
{
    invalidateIntrinsicContentSize();
    setNeedsLayout();
}

void UIStackView::addArrangedSubview(std::shared_ptr<UIView> view)
{
    insertArrangedSubview(std::move(view), m_arranged.size());
}

void UIStackView::insertArrangedSubview(std::shared_ptr<UIView> view, std::size_t index)
{
    if (!view || view.get() == this)
        return;
    std::erase(m_arranged, view);
    index = std::min(index, m_arranged.size());
    m_arranged.insert(m_arranged.begin() + static_cast<std::ptrdiff_t>(index), view);
    if (view->superview().get() != this)
        addSubview(view);
    arrangementDidChange();
}

void UIStackView::removeArrangedSubview(const UIView* view)
{
    std::erase_if(m_arranged, [&](const auto& v) { return v.get() == view; });
    arrangementDidChange();
}

void UIStackView::willRemoveSubview(UIView* view)
{
    UIView::willRemoveSubview(view);
    std::erase_if(m_arranged, [&](const auto& v) { return v.get() == view; });
    arrangementDidChange();
}

void UIStackView::subviewIntrinsicContentSizeDidChange(UIView& view)
{
    if (std::any_of(m_arranged.begin(), m_arranged.end(), [&](const auto& v) { return v.get() == &view; }))
        invalidateIntrinsicContentSize();
}

void UIStackView::setAxis(Axis axis)
{
    m_axis = axis;
    arrangementDidChange();
}

void UIStackView::setSpacing(CGFloat spacing)
{
    m_spacing = spacing;
    arrangementDidChange();
}

void UIStackView::setDistribution(UIStackViewDistribution distribution)
{
    m_distribution = distribution;
    setNeedsLayout();
}

void UIStackView::setAlignment(UIStackViewAlignment alignment)
{
    m_alignment = alignment;
    setNeedsLayout();
}

std::vector<std::shared_ptr<UIView>> UIStackView::visibleArranged() const
{
    std::vector<std::shared_ptr<UIView>> list;
    for (const auto& view : m_arranged) {
        if (!view->isHidden())
            list.push_back(view);
    }
    return list;
}

CGSize UIStackView::intrinsicContentSize() const
{
    auto views = visibleArranged();
    if (views.empty())
        return {};
    bool horizontal = m_axis == Axis::horizontal;
    CGFloat along = m_spacing * static_cast<CGFloat>(views.size() - 1);
    CGFloat across = 0;
    for (const auto& view : views) {
        CGSize size = naturalSize(*view);
        along += horizontal ? size.width : size.height;
        across = std::max(across, horizontal ? size.height : size.width);
    }
    return horizontal ? CGSize { along, across } : CGSize { across, along };
}

CGSize UIStackView::sizeThatFits(CGSize) const
{
    return intrinsicContentSize();
}

void UIStackView::layoutSubviews()
{
    UIView::layoutSubviews();
    for (const auto& view : m_arranged) {
        if (view->superview().get() != this)
            addSubview(view);
    }
    auto views = visibleArranged();
    if (views.empty())
        return;
    bool horizontal = m_axis == Axis::horizontal;
    CGRect b = bounds();
    CGFloat length = horizontal ? b.width() : b.height();
    CGFloat thickness = horizontal ? b.height() : b.width();
    std::size_t n = views.size();

    std::vector<CGFloat> along(n), across(n);
    std::vector<bool> hasLength(n);
    for (std::size_t i = 0; i < n; ++i) {
        CGSize natural = naturalSize(*views[i]);
        CGSize intrinsic = views[i]->intrinsicContentSize();
        along[i] = std::max<CGFloat>(0, horizontal ? natural.width : natural.height);
        across[i] = std::max<CGFloat>(0, horizontal ? natural.height : natural.width);
        hasLength[i] = (horizontal ? intrinsic.width : intrinsic.height) != UIView::noIntrinsicMetric;
    }
    CGFloat gaps = m_spacing * static_cast<CGFloat>(n - 1);
    CGFloat natural = std::accumulate(along.begin(), along.end(), CGFloat(0));
    CGFloat gap = m_spacing;

    switch (m_distribution) {
    case UIStackViewDistribution::fillEqually:
        std::fill(
            along.begin(), along.end(), std::max<CGFloat>(0, (length - gaps) / static_cast<CGFloat>(n)));
        break;
    case UIStackViewDistribution::fillProportionally:
        if (natural > 0) {
            CGFloat scale = std::max<CGFloat>(0, length - gaps) / natural;
            for (auto& a : along)
                a *= scale;
        }
        break;
    case UIStackViewDistribution::equalSpacing:
        if (n > 1 && natural + gaps <= length) {
            gap = (length - natural) / static_cast<CGFloat>(n - 1);
            break;
        }
        [[fallthrough]];
    case UIStackViewDistribution::fill: {
        CGFloat extra = length - natural - gaps;
        if (extra > 0) {
            auto flexible = std::find(hasLength.begin(), hasLength.end(), false);
            std::size_t index = flexible != hasLength.end()
                ? static_cast<std::size_t>(flexible - hasLength.begin())
                : n - 1;
            along[index] += extra;
        } else {
            for (std::size_t i = n; i-- > 0 && extra < 0;) {
                CGFloat take = std::min(along[i], -extra);
                along[i] -= take;
                extra += take;
            }
        }
        break;
    }
    }

    CGFloat position = 0;
    for (std::size_t i = 0; i < n; ++i) {
        CGFloat size = m_alignment == UIStackViewAlignment::fill ? thickness : std::min(across[i], thickness);
        CGFloat offset = 0;
        if (m_alignment == UIStackViewAlignment::center)
            offset = (thickness - size) / 2;
        else if (m_alignment == UIStackViewAlignment::trailing)
            offset = thickness - size;
        CGRect frame = horizontal ? CGRect { b.minX() + position, b.minY() + offset, along[i], size }
                                  : CGRect { b.minX() + offset, b.minY() + position, size, along[i] };
        views[i]->setFrame(frame);
        position += along[i] + gap;
    }
}
