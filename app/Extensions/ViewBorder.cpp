#include "app/Extensions/ViewBorder.h"

#include "platform/ui/UIView.h"
#include "platform/ui/layout/ConstraintMaker.h"

namespace {

constexpr const char* borderKey = "zv.bottomBorder";

}

void addBottomBorder(UIView& view, const UIColor& color, CGFloat width)
{
    if (const auto* old = view.associatedValueAs<std::weak_ptr<UIView>>(borderKey)) {
        if (auto line = old->lock())
            line->removeFromSuperview();
    }
    auto line = std::make_shared<UIView>();
    line->setBackgroundColor(color);
    line->setUserInteractionEnabled(false);
    view.addSubview(line);
    snp(line).makeConstraints([width](ConstraintMaker& make) {
        make.left().right().bottom().equalToSuperview();
        make.height().equalTo(width);
    });
    view.setAssociatedValue(borderKey, std::weak_ptr<UIView>(line));
}
