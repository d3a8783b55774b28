#include "platform/ui/qmui/QMUITableView.h"

#include "platform/ui/qmui/QMUIConfiguration.h"
#include "platform/ui/qmui/QMUITableViewHeaderFooterView.h"

QMUITableView::QMUITableView(const CGRect& frame, UITableViewStyle style)
    : UITableView(frame, style)
{
    const auto& config = QMUIConfiguration::sharedInstance();
    auto values = config.tableStyleValues(style);
    if (values.backgroundColor)
        setBackgroundColor(values.backgroundColor);
    if (values.separatorColor)
        setSeparatorColor(*values.separatorColor);
    if (values.sectionHeaderTopPadding != QMUIConfiguration::automaticDimension)
        setSectionHeaderTopPadding(values.sectionHeaderTopPadding);
    setSectionIndexColor(values.sectionIndexColor);
    setSectionIndexBackgroundColor(values.sectionIndexBackgroundColor);
    setSectionIndexTrackingBackgroundColor(values.sectionIndexTrackingBackgroundColor);
    setRowHeight(config.tableViewCellNormalHeight);
    // Off: no estimates, so rows without a height of their own take the standard one.
    if (!config.tableViewEstimatedHeightEnabled)
        setEstimatedRowHeight(0);
}

std::shared_ptr<UIView> QMUITableView::makeSectionTitleView(const std::string& title, bool header)
{
    auto values = QMUIConfiguration::sharedInstance().tableStyleValues(style());
    return std::make_shared<QMUITableViewHeaderFooterView>(
        title, header ? values.sectionHeader : values.sectionFooter);
}
