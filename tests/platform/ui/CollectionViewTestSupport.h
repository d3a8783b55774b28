#pragma once

#include "platform/ui/UILabel.h"
#include "platform/ui/lists/UICollectionView.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace listtest {

// A cell that shows its item and counts how it is made and reused.
class NumberCell : public UICollectionViewCell {
public:
    static inline int made = 0;
    static inline int reused = 0;

    NumberCell()
        : label(std::make_shared<UILabel>())
    {
        ++made;
        contentView()->addSubview(label);
        label->setTextAlignment(NSTextAlignment::center);
        label->setFont(UIFont::boldSystemFont(14));
    }

    std::string className() const override { return "NumberCell"; }

    void prepareForReuse() override
    {
        UICollectionViewCell::prepareForReuse();
        ++reused;
        label->setText("");
    }
    void layoutSubviews() override
    {
        UICollectionViewCell::layoutSubviews();
        label->setFrame(contentView()->bounds());
    }

    std::shared_ptr<UILabel> label;
    IndexPath shown { -1, -1 };
};

class OtherCell : public UICollectionViewCell {
public:
    std::string className() const override { return "OtherCell"; }
};

// Sections of plain counts, sized and spaced by optional closures, recording what the view
// tells.
class GridSource : public UICollectionViewDataSource, public UICollectionViewDelegateFlowLayout {
public:
    std::vector<int> counts { 0 };
    std::function<std::optional<CGSize>(const IndexPath&)> size;
    std::function<std::optional<UIEdgeInsets>(int)> inset;
    std::function<std::optional<CGFloat>(int)> lineSpacing;
    std::function<std::optional<CGFloat>(int)> itemSpacing;
    std::function<std::optional<CGSize>(int)> headerSize;
    std::string headerKindRegistered;
    std::vector<std::string> log;
    std::vector<IndexPath> selected;
    int cellRequests = 0;

    int numberOfSections(UICollectionView&) override { return static_cast<int>(counts.size()); }
    int numberOfItems(UICollectionView&, int section) override
    {
        return counts[static_cast<std::size_t>(section)];
    }
    std::shared_ptr<UICollectionViewCell> cellForItem(
        UICollectionView& view, const IndexPath& indexPath) override
    {
        ++cellRequests;
        auto cell = view.dequeueReusableCell<NumberCell>("NumberCell", indexPath);
        cell->label->setText(std::to_string(indexPath.item));
        cell->shown = indexPath;
        cell->setBackgroundColor(UIColor::white(0.6 + 0.1 * (indexPath.item % 4)));
        return cell;
    }
    std::shared_ptr<UICollectionReusableView> viewForSupplementaryElement(
        UICollectionView& view, const std::string& kind, const IndexPath& indexPath) override
    {
        auto header = view.dequeueReusableSupplementaryView(kind, "Header", indexPath);
        if (header)
            header->setBackgroundColor(UIColor::orange());
        return header;
    }

    std::optional<CGSize> sizeForItem(UICollectionView&, UICollectionViewLayout&, const IndexPath& p) override
    {
        return size ? size(p) : std::nullopt;
    }
    std::optional<UIEdgeInsets> insetForSection(UICollectionView&, UICollectionViewLayout&, int s) override
    {
        return inset ? inset(s) : std::nullopt;
    }
    std::optional<CGFloat> minimumLineSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int s) override
    {
        return lineSpacing ? lineSpacing(s) : std::nullopt;
    }
    std::optional<CGFloat> minimumInteritemSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int s) override
    {
        return itemSpacing ? itemSpacing(s) : std::nullopt;
    }
    std::optional<CGSize> referenceSizeForHeader(UICollectionView&, UICollectionViewLayout&, int s) override
    {
        return headerSize ? headerSize(s) : std::nullopt;
    }

    void didSelectItem(UICollectionView&, const IndexPath& p) override
    {
        selected.push_back(p);
        log.push_back("select " + p.description());
    }
    void didDeselectItem(UICollectionView&, const IndexPath& p) override
    {
        log.push_back("deselect " + p.description());
    }
    void willDisplayCell(UICollectionView&, UICollectionViewCell&, const IndexPath& p) override
    {
        log.push_back("display " + p.description());
    }
    void didEndDisplayingCell(UICollectionView&, UICollectionViewCell&, const IndexPath& p) override
    {
        log.push_back("end " + p.description());
    }
};

// A collection view over a grid source, both owned by the caller.
inline std::shared_ptr<UICollectionView> makeGrid(const std::shared_ptr<GridSource>& source, CGRect frame,
    std::shared_ptr<UICollectionViewLayout> layout = nullptr)
{
    auto view = std::make_shared<UICollectionView>(frame, std::move(layout));
    view->registerClass<NumberCell>("NumberCell");
    view->registerSupplementaryClass<UICollectionReusableView>(
        UICollectionElementKindSectionHeader, "Header");
    view->setDataSource(source);
    view->setDelegate(source);
    return view;
}

inline std::vector<CGRect> frames(const std::vector<UICollectionViewLayoutAttributesPtr>& attributes)
{
    std::vector<CGRect> result;
    for (const auto& a : attributes)
        result.push_back(a->frame);
    return result;
}

}
