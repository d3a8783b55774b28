#include "tools/kitdemo/KitDemoGridPage.h"

#include "app/MainController/Other/View/PhotoBrowser.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/imageloading/ImageLoader.h"
#include "platform/ui/lists/TypeName.h"
#include "tools/kitdemo/KitDemoColors.h"

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
        caption->setTextColor(kitdemo::ink());
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
    // Half-clear grey: a bitmap has one style, and this one shows on both backgrounds.
    return UIImage::filled(UIColor(0.5, 0.5, 0.56, 0.3), { 2, 3 });
}

}

KitDemoGridPage::KitDemoGridPage(
    std::shared_ptr<ImageLoader> loader, std::vector<std::string> urls, std::vector<std::string> browserURLs)
    : m_loader(std::move(loader))
    , m_urls(std::move(urls))
    , m_browserURLs(std::move(browserURLs))
{ }

void KitDemoGridPage::viewDidLoad()
{
    UIViewController::viewDidLoad();
    view()->setBackgroundColor(kitdemo::paper());
    auto layout = std::make_shared<UICollectionViewFlowLayout>();
    layout->setMinimumInteritemSpacing(spacing);
    layout->setMinimumLineSpacing(spacing);
    layout->setSectionInset({ spacing, spacing, spacing, spacing });
    m_grid = std::make_shared<UICollectionView>(view()->bounds(), layout);
    m_grid->setBackgroundColor(kitdemo::paper());
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

void KitDemoGridPage::didSelectItem(UICollectionView&, const IndexPath& indexPath)
{
    if (m_browserURLs.empty() || (m_browser && m_browser->superview()))
        return;
    std::vector<PhotoBrowserEntry> entries(m_browserURLs.begin(), m_browserURLs.end());
    m_browser = PhotoBrowser::create();
    m_browser->setAccessibilityIdentifier("kitdemo.photos");
    m_browser->setImages(std::move(entries));
    // The grid repeats the browser's pictures in the same order.
    m_browser->setSelectedIndex(indexPath.item % static_cast<int>(m_browserURLs.size()));
    m_browser->show();
}
