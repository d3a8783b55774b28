#pragma once

#include "platform/foundation/Date.h"

#include <string>

namespace MessageKit {

// The list's wording of a message time, relative to now in the local time zone: the time alone
// today ("21:05"), "昨天 21:05", the weekday within the last week ("星期三 21:05"), the month and
// day within this year ("6月2日 19:00"), else the full date ("2023年6月2日 19:00").
class MessageKitDateFormatter {
public:
    static MessageKitDateFormatter& shared();

    std::string string(Date date) const;
    // The same against a given now (tests).
    std::string string(Date date, Date now) const;

private:
    MessageKitDateFormatter() = default;
};

}
