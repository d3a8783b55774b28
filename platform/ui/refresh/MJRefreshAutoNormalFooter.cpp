#include "platform/ui/refresh/MJRefreshAutoNormalFooter.h"

#include "platform/ui/TextLayout.h"

MJRefreshAutoNormalFooter::MJRefreshAutoNormalFooter(RefreshingBlock refreshingBlock)
    : MJRefreshAutoStateFooter(std::move(refreshingBlock))
    , m_loadingView(std::make_shared<UIActivityIndicatorView>(UIActivityIndicatorViewStyle::medium))
{
    m_loadingView->setHidesWhenStopped(true);
    addPart(m_loadingView);
}

void MJRefreshAutoNormalFooter::setState(MJRefreshState state)
{
    MJRefreshAutoStateFooter::setState(state);
    if (state == MJRefreshState::refreshing)
        m_loadingView->startAnimating();
    else
        m_loadingView->stopAnimating();
}

void MJRefreshAutoNormalFooter::placeSubviews()
{
    MJRefreshAutoStateFooter::placeSubviews();
    CGSize size = bounds().size;
    CGFloat centerX = size.width / 2;
    const auto& label = stateLabel();
    if (!isRefreshingTitleHidden && !label->text().empty())
        centerX -= TextLayout::measure(label->text(), label->font()).width / 2 + labelLeftInset;
    CGSize spinner = m_loadingView->sizeThatFits({});
    m_loadingView->setFrame(
        { { centerX - spinner.width / 2, size.height / 2 - spinner.height / 2 }, spinner });
}
