#pragma once

#include "platform/ui/lists/UITableView.h"

// The framework's table view: a table that takes its background and separator colours from
// QMUIConfiguration (the grouped table's values for the grouped style) when those are set.
class QMUITableView : public UITableView {
public:
    explicit QMUITableView(const CGRect& frame = {}, UITableViewStyle style = UITableViewStyle::plain);

    std::string className() const override { return "QMUITableView"; }
};
