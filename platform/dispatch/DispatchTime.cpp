#include "platform/dispatch/DispatchTime.h"

#include "platform/dispatch/Clock.h"

DispatchTime DispatchTime::now()
{
    return DispatchTime { Clock::now() };
}
