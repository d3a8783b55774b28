#pragma once

#include <functional>
#include <memory>

class UIView;

// Slides a view into place from one side: at once it is moved off by the distance (a
// transform), then after a delay it moves back to the identity. The delays and durations are
// derived from `animation` (seconds):
//   left_right  from (-width, 0):  back after animation + 0.1, over animation + 0.1
//   right_left  from (+width, 0):  back after animation,       over animation + 0.1
//   top_bottom  from (0, -height): back after animation + 0.1, over animation + 0.1
//   bottom_top  from (0, +height): back after animation,       over animation + 0.1
// The view is held weakly until then; a view that is gone by then is skipped. Main thread only.
class CollectionViewAnimation {
public:
    void left_right(const std::shared_ptr<UIView>& view, float view_width, float animation) const;
    void right_left(const std::shared_ptr<UIView>& view, float view_width, float animation) const;
    void top_bottom(const std::shared_ptr<UIView>& view, float view_height, float animation) const;
    void bottom_top(const std::shared_ptr<UIView>& view, float view_height, float animation) const;

    // Runs `code` once on the main queue `seconds` from now.
    void delayBy(double seconds, std::function<void()> code) const;

private:
    void slide(
        const std::shared_ptr<UIView>& view, double dx, double dy, double delay, double duration) const;
};
