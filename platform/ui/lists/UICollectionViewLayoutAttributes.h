#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/lists/IndexPath.h"

#include <memory>
#include <string>

// Element kinds of the flow layout's supplementary views.
inline const std::string UICollectionElementKindSectionHeader = "UICollectionElementKindSectionHeader";
inline const std::string UICollectionElementKindSectionFooter = "UICollectionElementKindSectionFooter";

enum class UICollectionElementCategory { cell, supplementaryView };

// Where and how one element of a collection view shows. Layouts hand out attribute objects that
// the caller may change; subclasses that carry more fields override copy().
class UICollectionViewLayoutAttributes {
public:
    virtual ~UICollectionViewLayoutAttributes() = default;

    static std::shared_ptr<UICollectionViewLayoutAttributes> forCell(const IndexPath& indexPath);
    static std::shared_ptr<UICollectionViewLayoutAttributes> forSupplementaryView(
        const std::string& kind, const IndexPath& indexPath);

    virtual std::shared_ptr<UICollectionViewLayoutAttributes> copy() const;

    UICollectionElementCategory representedElementCategory() const
    {
        return m_kind.empty() ? UICollectionElementCategory::cell
                              : UICollectionElementCategory::supplementaryView;
    }
    // Empty for cells.
    const std::string& representedElementKind() const { return m_kind; }
    void setRepresentedElementKind(std::string kind) { m_kind = std::move(kind); }

    IndexPath indexPath;
    CGRect frame;
    CGFloat alpha = 1;
    int zIndex = 0;
    bool isHidden = false;
    CGAffineTransform transform;

    CGSize size() const { return frame.size; }
    CGPoint center() const { return frame.center(); }

private:
    std::string m_kind;
};

using UICollectionViewLayoutAttributesPtr = std::shared_ptr<UICollectionViewLayoutAttributes>;
