#pragma once

#include "platform/ui/qmui/QMUITableViewCell.h"

#include <string>

// Base of the app's table cells: clear background, no selection highlight.
class BaseTableViewCell : public QMUITableViewCell {
public:
    explicit BaseTableViewCell(
        UITableViewCellStyle style = UITableViewCellStyle::defaultStyle, std::string reuseIdentifier = {});

    std::string className() const override { return "BaseTableViewCell"; }
};
