#include "app/MainController/Detail/View/ZV_SettingContentView.h"

#include "app/MainController/Other/View/PanelParts.h"
#include "platform/media/SJVideoPlayer.h"

namespace {

std::string skipText(const char* caption, int seconds)
{
    return std::string(caption) + (seconds > 0 ? " " + std::to_string(seconds) + "秒" : " 未设置");
}

}

ZV_SettingContentView::ZV_SettingContentView(const CGRect& frame)
    : UIView(frame)
    , m_title(panelparts::makeTitle("设置"))
    , m_rateText(panelparts::rateText(1.0))
{
    setBackgroundColor(UIColor::white());
    setClipsToBounds(true);
    addSubview(m_title);
    rebuildRows();
}

const std::shared_ptr<QMUIButton>& ZV_SettingContentView::closeBtn()
{
    if (!m_closeBtn) {
        m_closeBtn = panelparts::makeCloseButton();
        addSubview(m_closeBtn);
    }
    return m_closeBtn;
}

void ZV_SettingContentView::loadPlayerValues()
{
    m_rateText = panelparts::rateText(player ? player->rate() : 1.0);
    rebuildRows();
}

void ZV_SettingContentView::reloadSkipTimes()
{
    headerTime = 0;
    tailTime = 0;
    rebuildRows();
}

void ZV_SettingContentView::rebuildRows()
{
    std::vector<std::shared_ptr<QMUIButton>> rows;
    rows.push_back(panelparts::makeRow("倍速 " + m_rateText, false));
    rows.push_back(panelparts::makeRow(skipText("跳过片头", headerTime), false));
    rows.push_back(panelparts::makeRow(skipText("跳过片尾", tailTime), false));
    panelparts::replaceRows(*this, m_rows, std::move(rows));
}

void ZV_SettingContentView::layoutSubviews()
{
    UIView::layoutSubviews();
    panelparts::layoutHeader(bounds(), m_title.get(), m_closeBtn.get());
    panelparts::layoutRows(bounds(), panelparts::headerHeight, m_rows);
}
