#include "platform/ui/UIDevice.h"

#include "platform/foundation/DeviceInfo.h"
#include "platform/foundation/NotificationCenter.h"

UIDevice& UIDevice::current()
{
    static UIDevice device;
    return device;
}

std::string UIDevice::systemVersion() const
{
    return DeviceInfo::systemVersion();
}

std::string UIDevice::model() const
{
    return DeviceInfo::model();
}

std::string UIDevice::name() const
{
    return DeviceInfo::model();
}

void UIDevice::setOrientation(UIDeviceOrientation orientation)
{
    if (orientation == m_orientation)
        return;
    m_orientation = orientation;
    NotificationCenter::defaultCenter().post(UIDeviceOrientationDidChangeNotification, std::any(this));
}
