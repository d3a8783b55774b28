#include "platform/ui/lists/UIScrollView.h"
#include "platform/ui/qmui/QMUIConfiguration.h"
#include "platform/ui/qmui/QMUIConsole.h"
#include "platform/ui/qmui/QMUIHelper.h"
#include "platform/ui/qmui/QMUIKitExtensions.h"
#include "tests/platform/ui/ControllerTestSupport.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

class QmuiHelpers : public uitest::ControllerTest {
protected:
    void TearDown() override
    {
        QMUIConsole::resetForTesting();
        QMUIConfiguration::resetForTesting();
        uitest::ControllerTest::TearDown();
    }
};

}
