#include "platform/ui/qmui/QMUITableViewCell.h"

#include "platform/ui/UIImageView.h"
#include "platform/ui/qmui/QMUIConfiguration.h"

QMUITableViewCell::QMUITableViewCell(UITableViewCellStyle style, std::string reuseIdentifier)
    : UITableViewCell(style, std::move(reuseIdentifier))
{
    const auto& config = QMUIConfiguration::sharedInstance();
    if (config.tableViewCellBackgroundColor)
        setBackgroundColor(config.tableViewCellBackgroundColor);
    if (config.tableViewCellSelectedBackgroundColor) {
        auto selected = std::make_shared<UIView>();
        selected->setBackgroundColor(config.tableViewCellSelectedBackgroundColor);
        setSelectedBackgroundView(std::move(selected));
    }
    if (config.tableViewCellTitleLabelColor)
        textLabel()->setTextColor(*config.tableViewCellTitleLabelColor);
    if (auto detail = config.tableViewCellDetailLabelColor ? detailTextLabel() : nullptr)
        detail->setTextColor(*config.tableViewCellDetailLabelColor);
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
