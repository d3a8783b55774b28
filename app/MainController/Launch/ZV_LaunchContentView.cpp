#include "app/MainController/Launch/ZV_LaunchContentView.h"

#include "platform/ui/UIImage.h"
#include "platform/ui/UIImageView.h"

ZV_LaunchContentView::ZV_LaunchContentView()
{
    m_imageView = UIView::create<UIImageView>();
    m_imageView->setContentMode(UIViewContentMode::scaleAspectFill);
    m_imageView->setClipsToBounds(true);
    m_imageView->setImage(UIImage::named("launch"));
    m_imageView->setAccessibilityIdentifier("launch.image");
    addSubview(m_imageView);
}

void ZV_LaunchContentView::layoutSubviews()
{
    UIView::layoutSubviews();
    m_imageView->setFrame(bounds());
}
