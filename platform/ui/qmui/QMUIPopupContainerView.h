#pragma once

#include "platform/ui/UIView.h"
#include "platform/ui/UIWindow.h"

#include <functional>
#include <limits>
#include <memory>
#include <optional>

enum class QMUIPopupContainerViewLayoutDirection { above, below };

// A bubble with an arrow that points at a source view, shown in a window of its own above the
// application (at the configuration's windowLevelQMUIAlertView; it becomes the key window while
// shown). Subclasses or owners put their views in contentView.
//
// Size: the content's fitted size plus contentEdgeInsets, kept within the minimum and maximum
// width and height, plus the arrow's height. Place: on the preferred side of the source view
// (distanceBetweenSource away) when it fits inside the safety margins, else on the other side;
// centred on the source horizontally as far as the margins allow, the arrow staying under the
// source. The bubble's fill is the view's backgroundColor (the view itself draws nothing else).
//
// With automaticallyHidesWhenUserTap a mask (maskViewBackgroundColor) covers the rest of the
// screen and a tap on it hides the pop-up. Animations are recorded; values apply at once.
class QMUIPopupContainerView : public UIView {
public:
    static constexpr double animationDuration = 0.25;
    using Completion = std::function<void(bool finished)>;

    // Defaults for pop-ups made afterwards.
    struct Appearance {
        std::optional<UIColor> backgroundColor = UIColor::white();
        std::optional<UIColor> borderColor = UIColor(222 / 255.0, 224 / 255.0, 226 / 255.0, 1);
        std::optional<UIColor> maskViewBackgroundColor = UIColor::clear();
    };
    static Appearance& appearance();

    QMUIPopupContainerView();
    explicit QMUIPopupContainerView(const CGRect& frame);

    std::string className() const override { return "QMUIPopupContainerView"; }

    // Inside the bubble, within the content insets.
    const std::shared_ptr<UIView>& contentView() const { return m_contentView; }

    // ---- Look ----
    // The bubble's fill.
    void setBackgroundColor(std::optional<UIColor> color) override;
    const std::optional<UIColor>& fillColor() const { return m_fillColor; }
    std::optional<UIColor> borderColor;
    CGFloat borderWidth = 1;
    CGFloat cornerRadius = 10;
    CGSize arrowSize { 18, 9 };
    UIEdgeInsets contentEdgeInsets { 12, 16, 12, 16 };
    std::optional<UIColor> maskViewBackgroundColor;

    // ---- Size and place ----
    CGFloat minimumWidth = 0;
    CGFloat maximumWidth = std::numeric_limits<CGFloat>::infinity();
    CGFloat minimumHeight = 0;
    CGFloat maximumHeight = std::numeric_limits<CGFloat>::infinity();
    UIEdgeInsets safetyMarginsOfSuperview { 10, 10, 10, 10 };
    CGFloat distanceBetweenSource = 5;
    QMUIPopupContainerViewLayoutDirection preferLayoutDirection
        = QMUIPopupContainerViewLayoutDirection::above;
    // Held weakly.
    void setSourceView(const std::shared_ptr<UIView>& view) { m_sourceView = view; }
    std::shared_ptr<UIView> sourceView() const { return m_sourceView.lock(); }
    // The side the last layout chose.
    QMUIPopupContainerViewLayoutDirection currentLayoutDirection() const { return m_direction; }
    // Where the arrow's tip points, in the pop-up's own space.
    CGFloat arrowCenterX() const { return m_arrowCenterX; }

    bool automaticallyHidesWhenUserTap = false;

    // ---- Showing ----
    // Ignored while showing. Without a source view it shows centred on the screen.
    void showWithAnimated(bool animated, Completion completion = {});
    void hideWithAnimated(bool animated, Completion completion = {});
    bool isShowing() const { return m_window != nullptr; }
    const std::shared_ptr<UIWindow>& popupWindow() const { return m_window; }

    // The content's size for a limit (content insets excluded): the content view's fitted size.
    virtual CGSize sizeThatFitsInContentView(CGSize size) const;
    CGSize sizeThatFits(CGSize size) const override;
    // Sizes and places the pop-up for its source in the pop-up window.
    void updateLayout();
    void layoutSubviews() override;
    void draw(CGContext& context, const CGRect& rect) override;

private:
    CGRect bubbleRect() const;
    void finishHiding(Completion completion);

    std::shared_ptr<UIView> m_contentView;
    std::optional<UIColor> m_fillColor;
    std::weak_ptr<UIView> m_sourceView;
    QMUIPopupContainerViewLayoutDirection m_direction = QMUIPopupContainerViewLayoutDirection::above;
    CGFloat m_arrowCenterX = 0;
    std::shared_ptr<UIWindow> m_window;
    std::shared_ptr<UIView> m_maskView;
    std::weak_ptr<UIWindow> m_previousKeyWindow;
    bool m_hiding = false;
};
