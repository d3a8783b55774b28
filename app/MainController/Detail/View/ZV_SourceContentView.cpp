#include "app/MainController/Detail/View/ZV_SourceContentView.h"

#include "app/Core/Models/ZV_DetailDataListPlayFromModel.h"
#include "app/MainController/Other/View/PanelParts.h"

ZV_SourceContentView::ZV_SourceContentView(const CGRect& frame)
    : UIView(frame)
    , m_title(panelparts::makeTitle("切换资源"))
{
    setBackgroundColor(UIColor::white());
    setClipsToBounds(true);
    addSubview(m_title);
}

const std::shared_ptr<QMUIButton>& ZV_SourceContentView::closeBtn()
{
    if (!m_closeBtn) {
        m_closeBtn = panelparts::makeCloseButton();
        addSubview(m_closeBtn);
    }
    return m_closeBtn;
}

void ZV_SourceContentView::reloadRows()
{
    std::vector<std::shared_ptr<QMUIButton>> rows;
    for (const auto& source : list) {
        if (!source)
            continue;
        std::string code = source->code.value_or(std::string());
        auto row = panelparts::makeRow(source->name.value_or(code), false);
        panelparts::onTap(*row, *this, [code](ZV_SourceContentView& self) {
            if (self.clickSource)
                self.clickSource(code);
        });
        rows.push_back(std::move(row));
    }
    panelparts::replaceRows(*this, m_rows, std::move(rows));
}

void ZV_SourceContentView::layoutSubviews()
{
    UIView::layoutSubviews();
    panelparts::layoutHeader(bounds(), m_title.get(), m_closeBtn.get());
    panelparts::layoutRows(bounds(), panelparts::headerHeight, m_rows);
}
