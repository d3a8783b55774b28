#include "platform/ui/layout/ConstraintMaker.h"
#include "tests/platform/ui/CollectionViewTestSupport.h"

#include <gtest/gtest.h>

namespace {

using listtest::frames;
using listtest::GridSource;
using listtest::makeGrid;

std::shared_ptr<UICollectionViewFlowLayout> flowLayout(
    CGSize item, CGFloat line, CGFloat interitem, UIEdgeInsets inset)
{
    auto layout = std::make_shared<UICollectionViewFlowLayout>();
    layout->setItemSize(item);
    layout->setMinimumLineSpacing(line);
    layout->setMinimumInteritemSpacing(interitem);
    layout->setSectionInset(inset);
    return layout;
}

TEST(CollectionViewLayout, VerticalGridSpreadsRowsInsideInsetsAndSpacings)
{
    auto source = std::make_shared<GridSource>();
    source->counts = { 7, 2 };
    auto layout = flowLayout({ 50, 40 }, 8, 5, { 10, 15, 20, 15 });
    auto view = makeGrid(source, { 0, 0, 200, 400 }, layout);
    // The second section: a header, full-width rows from the delegate, no insets or spacing.
    source->headerSize = [](int s) { return s == 1 ? CGSize { 0, 30 } : CGSize {}; };
    source->size = [](const IndexPath& p) -> std::optional<CGSize> {
        return p.section == 1 ? std::optional<CGSize>(CGSize { 200, 25 }) : std::nullopt;
    };
    source->inset
        = [](int s) { return s == 1 ? std::optional<UIEdgeInsets>(UIEdgeInsets {}) : std::nullopt; };
    source->lineSpacing = [](int s) { return s == 1 ? std::optional<CGFloat>(0) : std::nullopt; };
    view->layoutIfNeeded();

    // 170 points between the insets take three 50-point items; the 20 left over is spread.
    std::vector<CGRect> expected {
        { 15, 10, 50, 40 }, { 75, 10, 50, 40 }, { 135, 10, 50, 40 }, //
        { 15, 58, 50, 40 }, { 75, 58, 50, 40 }, { 135, 58, 50, 40 }, //
        { 75, 106, 50, 40 }, // a lone item is centred
    };
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(view->layoutAttributesForItem({ i, 0 })->frame, expected[static_cast<std::size_t>(i)]) << i;

    auto header
        = view->layoutAttributesForSupplementaryElement(UICollectionElementKindSectionHeader, { 0, 1 });
    ASSERT_TRUE(header);
    EXPECT_EQ(header->frame, (CGRect { 0, 166, 200, 30 }));
    EXPECT_FALSE(
        view->layoutAttributesForSupplementaryElement(UICollectionElementKindSectionHeader, { 0, 0 }))
        << "a zero reference size means no header";
    EXPECT_EQ(view->layoutAttributesForItem({ 0, 1 })->frame, (CGRect { 0, 196, 200, 25 }));
    EXPECT_EQ(view->layoutAttributesForItem({ 1, 1 })->frame, (CGRect { 0, 221, 200, 25 }));
    EXPECT_EQ(view->contentSize(), (CGSize { 200, 246 }));
    EXPECT_FALSE(view->layoutAttributesForItem({ 2, 1 }));

    // Shown views sit at the layout's frames; the header is the data source's view.
    EXPECT_EQ(view->cellForItem({ 6, 0 })->frame(), expected[6]);
    ASSERT_TRUE(view->supplementaryView(UICollectionElementKindSectionHeader, { 0, 1 }));
    EXPECT_EQ(
        view->supplementaryView(UICollectionElementKindSectionHeader, { 0, 1 })->frame(), header->frame);
}

TEST(CollectionViewLayout, HorizontalRowStacksColumnsAcrossTheHeight)
{
    auto source = std::make_shared<GridSource>();
    source->counts = { 5 };
    auto layout = flowLayout({ 80, 60 }, 15, 10, { 10, 20, 10, 20 });
    layout->setScrollDirection(UICollectionViewScrollDirection::horizontal);
    auto view = makeGrid(source, { 0, 0, 300, 100 }, layout);
    view->layoutIfNeeded();

    // 80 points of height hold one item per column, centred.
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(view->layoutAttributesForItem({ i, 0 })->frame, (CGRect { 20 + 95.0 * i, 20, 80, 60 }))
            << i;
    EXPECT_EQ(view->contentSize(), (CGSize { 20 + 5 * 80 + 4 * 15 + 20, 100 }));
    auto inRect = layout->layoutAttributesForElements({ 100, 0, 150, 100 });
    ASSERT_EQ(inRect.size(), 2u);
    EXPECT_EQ(inRect[0]->indexPath, (IndexPath { 1, 0 }));
    EXPECT_EQ(inRect[1]->indexPath, (IndexPath { 2, 0 }));
    EXPECT_EQ(view->indexPathsForVisibleItems(), (std::vector<IndexPath> { { 0, 0 }, { 1, 0 }, { 2, 0 } }));

    // A taller view makes room for two items per column.
    view->setFrame({ 0, 0, 300, 160 });
    view->layoutIfNeeded();
    EXPECT_EQ(view->layoutAttributesForItem({ 1, 0 })->frame, (CGRect { 20, 90, 80, 60 }))
        << "spread over the column";
}

// Packs every row against the left inset, as a subclass does by adjusting copies of the base
// layout's attributes.
class LeftAlignedLayout : public UICollectionViewFlowLayout {
public:
    std::vector<UICollectionViewLayoutAttributesPtr> layoutAttributesForElements(const CGRect& rect) override
    {
        auto all = UICollectionViewFlowLayout::layoutAttributesForElements(rect);
        std::vector<UICollectionViewLayoutAttributesPtr> result;
        for (auto& attributes : all) {
            auto copy = attributes->copy();
            if (copy->representedElementKind().empty())
                copy->frame = layoutAttributesForItem(copy->indexPath)->frame;
            result.push_back(copy);
        }
        return result;
    }
    UICollectionViewLayoutAttributesPtr layoutAttributesForItem(const IndexPath& p) override
    {
        auto attributes = UICollectionViewFlowLayout::layoutAttributesForItem(p);
        if (!attributes)
            return nullptr;
        UIEdgeInsets inset = insetForSection(p.section);
        if (p.item == 0) {
            attributes->frame.origin.x = inset.left;
            return attributes;
        }
        CGRect previous = layoutAttributesForItem({ p.item - 1, p.section })->frame;
        bool sameRow
            = previous.minY() < attributes->frame.maxY() && attributes->frame.minY() < previous.maxY();
        attributes->frame.origin.x
            = sameRow ? previous.maxX() + minimumInteritemSpacingForSection(p.section) : inset.left;
        return attributes;
    }
};

// A chip sized by the constraints of its label.
class ChipCell : public UICollectionViewCell {
public:
    ChipCell()
        : label(std::make_shared<UILabel>())
    {
        contentView()->addSubview(label);
        snp(label).makeConstraints([](ConstraintMaker& make) {
            make.left().right().equalToSuperview().inset(16);
            make.top().bottom().equalToSuperview().inset(8);
        });
    }
    std::shared_ptr<UILabel> label;
};

class ChipSource : public UICollectionViewDataSource {
public:
    std::vector<std::string> words;
    int numberOfItems(UICollectionView&, int) override { return static_cast<int>(words.size()); }
    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView& view, const IndexPath& p) override
    {
        auto cell = view.dequeueReusableCell<ChipCell>("Chip", p);
        cell->label->setText(words[static_cast<std::size_t>(p.item)]);
        return cell;
    }
};

