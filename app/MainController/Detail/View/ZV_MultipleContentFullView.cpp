#include "app/MainController/Detail/View/ZV_MultipleContentFullView.h"

#include "app/MainController/Other/View/PanelParts.h"
#include "platform/media/SJVideoPlayer.h"

double ZV_MultipleContentFullView::rateAt(int index)
{
    // The step is a quarter, but the last row jumps to double speed.
    return index == rateCount - 1 ? 2.0 : 0.5 + 0.25 * index;
}

ZV_MultipleContentFullView::ZV_MultipleContentFullView(const CGRect& frame)
    : UIView(frame)
{
    setBackgroundColor(UIColor(0, 0, 0, 0.85));
    setClipsToBounds(true);
}

void ZV_MultipleContentFullView::buildRows()
{
    double current = player ? player->rate() : 1.0;
    std::vector<std::shared_ptr<QMUIButton>> rows;
    for (int index = 0; index < rateCount; ++index) {
        auto row = panelparts::makeRow(panelparts::rateText(rateAt(index)), rateAt(index) == current, true);
        panelparts::onTap(*row, *this, [index](ZV_MultipleContentFullView& self) { self.selectRate(index); });
        rows.push_back(std::move(row));
    }
    panelparts::replaceRows(*this, m_rows, std::move(rows));
}

void ZV_MultipleContentFullView::selectRate(int index)
{
    if (index < 0 || index >= rateCount)
        return;
    if (player)
        player->setRate(rateAt(index));
    if (clickSelect)
        clickSelect(index);
}

void ZV_MultipleContentFullView::layoutSubviews()
{
    UIView::layoutSubviews();
    panelparts::layoutRows(bounds(), panelparts::rowSpacing * 2, m_rows);
}
