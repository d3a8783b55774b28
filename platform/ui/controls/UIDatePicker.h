#pragma once

#include "platform/foundation/Date.h"
#include "platform/ui/controls/UIControl.h"

#include <string>
#include <vector>

// Time: an hour wheel (0-23) and a minute wheel; count-down: hours and minutes of a duration.
enum class UIDatePickerMode { time, countDownTimer };
// Every style draws wheels here.
enum class UIDatePickerStyle { automatic, wheels };

// Wheels that pick a time of day or a count-down duration. A vertical drag on a wheel turns it
// (a wheel wraps around); on lifting, it settles on the nearest row and, when the value changed,
// sends value-changed. Setting the value in code sends nothing. Times are of the local time zone;
// picking sets the hour and minute of `date` (seconds 0) and keeps its day. A count-down lasts at
// least one minute and at most 23 h 59 min, in whole minutes.
class UIDatePicker : public UIControl {
public:
    static constexpr CGFloat rowHeight = 34;
    static constexpr CGFloat defaultHeight = 216;

    UIDatePicker();
    explicit UIDatePicker(const CGRect& frame);

    std::string className() const override { return "UIDatePicker"; }

    UIDatePickerMode datePickerMode() const { return m_mode; }
    void setDatePickerMode(UIDatePickerMode mode);
    UIDatePickerStyle preferredDatePickerStyle = UIDatePickerStyle::automatic;
    // Locale identifier; wheels of a "zh" locale label the count-down units in Chinese.
    std::string locale = "en_US";

    Date date() const { return m_date; }
    void setDate(Date date, bool animated = false);
    double countDownDuration() const { return m_countDown; }
    void setCountDownDuration(double seconds);

    // Row shown in the middle of a wheel (0: hours, 1: minutes).
    int selectedRow(int component) const;

    CGSize intrinsicContentSize() const override;
    CGSize sizeThatFits(CGSize size) const override;
    bool beginTracking(const UITouch& touch, const UIEvent* event) override;
    bool continueTracking(const UITouch& touch, const UIEvent* event) override;
    void endTracking(const UITouch* touch, const UIEvent* event) override;
    void cancelTracking(const UIEvent* event) override;
    bool gestureRecognizerShouldBegin(const UIGestureRecognizer& recognizer) const override;
    void draw(CGContext& context, const CGRect& rect) override;
    std::string dumpAttributes() const override;

private:
    // The wheels' columns in the bounds.
    std::vector<CGRect> columns() const;
    // Applies rows to the value (hours, minutes).
    void choose(int hour, int minute);
    std::string rowTitle(int component, int row) const;

    UIDatePickerMode m_mode = UIDatePickerMode::time;
    Date m_date;
    double m_countDown = 60;
    int m_trackedColumn = -1;
    CGFloat m_trackStartY = 0;
    CGFloat m_dragOffset = 0;
};