TEST(CollectionViewLayout, EstimatedSizesGiveWayToTheSizesCellsPrefer)
{
    auto source = std::make_shared<ChipSource>();
    source->words = { "a", "longer words", "mid", "x" };
    auto layout = std::make_shared<UICollectionViewFlowLayout>();
    layout->setEstimatedItemSize({ 100, 36 });
    layout->setMinimumInteritemSpacing(8);
    auto view = std::make_shared<UICollectionView>(CGRect { 0, 0, 390, 200 }, layout);
    view->registerClass<ChipCell>("Chip");
    view->setDataSource(source);
    view->layoutIfNeeded();

    for (int i = 0; i < 4; ++i) {
        auto cell = std::dynamic_pointer_cast<ChipCell>(view->cellForItem({ i, 0 }));
        ASSERT_TRUE(cell) << i;
        CGSize text = cell->label->intrinsicContentSize();
        EXPECT_EQ(cell->frame().size, (CGSize { text.width + 32, text.height + 16 })) << i;
        EXPECT_EQ(layout->layoutAttributesForItem({ i, 0 })->frame.size, cell->frame().size);
    }
    // The layout flowed again with the new sizes: all four fit on one line now.
    EXPECT_EQ(view->cellForItem({ 3, 0 })->frame().minY(), view->cellForItem({ 0, 0 })->frame().minY());

    // A reload forgets the sizes learnt for the old items.
    source->words = { "a much longer word than before" };
    view->reloadData();
    view->layoutIfNeeded();
    auto cell = std::dynamic_pointer_cast<ChipCell>(view->cellForItem({ 0, 0 }));
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->frame().width(), cell->label->intrinsicContentSize().width + 32);
}

}
