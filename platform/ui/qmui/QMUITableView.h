#pragma once

#include "platform/ui/lists/UITableView.h"

// The framework's table view: a table that takes from QMUIConfiguration (the grouped values for
// the grouped style, else the plain ones) its background and separator colours when set, its
// row height, whether rows are estimated, the padding above its section headers, the colours of
// its section index and the look of its section titles. Cells of classes that take the table's
// style (QMUITableViewCell) get that style's cell colours.
class QMUITableView : public UITableView {
public:
    explicit QMUITableView(const CGRect& frame = {}, UITableViewStyle style = UITableViewStyle::plain);

    std::string className() const override { return "QMUITableView"; }

protected:
    std::shared_ptr<UIView> makeSectionTitleView(const std::string& title, bool header) override;
};
