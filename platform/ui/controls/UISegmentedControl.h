#pragma once

#include "platform/ui/UIFont.h"
#include "platform/ui/controls/UIControl.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

// A row of equally wide titled segments, at most one selected. A tap on a segment selects it and
// sends value-changed (nothing when it was already selected).
class UISegmentedControl : public UIControl {
public:
    static constexpr int noSegment = -1;
    static constexpr CGFloat defaultHeight = 32;

    UISegmentedControl();
    explicit UISegmentedControl(std::vector<std::string> items);

    std::string className() const override { return "UISegmentedControl"; }

    int numberOfSegments() const { return static_cast<int>(m_titles.size()); }
    void insertSegment(std::string title, int index);
    void removeAllSegments();
    std::string titleForSegment(int index) const;
    void setTitle(std::string title, int index);

    // noSegment when none; other values out of range are ignored. Sends nothing.
    int selectedSegmentIndex() const { return m_selected; }
    void setSelectedSegmentIndex(int index);

    std::optional<UIColor> selectedSegmentTintColor;
    // Title font and colour for the normal or the selected state.
    struct TitleAttributes {
        std::optional<UIFont> font;
        std::optional<UIColor> color;
    };
    void setTitleTextAttributes(TitleAttributes attributes, unsigned state);
    TitleAttributes titleTextAttributes(unsigned state) const;

    // The segment under a point of the control's space, or noSegment.
    int segmentAt(CGPoint point) const;

    CGSize intrinsicContentSize() const override;
    void endTracking(const UITouch* touch, const UIEvent* event) override;
    void draw(CGContext& context, const CGRect& rect) override;
    std::string dumpAttributes() const override;

protected:
    bool keepsSingleTaps() const override { return true; }

private:
    UIFont fontFor(unsigned state) const;

    std::vector<std::string> m_titles;
    int m_selected = noSegment;
    std::map<unsigned, TitleAttributes> m_attributes;
};
