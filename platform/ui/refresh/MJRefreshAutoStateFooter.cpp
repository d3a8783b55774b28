#include "platform/ui/refresh/MJRefreshAutoStateFooter.h"

#include "platform/ui/gestures/UITapGestureRecognizer.h"
#include "platform/ui/refresh/MJRefreshLabels.h"

MJRefreshAutoStateFooter::MJRefreshAutoStateFooter(RefreshingBlock refreshingBlock)
    : MJRefreshAutoFooter(std::move(refreshingBlock))
    , m_stateLabel(detail::makeRefreshLabel())
    , m_titles {
        { MJRefreshState::idle, "点击或上拉加载更多" },
        { MJRefreshState::refreshing, "正在加载更多的数据..." },
        { MJRefreshState::noMoreData, "已经全部加载完毕" },
    }
{
    m_stateLabel->setUserInteractionEnabled(true);
    // The label belongs to the footer, so the tap may hold the footer only weakly; it is wired
    // once the footer is owned (the first time the label is laid out).
    addPart(m_stateLabel);
    updateText();
}

void MJRefreshAutoStateFooter::setTitle(std::string title, MJRefreshState state)
{
    m_titles[state] = std::move(title);
    updateText();
}

std::string MJRefreshAutoStateFooter::title(MJRefreshState state) const
{
    auto it = m_titles.find(state);
    return it == m_titles.end() ? std::string() : it->second;
}

void MJRefreshAutoStateFooter::setState(MJRefreshState state)
{
    MJRefreshAutoFooter::setState(state);
    updateText();
}

void MJRefreshAutoStateFooter::updateText()
{
    MJRefreshState shown = state() == MJRefreshState::willRefresh ? MJRefreshState::refreshing : state();
    if (shown == MJRefreshState::refreshing && isRefreshingTitleHidden)
        m_stateLabel->setText({});
    else
        m_stateLabel->setText(title(shown));
}

void MJRefreshAutoStateFooter::placeSubviews()
{
    MJRefreshAutoFooter::placeSubviews();
    if (m_stateLabel->gestureRecognizers().empty() && !weak_from_this().expired()) {
        std::weak_ptr<UIView> weak = weakFromThis();
        m_stateLabel->addGestureRecognizer(
            std::make_shared<UITapGestureRecognizer>([weak](UIGestureRecognizer&) {
                auto self = std::static_pointer_cast<MJRefreshAutoStateFooter>(weak.lock());
                if (self && self->state() == MJRefreshState::idle)
                    self->beginRefreshing();
            }));
    }
    m_stateLabel->setFrame(bounds());
}
