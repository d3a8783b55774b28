#pragma once

#include "platform/ui/UIView.h"
#include "platform/ui/effects/UIBlurEffect.h"

#include <memory>
#include <optional>

// A view that blurs what is drawn under it (views behind it in the same drawing, up to the
// nearest ancestor drawn through a group of its own: one with an alpha below 1 or a mask), lays
// the effect's tint and then the foreground colour over it, and shows its own views in
// contentView above that. Without an effect it draws only the foreground colour. The blur follows
// the view's corner radius.
class UIVisualEffectView : public UIView {
public:
    explicit UIVisualEffectView(std::optional<UIBlurEffect> effect = std::nullopt);

    std::string className() const override { return "UIVisualEffectView"; }

    const std::optional<UIBlurEffect>& effect() const;
    void setEffect(std::optional<UIBlurEffect> effect);

    // The component framework's colour over the effect (and under the content).
    const std::optional<UIColor>& qmui_foregroundColor() const;
    void qmui_setForegroundColor(std::optional<UIColor> color);

    // Fills the view; add subviews here rather than to the effect view itself.
    const std::shared_ptr<UIView>& contentView() const { return m_contentView; }

    void layoutSubviews() override;
    std::string dumpAttributes() const override;

private:
    std::shared_ptr<UIView> m_contentView;
};
