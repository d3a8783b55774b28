#pragma once

#include "platform/ui/UILabel.h"
#include "platform/ui/refresh/MJRefreshHeader.h"

#include <map>
#include <string>

// A header that says what it is doing ("下拉可以刷新", "松开立即刷新", "正在刷新数据中...") and,
// below that, when it last refreshed.
class MJRefreshStateHeader : public MJRefreshHeader {
public:
    explicit MJRefreshStateHeader(RefreshingBlock refreshingBlock = {});

    std::string className() const override { return "MJRefreshStateHeader"; }

    const std::shared_ptr<UILabel>& stateLabel() const { return m_stateLabel; }
    const std::shared_ptr<UILabel>& lastUpdatedTimeLabel() const { return m_lastUpdatedTimeLabel; }
    // Space between the texts and an image on their left.
    CGFloat labelLeftInset = 25;

    void setTitle(std::string title, MJRefreshState state);
    std::string title(MJRefreshState state) const;

    void setState(MJRefreshState state) override;

    // "最后更新：" and the time: "今天 HH:mm" today, "MM-dd HH:mm" this year, else the full date;
    // "无记录" when there is none.
    static std::string lastUpdatedText(std::optional<Date> time, Date now);

protected:
    void placeSubviews() override;
    // Width of the wider of the two texts as shown.
    CGFloat textWidth() const;

private:
    void updateTexts();

    std::shared_ptr<UILabel> m_stateLabel;
    std::shared_ptr<UILabel> m_lastUpdatedTimeLabel;
    std::map<MJRefreshState, std::string> m_titles;
};
