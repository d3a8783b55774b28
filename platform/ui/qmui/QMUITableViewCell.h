#pragma once

#include "platform/ui/lists/UITableView.h"
#include "platform/ui/lists/UITableViewCell.h"

// The framework's table cell: a cell that takes from QMUIConfiguration, when they are set, its
// background, its selected background, its title and detail colours (the values of its table's
// style when it is made for a table, else the plain table's) and the images of its disclosure
// indicator and check mark.
class QMUITableViewCell : public UITableViewCell {
public:
    explicit QMUITableViewCell(
        UITableViewCellStyle style = UITableViewCellStyle::defaultStyle, std::string reuseIdentifier = {});
    // A cell for a table of that style (UITableView::registerClass makes cells this way when the
    // class takes it).
    QMUITableViewCell(UITableViewStyle tableStyle, UITableViewCellStyle style, std::string reuseIdentifier);

    std::string className() const override { return "QMUITableViewCell"; }

    void setAccessoryType(UITableViewCellAccessoryType type) override;

private:
    // Whether the accessory view is the configured image of the accessory type.
    bool m_configuredAccessory = false;
};
