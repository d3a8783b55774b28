#include "platform/ui/qmui/QMUITableViewCell.h"

#include "platform/ui/UIImageView.h"
#include "platform/ui/qmui/QMUIConfiguration.h"

QMUITableViewCell::QMUITableViewCell(UITableViewCellStyle style, std::string reuseIdentifier)
    : QMUITableViewCell(UITableViewStyle::plain, style, std::move(reuseIdentifier))
{ }

QMUITableViewCell::QMUITableViewCell(
    UITableViewStyle tableStyle, UITableViewCellStyle style, std::string reuseIdentifier)
    : UITableViewCell(style, std::move(reuseIdentifier))
{
    const auto values = QMUIConfiguration::sharedInstance().tableStyleValues(tableStyle).cell;
    if (values.backgroundColor)
        setBackgroundColor(values.backgroundColor);
    if (values.selectedBackgroundColor) {
        auto selected = std::make_shared<UIView>();
        selected->setBackgroundColor(values.selectedBackgroundColor);
        setSelectedBackgroundView(std::move(selected));
    }
    if (values.titleLabelColor)
        textLabel()->setTextColor(*values.titleLabelColor);
    if (auto detail = values.detailLabelColor ? detailTextLabel() : nullptr)
        detail->setTextColor(*values.detailLabelColor);
}

void QMUITableViewCell::setAccessoryType(UITableViewCellAccessoryType type)
{
    if (m_configuredAccessory) {
        m_configuredAccessory = false;
        setAccessoryView(nullptr);
    }
    UITableViewCell::setAccessoryType(type);
    const auto& config = QMUIConfiguration::sharedInstance();
    const auto& image = type == UITableViewCellAccessoryType::disclosureIndicator
        ? config.tableViewCellDisclosureIndicatorImage
        : type == UITableViewCellAccessoryType::checkmark ? config.tableViewCellCheckmarkImage
                                                          : std::optional<UIImage> {};
    if (!image || accessoryView())
        return;
    setAccessoryView(UIView::create<UIImageView>(*image));
    m_configuredAccessory = true;
}
