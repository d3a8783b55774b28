#include "tools/kitdemo/KitDemoTabBar.h"

#include "platform/ui/UIBezierPath.h"
#include "platform/ui/UIGraphics.h"
#include "platform/ui/lists/TypeName.h"
#include "platform/ui/segmented/JXSegmentedView.h"
#include "tools/kitdemo/KitDemoColors.h"

namespace {

// A drawn icon: a ring, filled when selected, so that no asset is needed. The bitmap has one
// style, so it takes colours that show on light and dark bars alike.
UIImage tabIcon(bool selected)
{
    constexpr CGSize size { 24, 24 };
    return UIGraphicsImageRenderer(size).image([&](CGContext& context) {
        auto path = UIBezierPath::ovalIn({ { 3, 3 }, { size.width - 6, size.height - 6 } }).cgPath();
        context.addPath(path);
        if (selected) {
            context.setFillColor(kitdemo::mint());
            context.fillPath();
            return;
        }
        context.setStrokeColor(UIColor(0.55, 0.55, 0.6, 1));
        context.setLineWidth(2);
        context.strokePath();
    });
}

}

KitDemoTabBarCell::KitDemoTabBarCell()
{
    m_badge->setFont(UIFont::systemFont(11, UIFont::Weight::medium));
    m_badge->setTextColor(kitdemo::inkOnMint());
    m_badge->setTextAlignment(NSTextAlignment::center);
    m_badge->setBackgroundColor(kitdemo::mint());
    m_badge->layer()->setCornerRadius(8);
    m_badge->setClipsToBounds(true);
    m_badge->setHidden(true);
    contentView()->addSubview(m_badge);
}

void KitDemoTabBarCell::setBadgeText(const std::string& text)
{
    m_badge->setHidden(text.empty());
    m_badge->setText(text);
    setNeedsLayout();
}

void KitDemoTabBarCell::layoutSubviews()
{
    JXSegmentedTitleImageCell::layoutSubviews();
    CGRect icon = imageView()->frame();
    CGFloat width = std::max<CGFloat>(16, m_badge->intrinsicContentSize().width + 8);
    m_badge->setFrame({ icon.maxX() - 8, icon.minY() - 6, width, 16 });
    contentView()->bringSubviewToFront(m_badge.get());
}

KitDemoTabBarDataSource::KitDemoTabBarDataSource()
{
    titleImageType = JXSegmentedTitleImageType::topImage;
    imageSize = { 24, 24 };
    titleImageSpacing = 2;
    titleNormalFont = UIFont::systemFont(11);
    titleNormalColor = kitdemo::muted();
    titleSelectedColor = kitdemo::ink();
    itemSpacing = 0;
    loadImageClosure
        = [](UIImageView& view, const std::string& info) { view.setImage(tabIcon(info == "on")); };
}

void KitDemoTabBarDataSource::registerCellClass(JXSegmentedView& segmentedView)
{
    segmentedView.collectionView()->registerClass<KitDemoTabBarCell>(
        unqualifiedTypeName<KitDemoTabBarCell>());
}

std::shared_ptr<JXSegmentedBaseCell> KitDemoTabBarDataSource::cellForItemAt(
    JXSegmentedView& segmentedView, int index)
{
    auto cell = segmentedView.dequeueReusableCell<KitDemoTabBarCell>(
        unqualifiedTypeName<KitDemoTabBarCell>(), index);
    cell->setBadgeText(index < static_cast<int>(badges.size()) ? badges[index] : "");
    return cell;
}
