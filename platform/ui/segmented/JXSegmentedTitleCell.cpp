#include "platform/ui/segmented/JXSegmentedTitleCell.h"

JXSegmentedTitleCell::JXSegmentedTitleCell()
    : m_titleLabel(std::make_shared<UILabel>())
{
    m_titleLabel->setTextAlignment(NSTextAlignment::center);
    m_titleLabel->setUserInteractionEnabled(false);
    contentView()->addSubview(m_titleLabel);
}

void JXSegmentedTitleCell::reloadData(
    std::shared_ptr<JXSegmentedBaseItemModel> itemModel, JXSegmentedViewItemSelectedType selectedType)
{
    JXSegmentedBaseCell::reloadData(itemModel, selectedType);
    auto model = std::dynamic_pointer_cast<JXSegmentedTitleItemModel>(itemModel);
    if (!model)
        return;
    m_titleLabel->setNumberOfLines(model->titleNumberOfLines);
    m_titleLabel->setFont(model->currentFont());
    m_titleLabel->setTextColor(model->currentColor());
    m_titleLabel->setText(model->title);
}

CGSize JXSegmentedTitleCell::titleSize() const
{
    if (m_titleLabel->text().empty())
        return {};
    CGSize fits = m_titleLabel->sizeThatFits({ bounds().size.width, bounds().size.height });
    return { std::min(fits.width, bounds().size.width), std::min(fits.height, bounds().size.height) };
}

void JXSegmentedTitleCell::layoutSubviews()
{
    JXSegmentedBaseCell::layoutSubviews();
    CGSize size = titleSize();
    CGRect area = contentView()->bounds();
    m_titleLabel->setFrame({ { area.midX() - size.width / 2, area.midY() - size.height / 2 }, size });
}
