#pragma once

#include "platform/ui/lists/UITableViewCell.h"

// The framework's table cell: a cell that takes from QMUIConfiguration's plain-table values, when
// they are set, its background, its selected background, its title and detail colours and the
// images of its disclosure indicator and check mark.
class QMUITableViewCell : public UITableViewCell {
public:
    explicit QMUITableViewCell(
        UITableViewCellStyle style = UITableViewCellStyle::defaultStyle, std::string reuseIdentifier = {});

    std::string className() const override { return "QMUITableViewCell"; }

    void setAccessoryType(UITableViewCellAccessoryType type) override;

private:
    // Whether the accessory view is the configured image of the accessory type.
    bool m_configuredAccessory = false;
};
