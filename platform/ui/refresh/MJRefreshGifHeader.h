#pragma once

#include "platform/ui/UIImageView.h"
#include "platform/ui/refresh/MJRefreshStateHeader.h"

#include <map>
#include <vector>

// A state header with pictures left of its texts, per state: one picture stands still, several
// play in turn (while idle they follow how far the header is pulled). Without pictures it shows
// its texts alone.
class MJRefreshGifHeader : public MJRefreshStateHeader {
public:
    explicit MJRefreshGifHeader(RefreshingBlock refreshingBlock = {});

    std::string className() const override { return "MJRefreshGifHeader"; }

    const std::shared_ptr<UIImageView>& gifView() const { return m_gifView; }

    void setImages(std::vector<UIImage> images, double duration, MJRefreshState state);
    // 0.1 s per picture.
    void setImages(std::vector<UIImage> images, MJRefreshState state);

    void setState(MJRefreshState state) override;
    void setPullingPercent(CGFloat percent) override;

protected:
    void placeSubviews() override;

private:
    struct Frames {
        std::vector<UIImage> images;
        double duration = 0;
    };
    void showImages();

    std::shared_ptr<UIImageView> m_gifView;
    std::map<MJRefreshState, Frames> m_frames;
};
