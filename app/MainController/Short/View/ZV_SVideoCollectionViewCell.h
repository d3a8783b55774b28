#pragma once

#include "app/MainController/Short/View/ZV_SVideoPlayer.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/lists/UICollectionViewCell.h"

#include <memory>
#include <string>

// A full-page cell that plays one short video inline: the player's picture over black, the
// cover over it until the clip can play, and a dimmed "play" icon while a started clip stands
// paused. A tap plays a paused clip and pauses a running one as the viewer's own pause; a clip
// that ends starts again. The cell keeps one player for its whole life; reuse gives it the next
// clip through the player. Main thread only.
class ZV_SVideoCollectionViewCell : public UICollectionViewCell {
public:
    static constexpr CGFloat playIconSize = 60;
    static constexpr CGFloat playIconAlpha = 0.5;

    ZV_SVideoCollectionViewCell();
    explicit ZV_SVideoCollectionViewCell(const CGRect& frame);
    ~ZV_SVideoCollectionViewCell() override;

    std::string className() const override { return "ZV_SVideoCollectionViewCell"; }

    const std::shared_ptr<ZV_SVideoPlayer>& player() const { return m_player; }
    const std::shared_ptr<UIImageView>& playImageView() const { return m_playImageView; }
    void setPlayImageView(std::shared_ptr<UIImageView> view) { m_playImageView = std::move(view); }
    const std::shared_ptr<UIImageView>& coverImageView() const { return m_coverImageView; }
    void setCoverImageView(std::shared_ptr<UIImageView> view) { m_coverImageView = std::move(view); }

    // Loads the picture at the address into the cover, with no placeholder: an address that
    // does not load leaves it empty.
    void setCoverUrl(const std::string& url);

private:
    void setupViews();
    void setupPlayer();
    // The icon and the cover from the player's state.
    void playbackStatusDidChange();

    std::shared_ptr<ZV_SVideoPlayer> m_player;
    std::shared_ptr<UIImageView> m_playImageView;
    std::shared_ptr<UIImageView> m_coverImageView;
    // The player's blocks reach the cell through this, as the player may outlive the cell
    // (the feed keeps the playing one) and the cell is not yet shared while it builds itself.
    std::shared_ptr<ZV_SVideoCollectionViewCell*> m_self;
};
