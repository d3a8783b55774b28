#pragma once

#include "platform/ui/lists/UITableViewCell.h"

// The framework's table cell: a cell that takes its background colour from QMUIConfiguration
// (tableViewPlain.cell.backgroundColor) when that is set.
class QMUITableViewCell : public UITableViewCell {
public:
    explicit QMUITableViewCell(
        UITableViewCellStyle style = UITableViewCellStyle::defaultStyle, std::string reuseIdentifier = {});

    std::string className() const override { return "QMUITableViewCell"; }
};
