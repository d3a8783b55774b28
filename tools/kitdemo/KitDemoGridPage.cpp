#include "tools/kitdemo/KitDemoGridPage.h"

#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/imageloading/ImageLoader.h"
#include "platform/ui/lists/TypeName.h"

namespace {

constexpr int columns = 3;
constexpr CGFloat spacing = 8;
constexpr CGFloat captionHeight = 20;

class PictureCell : public UICollectionViewCell {
public:
    PictureCell()
    {
        picture->setContentMode(UIViewContentMode::scaleAspectFill);
        picture->setClipsToBounds(true);
        picture->layer()->setCornerRadius(6);
        caption->setFont(UIFont::systemFont(12));
        caption->setTextColor(UIColor(0.11, 0.10, 0.26, 1));
        contentView()->addSubview(picture);
        contentView()->addSubview(caption);
    }

    std::string className() const override { return "PictureCell"; }

    void layoutSubviews() override
    {
        UICollectionViewCell::layoutSubviews();
        CGRect bounds = contentView()->bounds();
        picture->setFrame({ 0, 0, bounds.width(), bounds.height() - captionHeight });
        caption->setFrame({ 2, bounds.height() - captionHeight, bounds.width() - 4, captionHeight });
    }

    std::shared_ptr<UIImageView> picture = std::make_shared<UIImageView>();
    std::shared_ptr<UILabel> caption = std::make_shared<UILabel>();
};

UIImage placeholder()
{
    return UIImage::filled(UIColor(0.86, 0.86, 0.9, 1), { 2, 3 });
}

}

KitDemoGridPage::KitDemoGridPage(std::shared_ptr<ImageLoader> loader, std::vector<std::string> urls)
    : m_loader(std::move(loader))
    , m_urls(std::move(urls))
{ }

void KitDemoGridPage::viewDidLoad()
{
    UIViewController::viewDidLoad();
    view()->setBackgroundColor(UIColor::white());
    auto layout = std::make_shared<UICollectionViewFlowLayout>();
    layout->setMinimumInteritemSpacing(spacing);
    layout->setMinimumLineSpacing(spacing);
    layout->setSectionInset({ spacing, spacing, spacing, spacing });
    m_grid = std::make_shared<UICollectionView>(view()->bounds(), layout);
    m_grid->setBackgroundColor(UIColor::white());
    m_grid->setAccessibilityIdentifier("kitdemo.grid");
    m_grid->registerClass<PictureCell>(unqualifiedTypeName<PictureCell>());
    auto self = std::static_pointer_cast<KitDemoGridPage>(sharedFromThis());
    m_grid->setDataSource(self);
    m_grid->setDelegate(self);
    view()->addSubview(m_grid);
}

void KitDemoGridPage::viewDidLayoutSubviews()
{
    UIViewController::viewDidLayoutSubviews();
    m_grid->setFrame(view()->bounds());
}

int KitDemoGridPage::numberOfItems(UICollectionView&, int)
{
    return static_cast<int>(m_urls.size());
}

std::shared_ptr<UICollectionViewCell> KitDemoGridPage::cellForItem(
    UICollectionView& view, const IndexPath& indexPath)
{
    auto cell = view.dequeueReusableCell<PictureCell>(unqualifiedTypeName<PictureCell>(), indexPath);
    cell->caption->setText("第 " + std::to_string(indexPath.item + 1) + " 张");
    m_loader->setImage(*cell->picture, m_urls[indexPath.item], placeholder());
    return cell;
}

std::optional<CGSize> KitDemoGridPage::sizeForItem(
    UICollectionView& view, UICollectionViewLayout&, const IndexPath&)
{
    CGFloat width = std::floor((view.bounds().width() - spacing * (columns + 1)) / columns);
    return CGSize { width, std::floor(width * 1.4) + captionHeight };
}
