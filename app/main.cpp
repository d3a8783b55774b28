#include "app/Core/Helpers/ChosenStyle.h"
#include "app/Core/Start/AppDelegate.h"
#include "app/Core/Start/TourSteps.h"
#include "app/Extensions/GradientView.h"
#include "app/Theme/QDUIHelper.h"
#include "platform/window/WindowMain.h"

#include <memory>

int main(int argc, char** argv)
{
    // Set once before the first screen: every plain view and label backed by a gradient layer,
    // the component templates known to the configuration, and buttons that ignore a repeated tap.
    registerGradientBackedViews();
    QDUIHelper::registerAppearance();
    registerTourSteps();
    return runDeviceOrWindow(argc, argv, std::make_shared<AppDelegate>(), &ChosenStyle::swap);
}
