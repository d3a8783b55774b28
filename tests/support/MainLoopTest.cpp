#include "tests/support/MainLoopTest.h"

namespace zvtest {

void MainLoopTest::SetUp()
{
    RunLoop::main().reset();
    Clock::useVirtual();
}

void MainLoopTest::TearDown()
{
    RunLoop::main().reset();
    Clock::useReal();
}

}
