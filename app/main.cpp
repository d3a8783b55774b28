#include "app/Core/Start/AppDelegate.h"
#include "platform/ui/device/DeviceMain.h"

#include <memory>

int main(int argc, char** argv)
{
    return runDevice(argc, argv, std::make_shared<AppDelegate>());
}
