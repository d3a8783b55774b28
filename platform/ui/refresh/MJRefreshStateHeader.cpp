#include "platform/ui/refresh/MJRefreshStateHeader.h"

#include "platform/foundation/DateFormatter.h"
#include "platform/ui/TextLayout.h"
#include "platform/ui/refresh/MJRefreshLabels.h"

#include <algorithm>

MJRefreshStateHeader::MJRefreshStateHeader(RefreshingBlock refreshingBlock)
    : MJRefreshHeader(std::move(refreshingBlock))
    , m_stateLabel(detail::makeRefreshLabel())
    , m_lastUpdatedTimeLabel(detail::makeRefreshLabel())
    , m_titles {
        { MJRefreshState::idle, "下拉可以刷新" },
        { MJRefreshState::pulling, "松开立即刷新" },
        { MJRefreshState::refreshing, "正在刷新数据中..." },
    }
{
    addPart(m_stateLabel);
    addPart(m_lastUpdatedTimeLabel);
    updateTexts();
}

void MJRefreshStateHeader::setTitle(std::string title, MJRefreshState state)
{
    m_titles[state] = std::move(title);
    updateTexts();
}

std::string MJRefreshStateHeader::title(MJRefreshState state) const
{
    auto it = m_titles.find(state);
    return it == m_titles.end() ? std::string() : it->second;
}

void MJRefreshStateHeader::setState(MJRefreshState state)
{
    MJRefreshHeader::setState(state);
    updateTexts();
}

void MJRefreshStateHeader::updateTexts()
{
    // Before it is on screen a header about to refresh reads as idle.
    MJRefreshState shown = state() == MJRefreshState::willRefresh ? MJRefreshState::idle : state();
    m_stateLabel->setText(title(shown));
    m_lastUpdatedTimeLabel->setText(lastUpdatedText(lastUpdatedTime(), Date::now()));
    setNeedsLayout();
}

std::string MJRefreshStateHeader::lastUpdatedText(std::optional<Date> time, Date now)
{
    if (!time)
        return "最后更新：无记录";
    DateFormatter day("yyyy-MM-dd");
    DateFormatter year("yyyy");
    std::string pattern;
    if (day.stringFromDate(*time) == day.stringFromDate(now))
        pattern = "'今天' HH:mm";
    else if (year.stringFromDate(*time) == year.stringFromDate(now))
        pattern = "MM-dd HH:mm";
    else
        pattern = "yyyy-MM-dd HH:mm";
    return "最后更新：" + DateFormatter(pattern).stringFromDate(*time);
}

CGFloat MJRefreshStateHeader::textWidth() const
{
    CGFloat width = 0;
    for (const auto& label : { m_stateLabel, m_lastUpdatedTimeLabel }) {
        if (!label->isHidden() && !label->text().empty())
            width = std::max(width, TextLayout::measure(label->text(), label->font()).width);
    }
    return width;
}

void MJRefreshStateHeader::placeSubviews()
{
    MJRefreshHeader::placeSubviews();
    CGSize size = bounds().size;
    if (m_stateLabel->isHidden())
        return;
    if (m_lastUpdatedTimeLabel->isHidden()) {
        m_stateLabel->setFrame({ {}, size });
        return;
    }
    CGFloat half = size.height / 2;
    m_stateLabel->setFrame({ {}, { size.width, half } });
    m_lastUpdatedTimeLabel->setFrame({ { 0, half }, { size.width, size.height - half } });
}
