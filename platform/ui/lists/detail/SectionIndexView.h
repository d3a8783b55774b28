#pragma once

#include "platform/ui/UILabel.h"
#include "platform/ui/UIView.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace detail {

// The section index of a table view: its titles stacked in the middle of a narrow strip at the
// table's right edge. A touch on the strip picks the title under it (and those it moves over);
// while touched the strip shows the tracking background instead of its own.
class SectionIndexView final : public UIView {
public:
    static constexpr CGFloat width = 16;
    static constexpr CGFloat rowHeight = 14;

    using Picked = std::function<void(int index)>;
    explicit SectionIndexView(Picked picked);

    std::string className() const override { return "UITableViewIndex"; }

    const std::vector<std::string>& titles() const { return m_titles; }
    void setTitles(std::vector<std::string> titles);
    // None for each keeps the standard look: tinted titles on nothing.
    void setColors(std::optional<UIColor> text, std::optional<UIColor> background,
        std::optional<UIColor> trackingBackground);
    bool isTracking() const { return m_tracking; }

    void layoutSubviews() override;
    void touchesBegan(const UITouchSet& touches, const UIEvent* event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent* event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent* event) override;
    void touchesCancelled(const UITouchSet& touches, const UIEvent* event) override;

private:
    void setTracking(bool tracking);
    void pick(const UITouchSet& touches);
    void updateLook();

    Picked m_picked;
    std::vector<std::string> m_titles;
    std::vector<std::shared_ptr<UILabel>> m_labels;
    std::optional<UIColor> m_textColor;
    std::optional<UIColor> m_background;
    std::optional<UIColor> m_trackingBackground;
    bool m_tracking = false;
};

}
