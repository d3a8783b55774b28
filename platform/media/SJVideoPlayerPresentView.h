#pragma once

#include "platform/ui/UIImageView.h"
#include "platform/ui/UIView.h"

#include <memory>

// How the picture fills the player's view.
enum class AVLayerVideoGravity {
    resizeAspect, // all of it, letterboxed
    resizeAspectFill, // the view filled, edges cut
    resize, // stretched to the view
};

// The view that shows a player's picture: black, the latest frame placed by the gravity, and an
// optional placeholder image over it until the picture comes. The player's controls and prompts
// go above the picture, in this view, so that they turn with it into full screen. Every subview
// fills the view.
class SJVideoPlayerPresentView : public UIView {
public:
    SJVideoPlayerPresentView();

    std::string className() const override { return "SJVideoPlayerPresentView"; }

    const std::shared_ptr<UIImageView>& placeholderImageView();
    // Hides the placeholder image view, at once or fading (0.4 s).
    void hidePlaceholderImageViewAnimated(bool animated);

    AVLayerVideoGravity videoGravity() const { return m_gravity; }
    void setVideoGravity(AVLayerVideoGravity gravity);
    // The latest frame; none shows black.
    void setFrameImage(std::optional<UIImage> frame);
    const std::optional<UIImage>& frameImage() const { return m_pictureView->image(); }

    // The container the player's controls live in, above the picture and placeholder; each
    // control layer in it fills it.
    const std::shared_ptr<UIView>& controlView();

    void layoutSubviews() override;
    void didMoveToSuperview() override;

private:
    void attachParts();

    bool m_attached = false;
    std::shared_ptr<UIImageView> m_pictureView;
    std::shared_ptr<UIImageView> m_placeholderImageView;
    std::shared_ptr<UIView> m_controlView;
    AVLayerVideoGravity m_gravity = AVLayerVideoGravity::resizeAspect;
};
