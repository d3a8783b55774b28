#include "platform/ui/messages/MessageKitDateFormatter.h"

#include "platform/foundation/DateFormatter.h"

#include <array>
#include <cmath>
#include <ctime>

namespace MessageKit {

namespace {

struct Day {
    std::tm fields {};
    bool valid = false;
};

Day localDay(Date date)
{
    Day day;
    double seconds = date.timeIntervalSince1970();
    if (!std::isfinite(seconds) || std::fabs(seconds) > 253402300799.0)
        return day;
    std::time_t time = static_cast<std::time_t>(std::floor(seconds));
    day.valid = localtime_r(&time, &day.fields) != nullptr;
    return day;
}

// Days from 0001-01-01 of the calendar date, for counting whole days between two dates.
long dayNumber(const std::tm& t)
{
    long y = t.tm_year + 1900L;
    long m = t.tm_mon + 1;
    if (m <= 2) {
        y -= 1;
        m += 12;
    }
    return 365 * y + y / 4 - y / 100 + y / 400 + (153 * (m - 3) + 2) / 5 + t.tm_mday;
}

}

MessageKitDateFormatter& MessageKitDateFormatter::shared()
{
    static MessageKitDateFormatter formatter;
    return formatter;
}

std::string MessageKitDateFormatter::string(Date date) const
{
    return string(date, Date::now());
}

std::string MessageKitDateFormatter::string(Date date, Date now) const
{
    Day day = localDay(date);
    Day today = localDay(now);
    if (!day.valid)
        return {};
    std::string time = DateFormatter("HH:mm").stringFromDate(date);
    if (!today.valid)
        return DateFormatter("yyyy年M月d日 HH:mm").stringFromDate(date);
    long daysAgo = dayNumber(today.fields) - dayNumber(day.fields);
    if (daysAgo == 0)
        return time;
    if (daysAgo == 1)
        return "昨天 " + time;
    static constexpr std::array<const char*, 7> weekdays { "星期日", "星期一", "星期二", "星期三", "星期四",
        "星期五", "星期六" };
    if (daysAgo > 1 && daysAgo < 7)
        return std::string(weekdays[static_cast<std::size_t>(day.fields.tm_wday)]) + " " + time;
    if (day.fields.tm_year == today.fields.tm_year)
        return DateFormatter("M月d日 HH:mm").stringFromDate(date);
    return DateFormatter("yyyy年M月d日 HH:mm").stringFromDate(date);
}

}
