#include "app/BaseController/BaseTableViewCell.h"

BaseTableViewCell::BaseTableViewCell(UITableViewCellStyle style, std::string reuseIdentifier)
    : QMUITableViewCell(style, std::move(reuseIdentifier))
{
    setBackgroundColor(UIColor::clear());
    setSelectionStyle(UITableViewCellSelectionStyle::none);
}
