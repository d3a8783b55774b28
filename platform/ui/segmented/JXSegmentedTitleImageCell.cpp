#include "platform/ui/segmented/JXSegmentedTitleImageCell.h"

JXSegmentedTitleImageCell::JXSegmentedTitleImageCell()
    : m_imageView(std::make_shared<UIImageView>())
{
    m_imageView->setContentMode(UIViewContentMode::scaleAspectFit);
    m_imageView->setUserInteractionEnabled(false);
    contentView()->addSubview(m_imageView);
}

void JXSegmentedTitleImageCell::prepareForReuse()
{
    JXSegmentedTitleCell::prepareForReuse();
    m_shownImageInfo.reset();
    m_imageView->setImage(std::nullopt);
}

void JXSegmentedTitleImageCell::reloadData(
    std::shared_ptr<JXSegmentedBaseItemModel> itemModel, JXSegmentedViewItemSelectedType selectedType)
{
    JXSegmentedTitleCell::reloadData(itemModel, selectedType);
    auto model = std::dynamic_pointer_cast<JXSegmentedTitleImageItemModel>(itemModel);
    if (!model)
        return;
    titleLabel()->setHidden(model->titleImageType == JXSegmentedTitleImageType::onlyImage);
    m_imageView->setHidden(model->titleImageType == JXSegmentedTitleImageType::onlyTitle);

    auto info = model->currentImageInfo();
    if (info == m_shownImageInfo)
        return;
    m_shownImageInfo = info;
    if (!info) {
        m_imageView->setImage(std::nullopt);
        return;
    }
    if (model->loadImageClosure)
        model->loadImageClosure(*m_imageView, *info);
    else
        m_imageView->setImage(UIImage::named(*info));
}

void JXSegmentedTitleImageCell::layoutSubviews()
{
    JXSegmentedTitleCell::layoutSubviews();
    auto model = std::dynamic_pointer_cast<JXSegmentedTitleImageItemModel>(itemModel());
    if (!model)
        return;
    CGRect area = contentView()->bounds();
    CGSize image = model->imageSize;
    CGSize title = titleSize();
    CGFloat spacing = model->titleImageSpacing;
    CGRect imageFrame { { area.midX() - image.width / 2, area.midY() - image.height / 2 }, image };
    CGRect titleFrame = titleLabel()->frame();

    switch (model->titleImageType) {
    case JXSegmentedTitleImageType::onlyImage:
    case JXSegmentedTitleImageType::onlyTitle:
        break;
    case JXSegmentedTitleImageType::leftImage:
    case JXSegmentedTitleImageType::rightImage: {
        CGFloat total = image.width + spacing + title.width;
        CGFloat left = area.midX() - total / 2;
        bool imageFirst = model->titleImageType == JXSegmentedTitleImageType::leftImage;
        imageFrame.origin.x = imageFirst ? left : left + title.width + spacing;
        titleFrame.origin.x = imageFirst ? left + image.width + spacing : left;
        break;
    }
    case JXSegmentedTitleImageType::topImage:
    case JXSegmentedTitleImageType::bottomImage: {
        CGFloat total = image.height + spacing + title.height;
        CGFloat top = area.midY() - total / 2;
        bool imageFirst = model->titleImageType == JXSegmentedTitleImageType::topImage;
        imageFrame.origin.y = imageFirst ? top : top + title.height + spacing;
        titleFrame.origin.y = imageFirst ? top + image.height + spacing : top;
        break;
    }
    }
    m_imageView->setFrame(imageFrame);
    titleLabel()->setFrame(titleFrame);
    // Subclasses pin their own views (dots, badges) to the image with constraints: solve them
    // again now that the image has its place.
    contentView()->setNeedsLayout();
}
