#include "platform/ui/qmui/QMUIHelper.h"

#include "platform/ui/UIDevice.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/qmui/QMUIConfiguration.h"

#include <cmath>
#include <limits>

bool QMUIHelper::isIPad()
{
    return UIDevice::current().userInterfaceIdiom() == UIUserInterfaceIdiom::pad;
}

CGFloat QMUIHelper::statusBarHeightConstant()
{
    auto& screen = UIScreen::main();
    if (UIInterfaceOrientationIsLandscape(screen.interfaceOrientation()))
        return 0;
    return screen.profile().statusBarHeight;
}

bool QMUIHelper::canUpdateAppearance()
{
    // Read without sharedInstance(): asking must not itself start the initial templates.
    return !QMUIConfiguration::isApplyingInitialTemplateNow();
}

CGFloat QMUIHelper::flat(CGFloat value)
{
    if (value == std::numeric_limits<CGFloat>::min())
        value = 0;
    CGFloat scale = UIScreen::main().scale();
    return std::ceil(value * scale) / scale;
}
