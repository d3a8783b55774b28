#pragma once

#include <optional>
#include <string>

// What the app may know of the device it runs on.
class DeviceInfo {
public:
    // From the information keys "SystemVersion" and "DeviceModel".
    static std::string systemVersion();
    static std::string model();

    // The vendor identifier: upper-case UUID text, made once and kept in the app container
    // ("Library/VendorIdentifier"), so it lasts until the app's data is wiped. None only when the
    // container cannot keep it.
    static std::optional<std::string> identifierForVendor();
};
