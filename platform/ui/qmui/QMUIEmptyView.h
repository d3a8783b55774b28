#pragma once

#include "platform/ui/UIActivityIndicatorView.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UIView.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUILabel.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

// The empty state of a screen: a loading indicator, an image, a text, a detail text and an action
// button, stacked in that order and centred in the view (moved by verticalOffset). A part shows
// only when it has something to show (the indicator: while not hidden); each part keeps its
// insets around it, the bottom inset being the space to the next part.
class QMUIEmptyView : public UIView {
public:
    QMUIEmptyView();
    explicit QMUIEmptyView(const CGRect& frame);

    std::string className() const override { return "QMUIEmptyView"; }

    // ---- Parts ----
    const std::shared_ptr<UIActivityIndicatorView>& loadingView() const { return m_loadingView; }
    const std::shared_ptr<UIImageView>& imageView() const { return m_imageView; }
    const std::shared_ptr<QMUILabel>& textLabel() const { return m_textLabel; }
    const std::shared_ptr<QMUILabel>& detailTextLabel() const { return m_detailTextLabel; }
    const std::shared_ptr<QMUIButton>& actionButton() const { return m_actionButton; }

    // ---- Content ----
    void setLoadingViewHidden(bool hidden);
    bool isLoadingViewHidden() const { return m_loadingView->isHidden(); }
    void setImage(std::optional<UIImage> image);
    void setTextLabelText(std::string text);
    void setDetailTextLabelText(std::string text);
    void setActionButtonTitle(std::string title);
    // Replaces the action of the button (nothing: the button does nothing).
    void setActionButtonAction(std::function<void()> action);

    // ---- Look ----
    void setTextLabelFont(UIFont font);
    void setTextLabelTextColor(UIColor color);
    void setDetailTextLabelFont(UIFont font);
    void setDetailTextLabelTextColor(UIColor color);
    void setActionButtonFont(UIFont font);
    void setActionButtonTitleColor(UIColor color);

    UIEdgeInsets loadingViewInsets() const { return m_loadingViewInsets; }
    void setLoadingViewInsets(UIEdgeInsets insets);
    UIEdgeInsets imageViewInsets() const { return m_imageViewInsets; }
    void setImageViewInsets(UIEdgeInsets insets);
    UIEdgeInsets textLabelInsets() const { return m_textLabelInsets; }
    void setTextLabelInsets(UIEdgeInsets insets);
    UIEdgeInsets detailTextLabelInsets() const { return m_detailTextLabelInsets; }
    void setDetailTextLabelInsets(UIEdgeInsets insets);
    UIEdgeInsets actionButtonInsets() const { return m_actionButtonInsets; }
    void setActionButtonInsets(UIEdgeInsets insets);
    // Shift of the centred stack (negative: up).
    CGFloat verticalOffset() const { return m_verticalOffset; }
    void setVerticalOffset(CGFloat offset);

    // Width: the given one (or the current); height: the stack's.
    CGSize sizeThatFits(CGSize size) const override;
    void layoutSubviews() override;

private:
    struct Placement {
        std::shared_ptr<UIView> view;
        CGRect frame;
    };
    // The shown parts and their frames for a width, the stack starting at y = 0.
    std::vector<Placement> stack(CGFloat width) const;
    void contentDidChange();

    std::shared_ptr<UIView> m_contentView;
    std::shared_ptr<UIActivityIndicatorView> m_loadingView;
    std::shared_ptr<UIImageView> m_imageView;
    std::shared_ptr<QMUILabel> m_textLabel;
    std::shared_ptr<QMUILabel> m_detailTextLabel;
    std::shared_ptr<QMUIButton> m_actionButton;
    std::shared_ptr<std::function<void()>> m_action;

    UIEdgeInsets m_loadingViewInsets { 0, 0, 36, 0 };
    UIEdgeInsets m_imageViewInsets { 0, 0, 36, 0 };
    UIEdgeInsets m_textLabelInsets { 0, 0, 10, 0 };
    UIEdgeInsets m_detailTextLabelInsets { 0, 0, 10, 0 };
    UIEdgeInsets m_actionButtonInsets;
    CGFloat m_verticalOffset = -30;
};
