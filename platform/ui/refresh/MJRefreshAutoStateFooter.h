#pragma once

#include "platform/ui/UILabel.h"
#include "platform/ui/refresh/MJRefreshAutoFooter.h"

#include <map>
#include <string>

// An automatic footer that says what it is doing ("点击或上拉加载更多", "正在加载更多的数据...",
// "已经全部加载完毕"); a tap on the text loads more while idle.
class MJRefreshAutoStateFooter : public MJRefreshAutoFooter {
public:
    explicit MJRefreshAutoStateFooter(RefreshingBlock refreshingBlock = {});

    std::string className() const override { return "MJRefreshAutoStateFooter"; }

    const std::shared_ptr<UILabel>& stateLabel() const { return m_stateLabel; }
    // Space between the text and a spinner on its left.
    CGFloat labelLeftInset = 25;
    // No text while refreshing.
    bool isRefreshingTitleHidden = false;

    void setTitle(std::string title, MJRefreshState state);
    std::string title(MJRefreshState state) const;

    void setState(MJRefreshState state) override;

protected:
    void placeSubviews() override;

private:
    void updateText();

    std::shared_ptr<UILabel> m_stateLabel;
    std::map<MJRefreshState, std::string> m_titles;
};
