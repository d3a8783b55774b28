#include "platform/ui/controls/UIDatePicker.h"

#include "platform/ui/CGContext.h"
#include "platform/ui/TextLayout.h"
#include "platform/ui/UIBezierPath.h"
#include "platform/ui/gestures/UIPanGestureRecognizer.h"
#include "platform/ui/gestures/UISwipeGestureRecognizer.h"
#include "platform/ui/gestures/UITouch.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

constexpr int rowCounts[2] = { 24, 60 };
constexpr double maximumCountDown = 23 * 3600 + 59 * 60;

int wrapRow(int row, int count)
{
    return ((row % count) + count) % count;
}

std::tm localFields(Date date)
{
    std::tm fields {};
    double seconds = date.timeIntervalSince1970();
    std::time_t time = std::isfinite(seconds) ? static_cast<std::time_t>(std::floor(seconds)) : 0;
    if (!localtime_r(&time, &fields))
        fields = {};
    return fields;
}

}

UIDatePicker::UIDatePicker()
    : UIDatePicker(CGRect {})
{ }

UIDatePicker::UIDatePicker(const CGRect& frame)
    : UIControl(frame)
    , m_date(Date::now())
{ }

void UIDatePicker::setDatePickerMode(UIDatePickerMode mode)
{
    m_mode = mode;
    setNeedsDisplay();
}

void UIDatePicker::setDate(Date date, bool)
{
    if (!std::isfinite(date.timeIntervalSince1970()))
        return;
    m_date = date;
    setNeedsDisplay();
}

void UIDatePicker::setCountDownDuration(double seconds)
{
    if (!std::isfinite(seconds))
        return;
    m_countDown = std::clamp(std::floor(seconds / 60) * 60, 60.0, maximumCountDown);
    setNeedsDisplay();
}

int UIDatePicker::selectedRow(int component) const
{
    if (m_mode == UIDatePickerMode::countDownTimer) {
        int minutes = static_cast<int>(m_countDown / 60);
        return component == 0 ? minutes / 60 : minutes % 60;
    }
    std::tm fields = localFields(m_date);
    return component == 0 ? fields.tm_hour : fields.tm_min;
}

void UIDatePicker::choose(int hour, int minute)
{
    if (m_mode == UIDatePickerMode::countDownTimer) {
        // The shortest count-down is a minute: 0 h 0 min moves to 1 min, as the wheels do.
        setCountDownDuration(std::max(60, hour * 3600 + minute * 60));
        return;
    }
    std::tm fields = localFields(m_date);
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = 0;
    fields.tm_isdst = -1;
    std::time_t time = mktime(&fields);
    if (time != static_cast<std::time_t>(-1))
        setDate(Date(static_cast<double>(time)));
}

std::string UIDatePicker::rowTitle(int component, int row) const
{
    char text[8];
    std::snprintf(text, sizeof text, m_mode == UIDatePickerMode::time ? "%02d" : "%d", row);
    return text;
}

std::vector<CGRect> UIDatePicker::columns() const
{
    CGRect b = bounds();
    CGFloat width = m_mode == UIDatePickerMode::time ? 64 : 120;
    CGFloat gap = 8;
    CGFloat left = b.midX() - width - gap / 2;
    return { { left, b.minY(), width, b.height() }, { left + width + gap, b.minY(), width, b.height() } };
}

CGSize UIDatePicker::intrinsicContentSize() const
{
    return { UIView::noIntrinsicMetric, defaultHeight };
}

CGSize UIDatePicker::sizeThatFits(CGSize) const
{
    return { 320, defaultHeight };
}

bool UIDatePicker::beginTracking(const UITouch& touch, const UIEvent*)
{
    CGPoint p = touch.location(this);
    auto wheels = columns();
    m_trackedColumn = -1;
    for (std::size_t i = 0; i < wheels.size(); ++i) {
        if (p.x >= wheels[i].minX() - 4 && p.x < wheels[i].maxX() + 4)
            m_trackedColumn = static_cast<int>(i);
    }
    if (m_trackedColumn < 0)
        return false;
    m_trackStartY = p.y;
    m_dragOffset = 0;
    return true;
}

bool UIDatePicker::continueTracking(const UITouch& touch, const UIEvent*)
{
    m_dragOffset = touch.location(this).y - m_trackStartY;
    setNeedsDisplay();
    return true;
}

