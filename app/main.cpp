#include "app/Demo/DemoAppDelegate.h"
#include "platform/ui/device/DeviceMain.h"

#include <memory>

int main(int argc, char** argv)
{
    return runDevice(argc, argv, std::make_shared<DemoAppDelegate>());
}
