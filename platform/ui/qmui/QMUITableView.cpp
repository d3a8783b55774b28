#include "platform/ui/qmui/QMUITableView.h"

#include "platform/ui/qmui/QMUIConfiguration.h"

QMUITableView::QMUITableView(const CGRect& frame, UITableViewStyle style)
    : UITableView(frame, style)
{
    const auto& table = QMUIConfiguration::sharedInstance().tableAppearance(style);
    if (table.backgroundColor)
        setBackgroundColor(table.backgroundColor);
    if (table.separatorColor)
        setSeparatorColor(*table.separatorColor);
}
