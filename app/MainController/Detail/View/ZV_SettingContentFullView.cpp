#include "app/MainController/Detail/View/ZV_SettingContentFullView.h"

#include "app/MainController/Other/View/PanelParts.h"
#include "platform/media/SJVideoPlayer.h"

namespace {

std::string skipText(const char* caption, int seconds)
{
    return std::string(caption) + (seconds > 0 ? " " + std::to_string(seconds) + "秒" : " 未设置");
}

}

ZV_SettingContentFullView::ZV_SettingContentFullView(const CGRect& frame)
    : UIView(frame)
    , m_title(panelparts::makeTitle("设置", true))
    , m_rateText(panelparts::rateText(1.0))
{
    setBackgroundColor(UIColor(0, 0, 0, 0.85));
    setClipsToBounds(true);
    addSubview(m_title);
    rebuildRows();
}

void ZV_SettingContentFullView::loadPlayerValues()
{
    m_rateText = panelparts::rateText(player ? player->rate() : 1.0);
    rebuildRows();
}

void ZV_SettingContentFullView::reloadSkipTimes()
{
    headerTime = 0;
    tailTime = 0;
    rebuildRows();
}

void ZV_SettingContentFullView::rebuildRows()
{
    std::vector<std::shared_ptr<QMUIButton>> rows;
    rows.push_back(panelparts::makeRow("倍速 " + m_rateText, false, true));
    rows.push_back(panelparts::makeRow(skipText("跳过片头", headerTime), false, true));
    rows.push_back(panelparts::makeRow(skipText("跳过片尾", tailTime), false, true));
    panelparts::replaceRows(*this, m_rows, std::move(rows));
}

void ZV_SettingContentFullView::layoutSubviews()
{
    UIView::layoutSubviews();
    panelparts::layoutHeader(bounds(), m_title.get(), nullptr);
    panelparts::layoutRows(bounds(), panelparts::headerHeight, m_rows);
}
