#include "platform/foundation/DateFormatter.h"
#include "tests/platform/foundation/ScopedEnv.h"

#include <ctime>
#include <gtest/gtest.h>

namespace {

// 2024-02-29 13:05:09.250 UTC
constexpr double kLeapDay = 1709211909.25;

TEST(DateFormatter, FormatsThePatternsInUse)
{
    Date date(kLeapDay);
    EXPECT_EQ(DateFormatter("yyyy-MM-dd HH:mm:ss.SSS", DateFormatter::Zone::UTC).stringFromDate(date),
        "2024-02-29 13:05:09.250");
    EXPECT_EQ(DateFormatter("yyyy-MM-dd", DateFormatter::Zone::UTC).stringFromDate(date), "2024-02-29");
    EXPECT_EQ(DateFormatter("HH:mm", DateFormatter::Zone::UTC).stringFromDate(date), "13:05");
    EXPECT_EQ(DateFormatter("MM-dd", DateFormatter::Zone::UTC).stringFromDate(date), "02-29");
    EXPECT_EQ(
        DateFormatter("yyyy-MM-dd HH:mm", DateFormatter::Zone::UTC).stringFromDate(date), "2024-02-29 13:05");
    EXPECT_EQ(DateFormatter("h:mm a 'o''clock' M/d/yy", DateFormatter::Zone::UTC).stringFromDate(date),
        "1:05 PM o'clock 2/29/24");
    EXPECT_EQ(DateFormatter("SS", DateFormatter::Zone::UTC).stringFromDate(Date(0.999)), "99");
    // Before 1970 the fraction still counts forward from the whole second.
    EXPECT_EQ(DateFormatter("yyyy-MM-dd HH:mm:ss.SSS", DateFormatter::Zone::UTC).stringFromDate(Date(-0.25)),
        "1969-12-31 23:59:59.750");
    EXPECT_EQ(DateFormatter("yyyy", DateFormatter::Zone::UTC).stringFromDate(Date(1e300)), "");
}

TEST(DateFormatter, LocalZoneFollowsTheDeviceTimeZone)
{
    ScopedEnv zone("TZ", "Asia/Shanghai");
    tzset();
    EXPECT_EQ(DateFormatter("yyyy-MM-dd HH:mm").stringFromDate(Date(kLeapDay)), "2024-02-29 21:05");
    auto parsed = DateFormatter("yyyy-MM-dd HH:mm").dateFromString("2024-02-29 21:05");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->timeIntervalSince1970(), 1709211900.0);
}

TEST(DateFormatter, ParsingRoundTripsAndFillsMissingFieldsFrom2000)
{
    DateFormatter full("yyyy-MM-dd HH:mm:ss.SSS", DateFormatter::Zone::UTC);
    EXPECT_EQ(full.dateFromString(full.stringFromDate(Date(kLeapDay))), Date(kLeapDay));

    DateFormatter clock("HH:mm", DateFormatter::Zone::UTC);
    // 2000-01-01 01:30 UTC: the picker reads hours and minutes from it.
    EXPECT_EQ(clock.dateFromString("01:30"), Date(946690200));
    EXPECT_EQ(clock.dateFromString("1:30"), Date(946690200));
    EXPECT_EQ(DateFormatter("h:mm a", DateFormatter::Zone::UTC).dateFromString("12:15 am"), Date(946685700));
    EXPECT_EQ(
        DateFormatter("yyyyMMdd", DateFormatter::Zone::UTC).dateFromString("20240229"), Date(1709164800));
}

TEST(DateFormatter, ParsingRejectsWhatDoesNotMatchExactly)
{
    DateFormatter clock("HH:mm", DateFormatter::Zone::UTC);
    for (const char* text :
        { "", "90:30", "12:60", "12-30", "12:30 ", " 12:30", "12:", "ab:cd", "123456789012:00" })
        EXPECT_FALSE(clock.dateFromString(text)) << text;
    DateFormatter day("yyyy-MM-dd", DateFormatter::Zone::UTC);
    EXPECT_FALSE(day.dateFromString("2023-02-29"));
    EXPECT_FALSE(day.dateFromString("2024-13-01"));
    EXPECT_FALSE(day.dateFromString("2024-00-10"));
    EXPECT_TRUE(day.dateFromString("2024-02-29"));
    EXPECT_FALSE(DateFormatter("h:mm a", DateFormatter::Zone::UTC).dateFromString("13:00 PM"));
}

}
