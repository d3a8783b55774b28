#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/text/NSAttributedString.h"

#include <memory>
#include <vector>

class SJPassThroughView;
class UIView;

// The prompt area of a player: short texts stacked at the lower left of the picture, each gone
// after its duration (on the dispatch clock). The newest stands lowest; the views are the
// player's own, apps may add tap handlers to them. Main thread.
class SJPromptingPopupController {
public:
    static constexpr double defaultDuration = 3.0;

    SJPromptingPopupController();
    ~SJPromptingPopupController();
    SJPromptingPopupController(const SJPromptingPopupController&) = delete;
    SJPromptingPopupController& operator=(const SJPromptingPopupController&) = delete;

    void show(const NSAttributedString& title);
    void show(const NSAttributedString& title, double duration);
    void clear();

    bool isDisplaying() const { return !m_views.empty(); }
    // The prompts on screen, oldest first.
    const std::vector<std::shared_ptr<UIView>>& displayingViews() const { return m_views; }

    CGFloat leftMargin() const { return m_leftMargin; }
    void setLeftMargin(CGFloat margin);
    CGFloat bottomMargin() const { return m_bottomMargin; }
    void setBottomMargin(CGFloat margin);
    UIEdgeInsets contentInset() const { return m_contentInset; }
    void setContentInset(UIEdgeInsets insets) { m_contentInset = insets; }

    // For the player: the area over its picture, and how much of the bottom its controls take.
    const std::shared_ptr<SJPassThroughView>& areaView() const { return m_area; }
    void setBottomOffset(CGFloat offset);
    void layout();

private:
    void remove(const UIView* view);

    std::shared_ptr<SJPassThroughView> m_area;
    std::vector<std::shared_ptr<UIView>> m_views;
    CGFloat m_leftMargin = 16;
    CGFloat m_bottomMargin = 16;
    CGFloat m_bottomOffset = 0;
    UIEdgeInsets m_contentInset { 8, 8, 8, 8 };
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
