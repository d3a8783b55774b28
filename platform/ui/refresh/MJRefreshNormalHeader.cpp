#include "platform/ui/refresh/MJRefreshNormalHeader.h"

#include "platform/ui/UIBezierPath.h"
#include "platform/ui/UIGraphics.h"

#include <cmath>

namespace {

// A thin grey arrow pointing down.
UIImage arrowImage()
{
    CGSize size { 15, 40 };
    return UIGraphicsImageRenderer(size).image([&](CGContext& context) {
        UIColor grey(90.0 / 255, 90.0 / 255, 90.0 / 255, 1);
        context.setStrokeColor(grey);
        context.setLineWidth(2);
        context.setLineCap(CGLineCap::round);
        context.setLineJoin(CGLineJoin::round);
        CGPath path;
        path.moveTo({ size.width / 2, 2 });
        path.lineTo({ size.width / 2, size.height - 2 });
        path.moveTo({ 2, size.height - size.width / 2 - 2 });
        path.lineTo({ size.width / 2, size.height - 2 });
        path.lineTo({ size.width - 2, size.height - size.width / 2 - 2 });
        context.addPath(path);
        context.strokePath();
    });
}

}

MJRefreshNormalHeader::MJRefreshNormalHeader(RefreshingBlock refreshingBlock)
    : MJRefreshStateHeader(std::move(refreshingBlock))
    , m_arrowView(std::make_shared<UIImageView>(arrowImage()))
    , m_loadingView(std::make_shared<UIActivityIndicatorView>(UIActivityIndicatorViewStyle::medium))
{
    m_loadingView->setHidesWhenStopped(true);
    addPart(m_arrowView);
    addPart(m_loadingView);
}

void MJRefreshNormalHeader::setState(MJRefreshState newState)
{
    MJRefreshStateHeader::setState(newState);
    switch (newState) {
    case MJRefreshState::idle:
    case MJRefreshState::willRefresh:
    case MJRefreshState::noMoreData:
        m_loadingView->stopAnimating();
        m_arrowView->setHidden(false);
        m_arrowView->setTransform(CGAffineTransform::identity());
        break;
    case MJRefreshState::pulling:
        m_loadingView->stopAnimating();
        m_arrowView->setHidden(false);
        m_arrowView->setTransform(CGAffineTransform::rotation(M_PI));
        break;
    case MJRefreshState::refreshing:
        m_arrowView->setHidden(true);
        m_loadingView->startAnimating();
        break;
    }
}

void MJRefreshNormalHeader::placeSubviews()
{
    MJRefreshStateHeader::placeSubviews();
    CGSize size = bounds().size;
    CGFloat centerX = size.width / 2;
    if (!stateLabel()->isHidden())
        centerX -= textWidth() / 2 + labelLeftInset;
    CGPoint center { centerX, size.height / 2 };
    m_arrowView->setCenter(center);
    CGSize spinner = m_loadingView->sizeThatFits({});
    m_loadingView->setFrame({ { center.x - spinner.width / 2, center.y - spinner.height / 2 }, spinner });
}