void UIDatePicker::endTracking(const UITouch* touch, const UIEvent* event)
{
    UIControl::endTracking(touch, event);
    int column = m_trackedColumn;
    int steps = static_cast<int>(std::lround(m_dragOffset / rowHeight));
    m_trackedColumn = -1;
    m_dragOffset = 0;
    if (column < 0 || steps == 0)
        return;
    int rows[2] = { selectedRow(0), selectedRow(1) };
    // A finger moving down brings the earlier rows to the middle.
    rows[column] = wrapRow(rows[column] - steps, rowCounts[column]);
    double before = m_mode == UIDatePickerMode::time ? m_date.timeIntervalSince1970() : m_countDown;
    choose(rows[0], rows[1]);
    double after = m_mode == UIDatePickerMode::time ? m_date.timeIntervalSince1970() : m_countDown;
    if (after != before)
        sendActions(UIControlEventValueChanged);
}

void UIDatePicker::cancelTracking(const UIEvent* event)
{
    UIControl::cancelTracking(event);
    m_trackedColumn = -1;
    m_dragOffset = 0;
}

bool UIDatePicker::gestureRecognizerShouldBegin(const UIGestureRecognizer& recognizer) const
{
    // A drag that turns a wheel belongs to the picker.
    if (isTracking() && recognizer.view().get() != this
        && (dynamic_cast<const UIPanGestureRecognizer*>(&recognizer)
            || dynamic_cast<const UISwipeGestureRecognizer*>(&recognizer)))
        return false;
    return UIControl::gestureRecognizerShouldBegin(recognizer);
}

void UIDatePicker::draw(CGContext& context, const CGRect& rect)
{
    UIControl::draw(context, rect);
    CGRect b = bounds();
    auto wheels = columns();
    CGRect band { wheels.front().minX() - 12, b.midY() - rowHeight / 2,
        wheels.back().maxX() - wheels.front().minX() + 24, rowHeight };
    context.setFillColor(UIColor(0.46, 0.46, 0.5, 0.12));
    context.addPath(UIBezierPath::roundedRect(band, 8).cgPath());
    context.fillPath();

    const UIFont font = UIFont::systemFont(21);
    const UIColor ink = UIColor::label();
    bool chinese = locale.rfind("zh", 0) == 0;
    const char* units[2] = { chinese ? "小时" : "hours", chinese ? "分钟" : "min" };
    CGFloat half = std::max<CGFloat>(rowHeight, b.height() / 2);
    context.saveGState();
    context.clip(b);
    for (int column = 0; column < 2; ++column) {
        const CGRect& wheel = wheels[column];
        CGFloat shift = column == m_trackedColumn ? m_dragOffset : 0;
        int selected = selectedRow(column);
        int reach = static_cast<int>(std::ceil((half + std::abs(shift)) / rowHeight)) + 1;
        for (int k = -reach; k <= reach; ++k) {
            CGFloat middle = b.midY() + k * rowHeight + shift;
            CGFloat distance = std::abs(middle - b.midY()) / half;
            if (distance >= 1)
                continue;
            int row = wrapRow(selected + k, rowCounts[column]);
            // Rows fade out towards the wheel's edges.
            TextLayout text(
                StyledText::plain(rowTitle(column, row)), font, ink.withAlphaComponent(1 - distance));
            // Time: hours against the colon from the left, minutes from the right.
            bool time = m_mode == UIDatePickerMode::time;
            text.setWidth(time ? wheel.width() : wheel.width() / 2 - 4)
                .setAlignment(time && column == 1 ? NSTextAlignment::left : NSTextAlignment::right);
            CGSize size = text.size();
            text.draw(context, { wheel.minX(), middle - size.height / 2 });
        }
        if (m_mode == UIDatePickerMode::countDownTimer) {
            TextLayout unit(StyledText::plain(units[column]), UIFont::systemFont(17), ink);
            CGSize size = unit.size();
            unit.draw(context, { wheel.midX() + 4, b.midY() - size.height / 2 });
        }
    }
    if (m_mode == UIDatePickerMode::time) {
        TextLayout colon(StyledText::plain(":"), font, ink);
        CGSize size = colon.size();
        colon.draw(context, { b.midX() - size.width / 2, b.midY() - size.height / 2 - 1 });
    }
    context.restoreGState();
}

std::string UIDatePicker::dumpAttributes() const
{
    char text[48];
    std::snprintf(text, sizeof text, "%s=%d:%02d", m_mode == UIDatePickerMode::time ? "time" : "countDown",
        selectedRow(0), selectedRow(1));
    return text;
}
