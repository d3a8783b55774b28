// The app fixes its layout constants on their first use, as it does at launch on a phone held
// upright. In a test program the first use could come from a test that turned the phone (the
// player's full screen), and every later test would read the long side as the width. Linked
// straight into the app's test programs: the constants are fixed upright before the first test.

#include "app/Extensions/LayoutConstants.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIScreen.h"

#include <gtest/gtest.h>

namespace {

class LayoutConstantsInPortrait : public ::testing::Environment {
public:
    void SetUp() override
    {
        UIApplication::shared().resetForTesting();
        UIScreen::main().resetForTesting();
        screenBounds();
        screenWidth();
        screenHeight();
        isFullScreen();
        bottomSafeAreaHeight();
        statusBarHeight();
        navigationBarHeight();
        screenShortSide();
        screenLongSide();
    }
};

const bool registered = [] {
    ::testing::AddGlobalTestEnvironment(new LayoutConstantsInPortrait);
    return true;
}();

}
