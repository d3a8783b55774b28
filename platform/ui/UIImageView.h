#pragma once

#include "platform/ui/UIImage.h"
#include "platform/ui/UIView.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

class Timer;

// Shows an image placed by the content mode (scale to fill by default). Template images are
// drawn in the tint colour. While animating it shows its animation images in turn instead, on the
// main run loop's clock, but only while a window shows it; the image comes back when the
// animation stops.
class UIImageView : public UIView {
public:
    UIImageView();
    explicit UIImageView(const CGRect& frame);
    // Sized to the image.
    explicit UIImageView(std::optional<UIImage> image);
    ~UIImageView() override;

    std::string className() const override { return "UIImageView"; }

    const std::optional<UIImage>& image() const { return m_image; }
    virtual void setImage(std::optional<UIImage> image);

    // ---- Frame animation ----
    const std::vector<UIImage>& animationImages() const { return m_animationImages; }
    // Stops a running animation.
    void setAnimationImages(std::vector<UIImage> images);
    // Seconds of one cycle; 0 or less: one thirtieth of a second per frame.
    double animationDuration = 0;
    // Cycles before the animation stops by itself; 0 or less: without end.
    int animationRepeatCount = 0;
    // Nothing without animation images.
    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return m_animationTimer != nullptr; }
    // Index of the animation image on show (0 when not animating).
    std::size_t currentAnimationFrame() const { return m_animationFrame; }

    // The image's size in points; no intrinsic size without an image.
    CGSize intrinsicContentSize() const override;
    CGSize sizeThatFits(CGSize size) const override;
    void tintColorDidChange() override;
    void didMoveToWindow() override;
    std::string dumpAttributes() const override;

private:
    void updateContents();
    void showAnimationFrame();
    void nextAnimationFrame();

    std::optional<UIImage> m_image;
    std::vector<UIImage> m_animationImages;
    std::shared_ptr<Timer> m_animationTimer;
    std::size_t m_animationFrame = 0;
    int m_cyclesDone = 0;
};
