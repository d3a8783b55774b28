#include "platform/ui/qmui/QMUITableView.h"

#include "platform/ui/qmui/QMUIConfiguration.h"

QMUITableView::QMUITableView(const CGRect& frame, UITableViewStyle style)
    : UITableView(frame, style)
{
    const auto& config = QMUIConfiguration::sharedInstance();
    bool grouped = style == UITableViewStyle::grouped;
    const auto& background
        = grouped ? config.tableViewGroupedBackgroundColor : config.tableViewBackgroundColor;
    const auto& separator = grouped ? config.tableViewGroupedSeparatorColor : config.tableViewSeparatorColor;
    if (background)
        setBackgroundColor(background);
    if (separator)
        setSeparatorColor(*separator);
}
