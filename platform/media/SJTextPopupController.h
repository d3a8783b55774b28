#pragma once

#include "platform/ui/text/NSAttributedString.h"

#include <memory>

class SJPassThroughView;
class UIView;

// A player's pop-up: one text in the middle of the picture for a while (on the dispatch clock);
// a new one replaces it. Main thread.
class SJTextPopupController {
public:
    static constexpr double defaultDuration = 3.0;

    SJTextPopupController();
    ~SJTextPopupController();
    SJTextPopupController(const SJTextPopupController&) = delete;
    SJTextPopupController& operator=(const SJTextPopupController&) = delete;

    void show(const NSAttributedString& title, double duration = defaultDuration);
    void hide();
    // The text on screen, if any.
    const std::shared_ptr<UIView>& displayingView() const { return m_view; }

    // For the player: the area over its picture.
    const std::shared_ptr<SJPassThroughView>& areaView() const { return m_area; }
    void layout();

private:
    std::shared_ptr<SJPassThroughView> m_area;
    std::shared_ptr<UIView> m_view;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
