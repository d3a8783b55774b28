#pragma once

#include "platform/ui/UIView.h"
#include "platform/ui/lists/UICollectionViewLayoutAttributes.h"

#include <memory>
#include <string>

// A view that a collection view shows for one element (a supplementary view; cells derive from
// it) and recycles once the element scrolls away.
class UICollectionReusableView : public UIView {
public:
    UICollectionReusableView();
    explicit UICollectionReusableView(const CGRect& frame);

    std::string className() const override { return "UICollectionReusableView"; }

    // The identifier it was dequeued under (empty until then).
    const std::string& reuseIdentifier() const { return m_reuseIdentifier; }

    // Called just before the view comes back out of the reuse queue for another element.
    virtual void prepareForReuse() { }
    // The collection view has set frame, alpha and visibility from the attributes; subclasses
    // read their own fields.
    virtual void apply(const UICollectionViewLayoutAttributes&) { }
    // Self-sizing layouts ask for the attributes the view would like; the default keeps them.
    virtual UICollectionViewLayoutAttributesPtr preferredLayoutAttributesFitting(
        const UICollectionViewLayoutAttributes& attributes);

private:
    friend class UICollectionView;
    std::string m_reuseIdentifier;
};
