#include "platform/ui/qmui/QMUITableViewCell.h"

#include "platform/ui/qmui/QMUIConfiguration.h"

QMUITableViewCell::QMUITableViewCell(UITableViewCellStyle style, std::string reuseIdentifier)
    : UITableViewCell(style, std::move(reuseIdentifier))
{
    const auto& background = QMUIConfiguration::sharedInstance().tableViewPlain.cell.backgroundColor;
    if (background)
        setBackgroundColor(background);
}
