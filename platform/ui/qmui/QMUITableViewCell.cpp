#include "platform/ui/qmui/QMUITableViewCell.h"

#include "platform/ui/qmui/QMUIConfiguration.h"

QMUITableViewCell::QMUITableViewCell(UITableViewCellStyle style, std::string reuseIdentifier)
    : UITableViewCell(style, std::move(reuseIdentifier))
{
    const auto& config = QMUIConfiguration::sharedInstance();
    if (config.tableViewCellBackgroundColor)
        setBackgroundColor(config.tableViewCellBackgroundColor);
}
