#include "app/MainController/Other/Tool/NotificationTool.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using Name = NotificationTool::Notification;

TEST(NotificationTool, SixNamesRoundTripAndNothingElseMatches)
{
    const Name all[] = { Name::loginSuccess, Name::logoutSuccess, Name::noti, Name::collect, Name::pureMode,
        Name::chatNum };
    const char* names[] = { "loginSuccess", "logoutSuccess", "noti", "collect", "pureMode", "chatNum" };
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(NotificationTool::rawValue(all[i]), names[i]);
        EXPECT_EQ(NotificationTool::fromRawValue(names[i]), all[i]);
    }
    for (std::string other : { "", "Noti", "noti ", " noti", "NOTI", "loginsuccess", "chat", "changelabel" })
        EXPECT_FALSE(NotificationTool::fromRawValue(other)) << other;
}

}
