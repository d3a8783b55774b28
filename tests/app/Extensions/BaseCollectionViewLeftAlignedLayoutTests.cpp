#include "app/Extensions/BaseCollectionViewLeftAlignedLayout.h"
#include "platform/ui/lists/UICollectionView.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// Sections of 30-point-high items of the given widths, with an optional header and inset.
class TagSource : public UICollectionViewDataSource, public UICollectionViewDelegateFlowLayout {
public:
    std::vector<std::vector<CGFloat>> widths;
    std::vector<UIEdgeInsets> insets;
    CGFloat headerHeight = 0;

    int numberOfSections(UICollectionView&) override { return static_cast<int>(widths.size()); }
    int numberOfItems(UICollectionView&, int section) override
    {
        return static_cast<int>(widths[static_cast<std::size_t>(section)].size());
    }
    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView& view, const IndexPath& path) override
    {
        return view.dequeueReusableCell("Tag", path);
    }
    std::shared_ptr<UICollectionReusableView> viewForSupplementaryElement(
        UICollectionView& view, const std::string& kind, const IndexPath& path) override
    {
        return view.dequeueReusableSupplementaryView(kind, "Head", path);
    }
    std::optional<CGSize> sizeForItem(
        UICollectionView&, UICollectionViewLayout&, const IndexPath& path) override
    {
        return CGSize { widths[static_cast<std::size_t>(path.section)][static_cast<std::size_t>(path.item)],
            30 };
    }
    std::optional<UIEdgeInsets> insetForSection(
        UICollectionView&, UICollectionViewLayout&, int section) override
    {
        return insets[static_cast<std::size_t>(section)];
    }
    std::optional<CGSize> referenceSizeForHeader(UICollectionView&, UICollectionViewLayout&, int) override
    {
        return CGSize { 0, headerHeight };
    }
};

struct Grid {
    std::shared_ptr<TagSource> source = std::make_shared<TagSource>();
    std::shared_ptr<BaseCollectionViewLeftAlignedLayout> layout
        = std::make_shared<BaseCollectionViewLeftAlignedLayout>();
    std::shared_ptr<UICollectionView> view;

    Grid(std::vector<std::vector<CGFloat>> widths, std::vector<UIEdgeInsets> insets)
    {
        source->widths = std::move(widths);
        source->insets = std::move(insets);
        layout->setMinimumInteritemSpacing(10);
        layout->setMinimumLineSpacing(10);
        view = std::make_shared<UICollectionView>(CGRect { 0, 0, 200, 400 }, layout);
        view->registerClass<UICollectionViewCell>("Tag");
        view->registerSupplementaryClass<UICollectionReusableView>(
            UICollectionElementKindSectionHeader, "Head");
        view->setDataSource(source);
        view->setDelegate(source);
    }

    std::vector<CGRect> cellFrames(int section)
    {
        std::vector<CGRect> frames;
        for (const auto& attributes : layout->layoutAttributesForElements({ 0, 0, 200, 400 })) {
            if (attributes->representedElementKind().empty() && attributes->indexPath.section == section)
                frames.push_back(attributes->frame);
        }
        return frames;
    }
};

TEST(BaseCollectionViewLeftAlignedLayout, RowsStartAtTheLeftInsetAndPackAtTheSpacing)
{
    Grid grid({ { 50, 60, 70, 80 }, { 100, 50, 100 } }, { {}, { 0, 16, 0, 16 } });
    grid.source->headerHeight = 20;
    grid.view->layoutIfNeeded();

    // Three fit in 200 points; the fourth starts a row of its own (the flow layout would centre it).
    std::vector<CGRect> first { { 0, 20, 50, 30 }, { 60, 20, 60, 30 }, { 130, 20, 70, 30 },
        { 0, 60, 80, 30 } };
    EXPECT_EQ(grid.cellFrames(0), first);
    // 168 points inside the insets: 100 and 50 share a row, the last 100 wraps to x = 16.
    auto second = grid.cellFrames(1);
    ASSERT_EQ(second.size(), 3u);
    EXPECT_EQ(second[0].origin.x, 16);
    EXPECT_EQ(second[1].origin.x, 126);
    EXPECT_EQ(second[2].origin.x, 16);
    EXPECT_GT(second[2].origin.y, second[1].origin.y);

    // Headers keep the flow layout's frame; shown cells sit at the aligned frames.
    auto header = grid.layout->layoutAttributesForElements({ 0, 0, 200, 400 }).front();
    EXPECT_EQ(header->representedElementKind(), UICollectionElementKindSectionHeader);
    EXPECT_EQ(header->frame, (CGRect { 0, 0, 200, 20 }));
    EXPECT_EQ(grid.view->cellForItem({ 3, 0 })->frame(), first[3]);
}

TEST(BaseCollectionViewLeftAlignedLayout, AnItemWhosePredecessorWasNotPlacedFollowsItsUnalignedFrame)
{
    // The flow layout spreads 40, 50 and 60 over 200 points: x = 0, 65 and 140.
    Grid grid({ { 40, 50, 60 } }, { {} });
    grid.view->layoutIfNeeded();
    EXPECT_EQ(grid.layout->layoutAttributesForItem({ 2, 0 })->frame.origin.x, 110);

    // A new pass forgets the aligned frames: item 2 follows item 1's spread frame (65 + 50 + 10).
    grid.layout->prepare();
    EXPECT_TRUE(grid.layout->cachedFrames().empty());
    EXPECT_EQ(grid.layout->layoutAttributesForItem({ 2, 0 })->frame.origin.x, 125);
    EXPECT_FALSE(grid.layout->layoutAttributesForItem({ 3, 0 }));
}

}
