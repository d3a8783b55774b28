#pragma once

#include "platform/ui/UIView.h"
#include "platform/ui/layout/NSLayoutConstraint.h"

#include <functional>
#include <memory>
#include <vector>

enum class UIStackViewDistribution { fill, fillEqually, fillProportionally, equalSpacing };
enum class UIStackViewAlignment { fill, leading, top = leading, center, trailing, bottom = trailing };

// Lines up its arranged subviews along an axis by setting their frames in layoutSubviews.
// Each view's natural size is what its constraints give (for views placed by constraints), else
// its intrinsic content size, or its current frame size in a dimension without one; hidden views
// take no space and no spacing.
//  - fill: natural sizes; space left over goes to the first view without a natural length along
//    the axis (else the last view), space missing is taken from the last views;
//  - fillEqually: equal lengths; fillProportionally: lengths in proportion to the natural ones;
//  - equalSpacing: natural lengths with equal gaps of at least `spacing`.
// Across the axis: fill stretches, the others keep the natural size and align.
class UIStackView : public UIView {
public:
    using Axis = UILayoutConstraintAxis;

    UIStackView();
    explicit UIStackView(const CGRect& frame);
    explicit UIStackView(std::vector<std::shared_ptr<UIView>> arrangedSubviews);

    std::string className() const override { return "UIStackView"; }

    const std::vector<std::shared_ptr<UIView>>& arrangedSubviews() const { return m_arranged; }
    // Also adds the view as a subview.
    void addArrangedSubview(std::shared_ptr<UIView> view);
    void insertArrangedSubview(std::shared_ptr<UIView> view, std::size_t index);
    // Stops arranging the view; it stays a subview, as on the phone.
    void removeArrangedSubview(const UIView* view);

    Axis axis() const { return m_axis; }
    void setAxis(Axis axis);
    CGFloat spacing() const { return m_spacing; }
    void setSpacing(CGFloat spacing);
    UIStackViewDistribution distribution() const { return m_distribution; }
    void setDistribution(UIStackViewDistribution distribution);
    UIStackViewAlignment alignment() const { return m_alignment; }
    void setAlignment(UIStackViewAlignment alignment);

    // How the natural size of an arranged view is measured (tests and special containers may
    // replace it); the default is described above.
    using Measure = std::function<CGSize(UIView&)>;
    static void setMeasure(Measure measure);
    static CGSize naturalSize(UIView& view);

    void layoutSubviews() override;
    CGSize intrinsicContentSize() const override;
    CGSize sizeThatFits(CGSize size) const override;
    void willRemoveSubview(UIView* view) override;
    // An arranged view that grows or shrinks changes the stack's own size.
    void subviewIntrinsicContentSizeDidChange(UIView& view) override;

private:
    std::vector<std::shared_ptr<UIView>> visibleArranged() const;
    void arrangementDidChange();

    std::vector<std::shared_ptr<UIView>> m_arranged;
    Axis m_axis = Axis::horizontal;
    CGFloat m_spacing = 0;
    UIStackViewDistribution m_distribution = UIStackViewDistribution::fill;
    UIStackViewAlignment m_alignment = UIStackViewAlignment::fill;
};
