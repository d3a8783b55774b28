#include "platform/ui/refresh/MJRefreshGifHeader.h"

#include <algorithm>
#include <cmath>

MJRefreshGifHeader::MJRefreshGifHeader(RefreshingBlock refreshingBlock)
    : MJRefreshStateHeader(std::move(refreshingBlock))
    , m_gifView(std::make_shared<UIImageView>())
{
    m_gifView->setContentMode(UIViewContentMode::right);
    addPart(m_gifView);
}

void MJRefreshGifHeader::setImages(std::vector<UIImage> images, double duration, MJRefreshState state)
{
    if (images.empty()) {
        m_frames.erase(state);
    } else {
        // The header is at least as tall as its pictures.
        CGFloat tallest = 0;
        for (const auto& image : images)
            tallest = std::max(tallest, image.size().height);
        if (tallest > frame().size.height) {
            CGRect f = frame();
            f.size.height = tallest;
            setFrame(f);
        }
        m_frames[state] = { std::move(images), duration };
    }
    showImages();
}

void MJRefreshGifHeader::setImages(std::vector<UIImage> images, MJRefreshState state)
{
    double duration = static_cast<double>(images.size()) * 0.1;
    setImages(std::move(images), duration, state);
}

void MJRefreshGifHeader::setState(MJRefreshState state)
{
    MJRefreshStateHeader::setState(state);
    showImages();
}

void MJRefreshGifHeader::setPullingPercent(CGFloat percent)
{
    MJRefreshStateHeader::setPullingPercent(percent);
    if (state() == MJRefreshState::idle)
        showImages();
}

void MJRefreshGifHeader::showImages()
{
    MJRefreshState shown = state() == MJRefreshState::willRefresh ? MJRefreshState::idle : state();
    auto it = m_frames.find(shown);
    if (it == m_frames.end()) {
        m_gifView->setImage(std::nullopt);
        setNeedsLayout();
        return;
    }
    const auto& frames = it->second.images;
    if (frames.size() == 1) {
        m_gifView->setImage(frames.front());
    } else if (shown == MJRefreshState::idle) {
        // Pulled part of the way: the picture of that part.
        auto last = static_cast<CGFloat>(frames.size() - 1);
        auto index
            = static_cast<std::size_t>(std::clamp<CGFloat>(std::floor(pullingPercent() * last), 0, last));
        m_gifView->setImage(frames[index]);
    } else {
        m_gifView->setImage(UIImage::animated(frames, it->second.duration));
    }
    setNeedsLayout();
}

void MJRefreshGifHeader::placeSubviews()
{
    MJRefreshStateHeader::placeSubviews();
    CGSize size = bounds().size;
    if (!m_gifView->image()) {
        m_gifView->setFrame({});
        return;
    }
    if (stateLabel()->isHidden() && lastUpdatedTimeLabel()->isHidden()) {
        m_gifView->setContentMode(UIViewContentMode::center);
        m_gifView->setFrame({ {}, size });
        return;
    }
    m_gifView->setContentMode(UIViewContentMode::right);
    CGFloat width = std::max<CGFloat>(0, size.width / 2 - textWidth() / 2 - labelLeftInset);
    m_gifView->setFrame({ {}, { width, size.height } });
}
