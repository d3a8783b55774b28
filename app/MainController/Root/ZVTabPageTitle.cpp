#include "app/MainController/Root/ZVTabPageTitle.h"

#include "platform/ui/UIFont.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/layout/ConstraintMaker.h"

void addTabPageTitle(UIView& view, const std::string& title)
{
    auto label = UIView::create<UILabel>();
    label->setText(title);
    label->setFont(UIFont::systemFont(17));
    label->setTextColor(UIColor::label());
    label->setTextAlignment(NSTextAlignment::center);
    view.addSubview(label);
    snp(label).makeConstraints([&](ConstraintMaker& make) { make.center().equalToSuperview(); });
}
