#include "app/MainController/Detail/View/ZV_SourceContentFullView.h"

#include "app/Core/Models/ZV_DetailDataListPlayFromModel.h"
#include "app/MainController/Other/View/PanelParts.h"

ZV_SourceContentFullView::ZV_SourceContentFullView(const CGRect& frame)
    : UIView(frame)
{
    setBackgroundColor(UIColor(0, 0, 0, 0.85));
    setClipsToBounds(true);
}

void ZV_SourceContentFullView::reloadRows()
{
    std::vector<std::shared_ptr<QMUIButton>> rows;
    for (const auto& source : list) {
        if (!source)
            continue;
        std::string code = source->code.value_or(std::string());
        auto row = panelparts::makeRow(source->name.value_or(code), false, true);
        panelparts::onTap(*row, *this, [code](ZV_SourceContentFullView& self) {
            if (self.clickSource)
                self.clickSource(code);
        });
        rows.push_back(std::move(row));
    }
    panelparts::replaceRows(*this, m_rows, std::move(rows));
}

void ZV_SourceContentFullView::layoutSubviews()
{
    UIView::layoutSubviews();
    panelparts::layoutRows(bounds(), panelparts::rowSpacing * 2, m_rows);
}
